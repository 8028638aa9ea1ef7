#pragma once

// The group source dialog "searchPDC": the domain controller whose ESU group list is
// imported, the switch "Utiliser ESU" and the local list of groups "localGM".

#include <functional>

#include "core/VtlVar.h"
#include "core/preferences.h"
#include "dialogs/answerable_dialog.h"
#include "platform/platform.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;

namespace vt {

class TsearchPDC : public AnswerableDialog {
    Q_OBJECT

public:
    // `mainWindow` gives the main window's place, which "vtl.ini" records with the
    // preferences that OK writes.
    TsearchPDC(VtlVar& state, platform::Platform& platform,
               std::function<WindowGeometry()> mainWindow, QWidget* parent = nullptr);

    void FormActivate();
    // OK (core/group_source.h); a file that cannot be written is shown and keeps the dialog
    // open, and the lines that got no group file are listed in a message. True when done.
    bool BitBtn1Click();

    QPlainTextEdit* Memo1() const { return m_memo; }
    QLineEdit* Edit1() const { return m_edit; }
    QCheckBox* ESUcheck() const { return m_esu; }

protected:
    void fill() override { FormActivate(); }
    bool confirm() override { return BitBtn1Click(); }

private:
    VtlVar& m_state;
    platform::Platform& m_platform;
    std::function<WindowGeometry()> m_mainWindow;
    QPlainTextEdit* m_memo = nullptr;
    QLineEdit* m_edit = nullptr;
    QCheckBox* m_esu = nullptr;
};

}  // namespace vt
