#pragma once

// The program's message boxes. They ask the dialog-answer hook first.

#include <QString>

class QWidget;

namespace vt {

// A message with an OK button, captioned with the application's name; waits for the user.
void showMessage(QWidget* parent, const QString& text);

// A question with "Oui" and "Non", "Non" the default, captioned with the application's name;
// true when the user answers "Oui".
bool askToConfirm(QWidget* parent, const QString& text);

// The platform's standard file-error message (the text of a FileError); waits for the user.
void showFileError(QWidget* parent, const QString& text);

// A file error met by a timer, a background job or a download: the box does not wait, so the
// handler that met it goes on and its timer keeps firing. The same text already on screen is
// not shown twice.
void showFileErrorWithoutWaiting(QWidget* parent, const QString& text);

// While set (from a termination request on), no box is shown: its text goes to standard
// error instead.
void sendBoxesToStandardError(bool send);

// Closes every dialog and box on screen as its Cancel would, ending the waits of those that
// were waited for.
void closeOpenDialogs();

}  // namespace vt
