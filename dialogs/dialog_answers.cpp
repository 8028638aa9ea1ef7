#include "dialogs/dialog_answers.h"

#include <QDialog>

#include <deque>

namespace vt {

namespace {

struct Hook {
    std::deque<DialogAnswer> answers;
    std::vector<AskedDialog> asked;
    bool required = false;
};

Hook& hook() {
    static Hook instance;
    return instance;
}

}  // namespace

void DialogAnswers::preset(DialogAnswer answer) {
    hook().answers.push_back(std::move(answer));
}

void DialogAnswers::requireAnswers(bool required) {
    hook().required = required;
}

std::optional<DialogAnswer> DialogAnswers::next(const QString& caption, const QString& text) {
    Hook& h = hook();
    if (!h.answers.empty()) {
        DialogAnswer answer = std::move(h.answers.front());
        h.answers.pop_front();
        h.asked.push_back(AskedDialog{caption, text, true});
        return answer;
    }
    if (h.required) {
        h.asked.push_back(AskedDialog{caption, text, false});
        return DialogAnswer{QDialog::Rejected, std::nullopt};
    }
    return std::nullopt;
}

const std::vector<AskedDialog>& DialogAnswers::asked() {
    return hook().asked;
}

std::size_t DialogAnswers::pendingCount() {
    return hook().answers.size();
}

void DialogAnswers::reset() {
    hook().answers.clear();
    hook().asked.clear();
}

}  // namespace vt
