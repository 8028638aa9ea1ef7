#include "mainwindow/controls.h"

#include <QLabel>
#include <QPushButton>

namespace vt {

QLabel* addLabel(QWidget* parent, const QString& name, const QString& text, QRect bounds) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(bounds);
    return label;
}

QPushButton* addButton(QWidget* parent, const QString& name, const QString& caption, QRect bounds) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(bounds);
    return button;
}

}  // namespace vt
