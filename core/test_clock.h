#pragma once

// A faster clock for end-to-end runs: with VANTOREL_TEST_CLOCK="YYYY-MM-DDTHH:MM:SS,SPEED[,ANCHOR]"
// in the environment, the program and the service read the local time as
// START + (real time - ANCHOR) x SPEED and run every timer SPEED times faster, so that a day's
// timetable plays in minutes. ANCHOR is a real Unix time in seconds (the start of the process
// when left out): two processes given the same anchor read the same time. Unset, nothing
// changes.

#include <chrono>
#include <memory>
#include <optional>
#include <string_view>

#include "core/services.h"

namespace vt {

inline constexpr const char* kTestClockVariable = "VANTOREL_TEST_CLOCK";

struct TestClockSetting {
    platform::LocalDateTime start;
    double speed = 1;
    std::chrono::system_clock::time_point anchor;
};

// Nothing when the text is not such a setting (the caller says so and keeps the real clock).
std::optional<TestClockSetting> parseTestClock(std::string_view text,
                                               std::chrono::system_clock::time_point processStart);

// The local date and time `elapsed` after `start`, counted on the calendar (no time zone).
platform::LocalDateTime advancedBy(const platform::LocalDateTime& start,
                                   std::chrono::milliseconds elapsed);

class TestClock : public Clock {
public:
    explicit TestClock(const TestClockSetting& setting) : m_setting(setting) {}
    platform::LocalDateTime now() const override;

private:
    TestClockSetting m_setting;
};

// Every delay and interval divided by the speed, never below a millisecond.
class FasterTimers : public Timers {
public:
    FasterTimers(Timers& inner, double speed) : m_inner(inner), m_speed(speed) {}
    TimerId startOneShot(std::chrono::milliseconds delay, std::function<void()> callback) override;
    TimerId startRepeating(std::chrono::milliseconds interval,
                           std::function<void()> callback) override;
    void stop(TimerId id) override { m_inner.stop(id); }

private:
    std::chrono::milliseconds scaled(std::chrono::milliseconds span) const;

    Timers& m_inner;
    double m_speed;
};

// The clock and timers a process runs on: the real ones, or the faster pair when the
// environment asks for it (a console line says so, or why the setting was not used).
struct ProcessTime {
    Clock* clock;
    Timers* timers;
    std::unique_ptr<TestClock> testClock;
    std::unique_ptr<FasterTimers> fasterTimers;
};
ProcessTime chooseProcessTime(Clock& realClock, Timers& realTimers, const platform::System& system,
                              Console& console);

}  // namespace vt
