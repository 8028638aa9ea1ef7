#pragma once

// The Qt implementations of the timers and the clock, for the window program and the service
// alike: they need an event loop, not a window.

#include <QObject>

#include <map>
#include <memory>

#include "core/services.h"

class QTimer;

namespace vt {

// Timers on the user-interface thread. A callback may stop its own timer or start others.
class QtTimers : public Timers {
public:
    QtTimers();
    ~QtTimers() override;

    TimerId startOneShot(std::chrono::milliseconds delay, std::function<void()> callback) override;
    TimerId startRepeating(std::chrono::milliseconds interval,
                           std::function<void()> callback) override;
    void stop(TimerId id) override;
    void stopAll();
    std::size_t activeCount() const { return m_entries.size(); }

private:
    struct Entry {
        QTimer* timer;
        std::shared_ptr<std::function<void()>> callback;
        bool repeating;
    };
    TimerId start(std::chrono::milliseconds interval, bool repeating,
                  std::function<void()> callback);
    void fire(TimerId id);

    std::unique_ptr<QObject> m_owner;
    std::map<TimerId, Entry> m_entries;
    TimerId m_nextId = 1;
};

// The local time of the machine.
class QtClock : public Clock {
public:
    platform::LocalDateTime now() const override;
};

}  // namespace vt
