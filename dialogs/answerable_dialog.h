#pragma once

// A modal dialog of the program that fills itself from the shared state each time it opens
// and answers the dialog-answer hook (dialog_answers.h) before it shows, so that window tests
// drive it without racing it.

#include <QDialog>
#include <QString>

#include <functional>

namespace vt {

class AnswerableDialog : public QDialog {
    Q_OBJECT

public:
    using QDialog::QDialog;

    // Fills the dialog, runs the opening hook, then takes a preset answer without showing the
    // dialog, or shows it modally. An accepted preset answer confirms the dialog as its OK
    // button would; a confirmation that fails leaves the result Rejected.
    int exec() override;

    // For window tests: called at every opening once the dialog is filled and before the
    // answer is asked, so that a test types into the fields that a preset answer then
    // confirms. The running program never sets it; an empty function removes it.
    static void setOpeningHook(std::function<void(QDialog&)> hook);

protected:
    // Fills the fields from the shared state (the dialog's FormActivate).
    virtual void fill() = 0;
    // The OK button's work; false keeps the dialog open. By default there is nothing to do.
    virtual bool confirm() { return true; }
    // The text the hook records with the dialog's caption.
    virtual QString prompt() const { return QString(); }

    // For the OK button: confirms, then closes with the OK result.
    void confirmAndAccept();
};

}  // namespace vt
