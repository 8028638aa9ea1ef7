#include "dialogs/message_box.h"

#include <QApplication>
#include <QMessageBox>

#include "dialogs/dialog_answers.h"

namespace vt {

namespace {

void show(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    const QString caption = QApplication::applicationName();
    if (DialogAnswers::next(caption, text)) {
        return;
    }
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace

void showMessage(QWidget* parent, const QString& text) {
    show(parent, QMessageBox::Information, text);
}

void showFileError(QWidget* parent, const QString& text) {
    show(parent, QMessageBox::Critical, text);
}

}  // namespace vt
