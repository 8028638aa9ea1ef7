#pragma once

// The services the behaviour is given: each an interface with a Qt implementation in the
// program and a fake in the tests.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/date_time.h"
#include "platform/platform.h"

namespace vt {

// The console window's log: one appended line per message; a text holding CR LF becomes
// two lines.
class Console {
public:
    virtual ~Console() = default;
    virtual void appendLine(std::string_view text) = 0;
};

// The discovery window's status bar: replaces its text and repaints at once.
class StatusSink {
public:
    virtual ~StatusSink() = default;
    virtual void setStatus(std::string_view text) = 0;
};

using TimerId = std::uint64_t;

// User-interface timers. A callback runs on the user-interface thread; it may stop its own
// timer or start others.
class Timers {
public:
    virtual ~Timers() = default;
    virtual TimerId startOneShot(std::chrono::milliseconds delay,
                                 std::function<void()> callback) = 0;
    virtual TimerId startRepeating(std::chrono::milliseconds interval,
                                   std::function<void()> callback) = 0;
    // Stopping an unknown or already stopped timer does nothing.
    virtual void stop(TimerId id) = 0;
};

// The local date and time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual platform::LocalDateTime now() const = 0;
};

struct Services {
    platform::Platform& platform;
    Console& console;
    StatusSink& status;
    Timers& timers;
    Clock& clock;
};

}  // namespace vt
