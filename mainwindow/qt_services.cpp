#include "mainwindow/qt_services.h"

#include <QDateTime>
#include <QStatusBar>

#include "mainwindow/uConsole.h"

namespace vt {

namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void QtConsole::appendLine(std::string_view text) {
    if (m_console) {
        m_console->appendLine(text);
        return;
    }
    if (m_early.size() >= static_cast<std::size_t>(TConsole::kKeptLines)) {
        m_early.erase(m_early.begin());
    }
    m_early.emplace_back(text.substr(0, TConsole::kLineLimit * 4));
}

void QtConsole::attach(TConsole* console) {
    m_console = console;
    if (m_console) {
        for (const std::string& line : m_early) {
            m_console->appendLine(line);
        }
        m_early.clear();
    }
}

void QtStatusSink::setStatus(std::string_view text) {
    if (!m_bar) {
        m_pending = std::string(text);
        return;
    }
    m_bar->showMessage(fromUtf8(text));
    m_bar->repaint();
}

void QtStatusSink::attach(QStatusBar* bar) {
    m_bar = bar;
    if (m_bar && m_pending) {
        const std::string text = std::move(*m_pending);
        m_pending.reset();
        setStatus(text);
    }
}

}  // namespace vt
