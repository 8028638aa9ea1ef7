#pragma once

// The program's message boxes. They ask the dialog-answer hook first.

#include <QString>

class QWidget;

namespace vt {

// A message with an OK button, captioned with the application's name.
void showMessage(QWidget* parent, const QString& text);

// The platform's standard file-error message (the text of a FileError).
void showFileError(QWidget* parent, const QString& text);

}  // namespace vt
