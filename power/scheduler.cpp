#include "power/scheduler.h"

#include "core/address_lists.h"
#include "core/command_runner.h"
#include "core/file_error.h"
#include "core/strings.h"
#include "power/schedule_store.h"

namespace vt::power {

namespace {

constexpr long long kMinuteMs = 60LL * 1000;
constexpr long long kDayMs = 24 * 60 * kMinuteMs;
constexpr long long kDueWindowMs = 3 * kMinuteMs;

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
};

// Hours 0 to 23 and minutes 0 to 59, each read as the preferences file reads integers.
std::optional<TimeOfDay> parseTimeOfDay(std::string_view time) {
    const SplitResult parts = splitAtFirst(time, ":");
    if (!parts.found) {
        return std::nullopt;
    }
    const std::optional<std::int32_t> hour = parseVtlInt(parts.before);
    const std::optional<std::int32_t> minute = parseVtlInt(parts.after);
    if (!hour || !minute || *hour < 0 || *hour > 23 || *minute < 0 || *minute > 59) {
        return std::nullopt;
    }
    return TimeOfDay{*hour, *minute};
}

}  // namespace

bool isTimeOfDay(std::string_view time) {
    return parseTimeOfDay(time).has_value();
}

bool IsDue(std::string_view time, const platform::LocalDateTime& now) {
    if (time == "0:00") {
        return false;
    }
    const std::optional<TimeOfDay> at = parseTimeOfDay(time);
    if (!at) {
        return false;
    }
    const long long start = (at->hour * 60LL + at->minute) * kMinuteMs;
    const long long end = start + kDueWindowMs;
    const long long current = now.millisecondsOfDay();
    if (current > start && current <= end) {
        return true;
    }
    // The window of a time just before midnight ends on the next day.
    return end >= kDayMs && current <= end - kDayMs;
}

std::optional<std::string> derivedShutdownTime(const GroupDaySchedule& schedule) {
    if (schedule.PowerOnTime == "0:00") {
        return std::nullopt;
    }
    const std::optional<TimeOfDay> powerOn = parseTimeOfDay(schedule.PowerOnTime);
    // The duration counts by its leading digits: "$1E", "0x1E" or "+30" are no duration.
    const std::int32_t duration = leadingDigitsValue(schedule.Duration);
    if (!powerOn || duration <= 0) {
        return std::nullopt;
    }
    const long long minutes = powerOn->hour * 60LL + powerOn->minute + duration;
    if (minutes >= 24 * 60) {
        return std::nullopt;
    }
    return std::to_string(minutes / 60) + ":" + std::to_string(minutes % 60);
}

std::string softwareInventoryCommandLine(const VtlVar& state) {
    return "\"" + state.DataDir + "vt_ocs_softwares.exe\" " + state.Prefs.ocs_server + " " +
           state.Prefs.ocs_login;
}

platform::EnvironmentEntries inventoryToolEnvironment(const VtlVar& state) {
    return {{kInventoryPasswordVariable, state.Prefs.ocs_pwd}};
}

Scheduler::Scheduler(VtlVar& state, const Services& services, PowerActions& actions)
    : m_state(state), m_services(services), m_actions(actions) {
}

bool Scheduler::Timer1Timer() {
    const platform::LocalDateTime now = m_services.clock.now();
    const std::chrono::sys_days today = calendarDayOf(now);
    const std::optional<NoPowerOnDay> noPowerOn = noPowerOnDay(
        m_state.Prefs, m_schoolCalendar.calendarFor(today, m_state, m_services), today);
    if (m_skippedDay != today) {
        m_skippedDay = today;
        m_skippedGroups.clear();
    }
    bool fired = false;
    resizeSchedules(m_state);
    // Lines learned while the cache tool held the address lists get their next chance; a list
    // that cannot be written must not hold up the timetable.
    try {
        writePendingAddressLines(m_state, m_services.platform.files);
    } catch (const FileError& error) {
        m_services.console.appendLine(error.what());
    }

    // The last group is "Autres", which has no schedule. The group's name and times are
    // copied: an action may change the shared state.
    for (std::size_t i = 0; i + 1 < m_state.GroupList.size() && i < m_state.Schedules.size(); ++i) {
        const std::string group = m_state.GroupList[i];
        const GroupDaySchedule schedule = m_state.Schedules[i];
        if (schedule.PowerOnTime == schedule.ShutdownTime) {
            continue;
        }
        if (IsDue(schedule.PowerOnTime, now)) {
            if (!noPowerOn) {
                m_actions.PowerUp(group);
                fired = true;
            } else if (m_skippedGroups.insert(group).second) {
                m_services.console.appendLine(noPowerOn->cause + " : pas d'allumage de " + group);
            }
        }
        if (IsDue(schedule.ShutdownTime, now)) {
            m_actions.Shutdown(group);
            fired = true;
        }
        const std::optional<std::string> derived = derivedShutdownTime(schedule);
        if (derived && IsDue(*derived, now)) {
            m_actions.Shutdown(group);
            fired = true;
        }
    }

    if (IsDue(kScheduleReloadTime, now)) {
        LoadTodaySchedule(m_state, m_services);
    }
    if (IsDue(kSoftwareInventoryTime, now)) {
        StartHidden(m_services, softwareInventoryCommandLine(m_state),
                    inventoryToolEnvironment(m_state));
    }
    if (!fired && m_quietTick) {
        m_quietTick();
    }
    return fired;
}

}  // namespace vt::power
