#include "mainwindow/qt_services.h"

#include <QDateTime>
#include <QStatusBar>
#include <QTimer>

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

QtTimers::QtTimers() : m_owner(std::make_unique<QObject>()) {
}

QtTimers::~QtTimers() = default;  // the owner takes its timers with it

TimerId QtTimers::startOneShot(std::chrono::milliseconds delay, std::function<void()> callback) {
    return start(delay, false, std::move(callback));
}

TimerId QtTimers::startRepeating(std::chrono::milliseconds interval,
                                 std::function<void()> callback) {
    return start(interval, true, std::move(callback));
}

TimerId QtTimers::start(std::chrono::milliseconds interval, bool repeating,
                        std::function<void()> callback) {
    const TimerId id = m_nextId++;
    auto* timer = new QTimer(m_owner.get());
    timer->setSingleShot(!repeating);
    timer->setInterval(interval);
    QObject::connect(timer, &QTimer::timeout, m_owner.get(), [this, id] { fire(id); });
    m_entries.emplace(
        id, Entry{timer, std::make_shared<std::function<void()>>(std::move(callback)), repeating});
    timer->start();
    return id;
}

void QtTimers::fire(TimerId id) {
    const auto it = m_entries.find(id);
    if (it == m_entries.end()) {
        return;
    }
    // The callback stays alive while it runs, even when it stops its own timer.
    const std::shared_ptr<std::function<void()>> callback = it->second.callback;
    if (!it->second.repeating) {
        stop(id);
    }
    if (*callback) {
        (*callback)();
    }
}

void QtTimers::stop(TimerId id) {
    const auto it = m_entries.find(id);
    if (it == m_entries.end()) {
        return;
    }
    it->second.timer->stop();
    // The timer may be the one whose signal is being delivered right now.
    it->second.timer->deleteLater();
    m_entries.erase(it);
}

void QtTimers::stopAll() {
    while (!m_entries.empty()) {
        stop(m_entries.begin()->first);
    }
}

platform::LocalDateTime QtClock::now() const {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    platform::LocalDateTime result;
    result.year = date.year();
    result.month = date.month();
    result.day = date.day();
    result.hour = time.hour();
    result.minute = time.minute();
    result.second = time.second();
    result.millisecond = time.msec();
    result.isoWeekday = date.dayOfWeek();
    return result;
}

}  // namespace vt
