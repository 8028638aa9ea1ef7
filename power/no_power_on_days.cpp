#include "power/no_power_on_days.h"

#include <array>

#include "core/public_holidays.h"
#include "core/strings.h"
#include "power/schedule_store.h"

namespace vt::power {

namespace {

using namespace std::chrono;

constexpr std::array<const char*, 12> kMonthNames = {
    "janvier", "février", "mars",      "avril",   "mai",      "juin",
    "juillet", "août",    "septembre", "octobre", "novembre", "décembre"};

constexpr int kLookAheadDays = 366;

std::string withLowerInitial(std::string text) {
    if (!text.empty()) {
        text[0] = toLowerAscii(text.substr(0, 1))[0];
    }
    return text;
}

}  // namespace

sys_days calendarDayOf(const platform::LocalDateTime& when) {
    return sys_days{year{when.year} / month{static_cast<unsigned>(when.month)} /
                    day{static_cast<unsigned>(when.day)}};
}

std::optional<NoPowerOnDay> noPowerOnDay(const Preferences& prefs, const SchoolCalendar& calendar,
                                         sys_days date) {
    if (prefs.pas_allumage_feries) {
        if (const std::optional<std::string> name = publicHolidayName(year_month_day{date})) {
            return NoPowerOnDay{"Jour férié (" + *name + ")", "jour férié : " + *name};
        }
    }
    if (prefs.zone_vacances.size() == 1) {
        if (const SchoolHoliday* holiday = calendar.holidayOn(date, prefs.zone_vacances[0])) {
            return NoPowerOnDay{"Vacances scolaires (zone " + prefs.zone_vacances + ")",
                                withLowerInitial(holiday->name)};
        }
    }
    return std::nullopt;
}

std::string frenchLongDate(sys_days date) {
    const year_month_day ymd{date};
    const weekday wd{date};
    return DayName(static_cast<int>(wd.iso_encoding())) + " " +
           std::to_string(static_cast<unsigned>(ymd.day())) + " " +
           kMonthNames[static_cast<unsigned>(ymd.month()) - 1] + " " +
           std::to_string(static_cast<int>(ymd.year()));
}

std::string nextDayWithoutPowerOnLine(const Preferences& prefs, const SchoolCalendar& calendar,
                                      sys_days from) {
    if (prefs.zone_vacances.empty() && !prefs.pas_allumage_feries) {
        return {};
    }
    for (sys_days date = from; date < from + days{kLookAheadDays}; date += days{1}) {
        if (weekday{date} == Saturday || weekday{date} == Sunday) {
            continue;
        }
        if (const std::optional<NoPowerOnDay> skipped = noPowerOnDay(prefs, calendar, date)) {
            return "Prochain jour sans allumage : " + frenchLongDate(date) + " (" + skipped->what +
                   ")";
        }
    }
    return {};
}

std::string nextDayWithoutPowerOnLine(const VtlVar& state, const platform::FileSystem& files,
                                      const std::string& programDir, sys_days from) {
    SchoolCalendarRead read;
    if (!state.Prefs.zone_vacances.empty()) {
        read = loadSchoolCalendar(files, state.DataDir, programDir);
    }
    return nextDayWithoutPowerOnLine(state.Prefs, read.calendar.value_or(SchoolCalendar{}), from);
}

const SchoolCalendar& SchoolCalendarSource::calendarFor(sys_days date, const VtlVar& state,
                                                        const Services& services) {
    if (state.Prefs.zone_vacances.empty() || m_readOn == date) {
        return m_calendar;
    }
    m_readOn = date;
    SchoolCalendarRead read = loadSchoolCalendar(services.platform.files, state.DataDir,
                                                 services.platform.system.executableDirectory());
    m_calendar = read.calendar ? std::move(*read.calendar) : SchoolCalendar{};
    if (read.problem != m_lastProblem && !read.problem.empty()) {
        services.console.appendLine(read.problem);
    }
    m_lastProblem = read.problem;
    return m_calendar;
}

}  // namespace vt::power
