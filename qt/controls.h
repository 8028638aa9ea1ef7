#pragma once

// Controls placed at fixed design bounds, named after their design names so that tests and
// handlers find them. Labels and tooltips show their text as it stands: much of it comes from
// files and from the client machines themselves (group lines, inventory values), where a
// "<font>" or "<img>" must not change what the administrator sees.

#include <QRect>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

namespace vt {

QLabel* addLabel(QWidget* parent, const QString& name, const QString& text, QRect bounds);
// A tooltip that shows the text as it stands, markup included.
QString plainToolTip(const QString& text);
QPushButton* addButton(QWidget* parent, const QString& name, const QString& caption, QRect bounds);

}  // namespace vt
