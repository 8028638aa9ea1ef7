#include "dialogs/message_box.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <iostream>
#include <vector>

#include "dialogs/dialog_answers.h"

namespace vt {

namespace {

bool g_toStandardError = false;

// The boxes that do not wait, while they are on screen.
std::vector<QPointer<QMessageBox>>& boxesOnScreen() {
    static std::vector<QPointer<QMessageBox>> boxes;
    return boxes;
}

// True when the box is answered in advance, or cannot be shown and went to standard error.
bool handledWithoutBox(const QString& caption, const QString& text) {
    if (g_toStandardError) {
        std::cerr << caption.toStdString() << " : " << text.toStdString() << std::endl;
        return true;
    }
    return DialogAnswers::next(caption, text).has_value();
}

void show(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    const QString caption = QApplication::applicationName();
    if (handledWithoutBox(caption, text)) {
        return;
    }
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    // The messages name files and machines, which may look like markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace

bool askToConfirm(QWidget* parent, const QString& text) {
    const QString caption = QApplication::applicationName();
    if (g_toStandardError) {
        std::cerr << caption.toStdString() << " : " << text.toStdString() << " (non)" << std::endl;
        return false;
    }
    if (const auto answer = DialogAnswers::next(caption, text)) {
        return answer->result == QMessageBox::Yes;
    }
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Yes)->setText("Oui");
    box.button(QMessageBox::No)->setText("Non");
    // A slip of the Enter key must not switch a room off.
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void showMessage(QWidget* parent, const QString& text) {
    show(parent, QMessageBox::Information, text);
}

void showFileError(QWidget* parent, const QString& text) {
    show(parent, QMessageBox::Critical, text);
}

void showFileErrorWithoutWaiting(QWidget* parent, const QString& text) {
    std::vector<QPointer<QMessageBox>>& boxes = boxesOnScreen();
    std::erase_if(boxes, [](const QPointer<QMessageBox>& box) { return box.isNull(); });
    for (const QPointer<QMessageBox>& box : boxes) {
        if (box->text() == text) {
            return;
        }
    }
    const QString caption = QApplication::applicationName();
    if (handledWithoutBox(caption, text)) {
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Critical, caption, text, QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    boxes.emplace_back(box);
}

void sendBoxesToStandardError(bool send) {
    g_toStandardError = send;
}

void closeOpenDialogs() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(window);
        if (dialog != nullptr && dialog->isVisible()) {
            dialog->reject();
        }
    }
}

}  // namespace vt
