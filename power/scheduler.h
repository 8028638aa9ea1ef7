#pragma once

// The minute scheduler: on each tick, powers groups up and shuts them down when their times
// for today are due, reloads the schedule after midnight and starts the morning software
// inventory export.

#include <chrono>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "core/VtlVar.h"
#include "core/services.h"
#include "platform/date_time.h"
#include "power/no_power_on_days.h"
#include "power/power_actions.h"

namespace vt::power {

// Interval of Timer1; its first tick comes one interval after start.
inline constexpr std::chrono::milliseconds kSchedulerInterval{60000};
inline constexpr const char* kScheduleReloadTime = "0:01";
inline constexpr const char* kSoftwareInventoryTime = "7:30";

// True when the text is a time the scheduler can match: hours 0 to 23, ":", minutes 0 to 59,
// each read as the preferences file reads integers. "0:00" (no action) is one.
bool isTimeOfDay(std::string_view time);

// True when the time text ("7:30", "07:30") is due: the time of day is later than h:m:00 and
// not later than three minutes after it. "0:00" and texts that are not hours 0 to 23 and
// minutes 0 to 59 are never due. A time from 23:57 on stays due past midnight for the rest of
// its three minutes.
bool IsDue(std::string_view time, const platform::LocalDateTime& now);

// The time at which a powered-up group is shut down again: PowerOnTime plus Duration, as
// "h:m" without leading zeros ("7:30" + 35 gives "8:5"). Nothing when PowerOnTime is no real
// time (not valid, or "0:00"), when Duration is not a positive whole number, or when the sum
// passes 23:59.
std::optional<std::string> derivedShutdownTime(const GroupDaySchedule& schedule);

// The command line that starts the software inventory export: the tool, the server and the
// login. Its password goes into the tool's environment alone (inventoryToolEnvironment), as
// every local user can read a command line in the process list.
std::string softwareInventoryCommandLine(const VtlVar& state);

// The variable that carries the password to the inventory tools, which read it there when
// their command line holds none.
inline constexpr const char* kInventoryPasswordVariable = "VANTOREL_OCS_PASSWORD";
platform::EnvironmentEntries inventoryToolEnvironment(const VtlVar& state);

class Scheduler {
public:
    Scheduler(VtlVar& state, const Services& services, PowerActions& actions);

    // One tick. Returns true when a group action fired. A FileError of an action (or of the
    // schedule reload) ends the tick there and reaches the caller, which shows it. On a school
    // holiday of the chosen zone, or a public holiday when the preferences say so, no group is
    // powered on, which the console tells once per group and day; shutdowns still run.
    bool Timer1Timer();

    // Runs at the end of a tick on which no group action fired; unset, nothing runs.
    void setQuietTick(std::function<void()> quietTick) { m_quietTick = std::move(quietTick); }

private:
    VtlVar& m_state;
    Services m_services;
    PowerActions& m_actions;
    std::function<void()> m_quietTick;
    SchoolCalendarSource m_schoolCalendar;
    std::optional<std::chrono::sys_days> m_skippedDay;
    std::set<std::string> m_skippedGroups;
};

}  // namespace vt::power
