#include "qt/controls.h"

#include <QLabel>
#include <QPushButton>
#include <QTextDocument>

namespace vt {

QLabel* addLabel(QWidget* parent, const QString& name, const QString& text, QRect bounds) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setObjectName(name);
    label->setGeometry(bounds);
    return label;
}

QString plainToolTip(const QString& text) {
    // Qt takes a tooltip that looks like markup for rich text; such a text is escaped and
    // given as rich text on purpose, so it reads as typed.
    if (!Qt::mightBeRichText(text)) {
        return text;
    }
    return "<p style=\"white-space:pre-wrap\">" + text.toHtmlEscaped() + "</p>";
}

QPushButton* addButton(QWidget* parent, const QString& name, const QString& caption, QRect bounds) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(bounds);
    return button;
}

}  // namespace vt
