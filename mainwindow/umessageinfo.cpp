#include "mainwindow/umessageinfo.h"

#include <QLabel>

#include "qt/window_style.h"

namespace vt {

TMessageInfo::TMessageInfo(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("MessageInfo");
    setWindowTitle("MessageInfo");
    setGeometry(392, 231, 433, 178);

    m_info = new QLabel("info", this);
    m_info->setObjectName("info");
    m_info->setTextFormat(Qt::PlainText);
    m_info->setFont(designFont(11));
    m_info->move(64, 56);
    m_info->adjustSize();
}

void TMessageInfo::setInfo(const QString& text) {
    m_info->setText(text);
    m_info->adjustSize();
    m_info->repaint();
    repaint();
}

}  // namespace vt
