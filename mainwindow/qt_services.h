#pragma once

// The program's implementations of the services that the behaviour is given.

#include <QObject>
#include <QPointer>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/services.h"

class QStatusBar;
class QTimer;

namespace vt {

class TConsole;

// Console lines go to the console window's log. Lines written before the window exists
// (during the main window's creation) are kept and appended when it is attached.
class QtConsole : public Console {
public:
    void appendLine(std::string_view text) override;
    void attach(TConsole* console);

private:
    QPointer<TConsole> m_console;
    std::vector<std::string> m_early;
};

// Status texts go to a status bar, which repaints at once. The last text given before a bar
// is attached is shown when it is.
class QtStatusSink : public StatusSink {
public:
    void setStatus(std::string_view text) override;
    void attach(QStatusBar* bar);

private:
    QPointer<QStatusBar> m_bar;
    std::optional<std::string> m_pending;
};

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
