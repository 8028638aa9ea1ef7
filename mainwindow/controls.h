#pragma once

// Controls placed at fixed design bounds, named after their design names so that tests and
// handlers find them.

#include <QRect>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

namespace vt {

QLabel* addLabel(QWidget* parent, const QString& name, const QString& text, QRect bounds);
QPushButton* addButton(QWidget* parent, const QString& name, const QString& caption, QRect bounds);

}  // namespace vt
