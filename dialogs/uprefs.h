#pragma once

// The preferences dialog "Prefs": shutdown wait and comment, the Wake-on-LAN target, the
// inventory server and the router. It changes the shared state only; "vtl.ini" is written at
// exit and when the group source dialog is confirmed. The shutdown account is the exception:
// OK writes it at once to the shutdown tool's authentication file, its only place.

#include "core/VtlVar.h"
#include "dialogs/answerable_dialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace vt {

class ShutdownAccountBox;

class TPrefs : public AnswerableDialog {
    Q_OBJECT

public:
    explicit TPrefs(VtlVar& state, QWidget* parent = nullptr);

    void FormActivate();
    // OK: takes every field back by its own rule (core/preference_fields.h).
    void BitBtn1Click();

protected:
    void fill() override { FormActivate(); }
    bool confirm() override;

private:
    QLineEdit* addField(QWidget* box, const char* name, const QString& caption, int top, int width,
                        const QString& unit = QString());

    VtlVar& m_state;
    QLineEdit* m_shutdownWait = nullptr;
    QLineEdit* m_shutdownComment = nullptr;
    QLineEdit* m_ip = nullptr;
    QLineEdit* m_mask = nullptr;
    QLineEdit* m_offset = nullptr;
    QLineEdit* m_ocsServer = nullptr;
    QLineEdit* m_ocsLogin = nullptr;
    QLineEdit* m_ocsPassword = nullptr;
    QLineEdit* m_iprUrl = nullptr;
    QLineEdit* m_iprLogin = nullptr;
    QComboBox* m_schoolZone = nullptr;
    QCheckBox* m_publicHolidays = nullptr;
    QLineEdit* m_watts = nullptr;
    QLineEdit* m_price = nullptr;
    ShutdownAccountBox* m_shutdownAccount = nullptr;
};

}  // namespace vt
