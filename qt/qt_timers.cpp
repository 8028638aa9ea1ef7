#include "qt/qt_timers.h"

#include <QDateTime>
#include <QTimer>

namespace vt {

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
