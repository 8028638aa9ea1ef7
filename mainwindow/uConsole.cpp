#include "mainwindow/uConsole.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "dialogs/window_placement.h"
#include "qt/window_style.h"

namespace vt {

TConsole::TConsole(Preferences& prefs, QWidget* parent)
    : QWidget(parent, Qt::Window), m_prefs(prefs) {
    setObjectName("Console");
    setWindowTitle("Console");
    setFont(designFont(8));
    setGeometry(716, 6, 425, 308);

    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName("Memo1");
    m_memo->setReadOnly(true);
    m_memo->setMaximumBlockCount(kKeptLines);
    m_memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The log grows all day: its earlier lines are reached by the scroll bar, and a larger
    // window shows more of them.
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_memo);
    QPalette colours = m_memo->palette();
    colours.setColor(QPalette::Base, Qt::black);
    colours.setColor(QPalette::Text, kToolTipBackground);
    m_memo->setPalette(colours);
}

void TConsole::appendLine(std::string_view text) {
    QString line = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    // A lone CR would show as a box; it ends a line as CR LF does.
    line.replace("\r\n", "\n").replace('\r', '\n');
    QStringList lines = line.split('\n');
    for (QString& part : lines) {
        if (part.size() > kLineLimit) {
            part = part.left(kLineLimit) + QStringLiteral("…");
        }
    }
    m_memo->appendPlainText(lines.join('\n'));
}

void TConsole::FormDestroy() {
    // Client-area places both ways, as the main window keeps its own.
    const QRect place = geometry();
    m_prefs.cleft = place.x();
    m_prefs.cheight = place.height();
    m_prefs.ctop = place.y();
}

void TConsole::setVisible(bool visible) {
    if (visible && !isVisible()) {
        FormShow();
    }
    QWidget::setVisible(visible);
}

void TConsole::FormShow() {
    setGeometry(
        reachablePlace(boundedPlace(m_prefs.cleft, m_prefs.ctop, width(), m_prefs.cheight)));
}

void TConsole::closeEvent(QCloseEvent* event) {
    // The log must outlive its window: closing only hides it.
    event->ignore();
    hide();
}

}  // namespace vt
