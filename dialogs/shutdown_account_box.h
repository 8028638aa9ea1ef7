#pragma once

// The preferences' "Compte pour l'arrêt à distance": domain, user and password of the account
// the shutdown tool uses, kept in its authentication file only (core/shutdown_account.h). The
// saved password is never shown again: an empty field keeps it. "Essayer" asks one machine of
// the current group to cancel a shutdown, which changes nothing on it, with the account as
// typed, and says what happened.

#include <QGroupBox>

#include <memory>

#include "core/VtlVar.h"
#include "platform/native_platform.h"

class QLabel;
class QLineEdit;
class QProcess;
class QPushButton;
class QTemporaryDir;

namespace vt {

class ShutdownAccountBox : public QGroupBox {
    Q_OBJECT

public:
    ShutdownAccountBox(const VtlVar& state, QWidget* parent);
    ~ShutdownAccountBox() override;

    // Shows the saved domain and user; the password field stays empty.
    void fill();
    // Writes the account when one was typed; false, with the reason shown, when it cannot.
    bool save();
    // Starts the trial; its answer replaces the text of the answer label.
    void tryAccount();

    // The authentication file the shutdown tool beside the program reads.
    std::string authenticationFile() const;

private:
    QLineEdit* addField(const char* name, const QString& caption, int line);
    void showAnswer(const QString& answer);
    void trialEnded(const std::string& machine);

    const VtlVar& m_state;
    std::unique_ptr<platform::NativePlatform> m_native;
    QLineEdit* m_domain = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QPushButton* m_try = nullptr;
    QLabel* m_answer = nullptr;
    QProcess* m_trial = nullptr;
    std::unique_ptr<QTemporaryDir> m_trialFolder;
};

}  // namespace vt
