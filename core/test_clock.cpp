#include "core/test_clock.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace vt {

namespace {

using namespace std::chrono;

sys_days dayOf(const platform::LocalDateTime& when) {
    return sys_days(year_month_day(year(when.year), month(static_cast<unsigned>(when.month)),
                                   day(static_cast<unsigned>(when.day))));
}

}  // namespace

std::optional<TestClockSetting> parseTestClock(std::string_view text,
                                               system_clock::time_point processStart) {
    const std::string copy(text);
    TestClockSetting setting;
    platform::LocalDateTime& start = setting.start;
    double anchorSeconds = -1;
    int consumed = 0;
    const int fields =
        std::sscanf(copy.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d,%lf%n,%lf%n", &start.year, &start.month,
                    &start.day, &start.hour, &start.minute, &start.second, &setting.speed,
                    &consumed, &anchorSeconds, &consumed);
    if (fields < 7 || static_cast<std::size_t>(consumed) != copy.size() ||
        !(setting.speed >= 1 && setting.speed <= 10000) || start.hour > 23 || start.minute > 59 ||
        start.second > 59 || start.hour < 0 || start.minute < 0 || start.second < 0) {
        return std::nullopt;
    }
    const year_month_day date(year(start.year), month(static_cast<unsigned>(start.month)),
                              day(static_cast<unsigned>(start.day)));
    if (!date.ok()) {
        return std::nullopt;
    }
    start.isoWeekday = platform::isoWeekdayOf(start.year, start.month, start.day);
    setting.anchor = fields == 8 ? system_clock::time_point(duration_cast<system_clock::duration>(
                                       duration<double>(anchorSeconds)))
                                 : processStart;
    return setting;
}

platform::LocalDateTime advancedBy(const platform::LocalDateTime& start, milliseconds elapsed) {
    const milliseconds startOfDay(start.millisecondsOfDay());
    const sys_time<milliseconds> moment = dayOf(start) + startOfDay + elapsed;
    const sys_days day = floor<days>(moment);
    const hh_mm_ss<milliseconds> time(moment - day);
    const year_month_day date(day);
    platform::LocalDateTime when;
    when.year = static_cast<int>(date.year());
    when.month = static_cast<int>(static_cast<unsigned>(date.month()));
    when.day = static_cast<int>(static_cast<unsigned>(date.day()));
    when.hour = static_cast<int>(time.hours().count());
    when.minute = static_cast<int>(time.minutes().count());
    when.second = static_cast<int>(time.seconds().count());
    when.millisecond = static_cast<int>(time.subseconds().count());
    when.isoWeekday = static_cast<int>(weekday(day).iso_encoding());
    return when;
}

platform::LocalDateTime TestClock::now() const {
    const duration<double, std::milli> real = system_clock::now() - m_setting.anchor;
    return advancedBy(
        m_setting.start,
        milliseconds(static_cast<long long>(std::llround(real.count() * m_setting.speed))));
}

milliseconds FasterTimers::scaled(milliseconds span) const {
    return std::max(milliseconds(1),
                    milliseconds(static_cast<long long>(std::llround(span.count() / m_speed))));
}

TimerId FasterTimers::startOneShot(milliseconds delay, std::function<void()> callback) {
    return m_inner.startOneShot(scaled(delay), std::move(callback));
}

TimerId FasterTimers::startRepeating(milliseconds interval, std::function<void()> callback) {
    return m_inner.startRepeating(scaled(interval), std::move(callback));
}

ProcessTime chooseProcessTime(Clock& realClock, Timers& realTimers, const platform::System& system,
                              Console& console) {
    ProcessTime time{&realClock, &realTimers, nullptr, nullptr};
    const std::optional<std::string> text = system.environment(kTestClockVariable);
    if (!text || text->empty()) {
        return time;
    }
    const std::optional<TestClockSetting> setting = parseTestClock(*text, system_clock::now());
    if (!setting) {
        console.appendLine(std::string(kTestClockVariable) +
                           " ignoré (attendu AAAA-MM-JJTHH:MM:SS,VITESSE[,ORIGINE]) : " + *text);
        return time;
    }
    time.testClock = std::make_unique<TestClock>(*setting);
    time.fasterTimers = std::make_unique<FasterTimers>(realTimers, setting->speed);
    time.clock = time.testClock.get();
    time.timers = time.fasterTimers.get();
    console.appendLine("Horloge d'essai : " + *text);
    return time;
}

}  // namespace vt
