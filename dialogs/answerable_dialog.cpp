#include "dialogs/answerable_dialog.h"

#include "dialogs/dialog_answers.h"

namespace vt {

namespace {

std::function<void(QDialog&)>& openingHook() {
    static std::function<void(QDialog&)> hook;
    return hook;
}

}  // namespace

void AnswerableDialog::setOpeningHook(std::function<void(QDialog&)> hook) {
    openingHook() = std::move(hook);
}

int AnswerableDialog::exec() {
    fill();
    if (openingHook()) {
        openingHook()(*this);
    }
    if (const auto answer = DialogAnswers::next(windowTitle(), prompt())) {
        int result = answer->result;
        if (result == QDialog::Accepted && !confirm()) {
            result = QDialog::Rejected;
        }
        setResult(result);
        return result;
    }
    return QDialog::exec();
}

void AnswerableDialog::confirmAndAccept() {
    if (confirm()) {
        accept();
    }
}

}  // namespace vt
