#pragma once

// The answer that a modal dialog gives without being shown. Every modal dialog and message
// box of the program asks here first, so that window tests answer in advance instead of
// racing the dialog with timers. The running program never presets anything.

#include <QString>

#include <optional>
#include <vector>

namespace vt {

struct DialogAnswer {
    // The dialog's result: a QDialog::DialogCode, or the button of a message box.
    int result = 1;
    // What the user types into an input dialog before closing it; nothing leaves it as set.
    std::optional<QString> text;
};

// A dialog that asked for its answer: its caption and the text it carries (prompt or message).
struct AskedDialog {
    QString caption;
    QString text;
    bool answered = false;
};

class DialogAnswers {
public:
    // Queues the answer of the next modal dialog.
    static void preset(DialogAnswer answer);

    // With answers required (window tests), a dialog that finds no preset answer is not shown
    // either: it is recorded as unanswered and closes with the Cancel result, so a test never
    // hangs on an unexpected dialog.
    static void requireAnswers(bool required);

    // Asked by a modal dialog before it shows. Nothing means: show it and let the user answer.
    static std::optional<DialogAnswer> next(const QString& caption, const QString& text);

    // The dialogs that asked while answers were preset or required, oldest first.
    static const std::vector<AskedDialog>& asked();
    static std::size_t pendingCount();
    // Forgets the queued answers and the record.
    static void reset();
};

}  // namespace vt
