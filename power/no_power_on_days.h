#pragma once

// The days on which the timetables power no room on: the school holidays of the zone chosen
// in the preferences, and the public holidays when the preferences ask for it. Shutdowns are
// not concerned.

#include <chrono>
#include <optional>
#include <string>

#include "core/VtlVar.h"
#include "core/school_calendar.h"
#include "core/services.h"
#include "platform/date_time.h"

namespace vt::power {

struct NoPowerOnDay {
    std::string cause;  // for the console: "Vacances scolaires (zone B)"
    std::string what;   // for the schedule editor: "vacances de Noël"
};

std::chrono::sys_days calendarDayOf(const platform::LocalDateTime& when);

// Why the rooms stay off that day, or nothing on a day like any other. A public holiday
// that falls in the school holidays is given as the public holiday.
std::optional<NoPowerOnDay> noPowerOnDay(const Preferences& prefs, const SchoolCalendar& calendar,
                                         std::chrono::sys_days day);

// "lundi 21 décembre 2026".
std::string frenchLongDate(std::chrono::sys_days day);

// The first weekday, Monday to Friday, from `from` on and within a year, without power-on, as
// the schedule editor shows it: "Prochain jour sans allumage : lundi 21 décembre 2026
// (vacances de Noël)". Empty when the preferences skip no day or none comes within a year.
std::string nextDayWithoutPowerOnLine(const Preferences& prefs, const SchoolCalendar& calendar,
                                      std::chrono::sys_days from);
// The same with the calendar read from the files, for the schedule editor; a missing or
// malformed calendar is the scheduler's to report.
std::string nextDayWithoutPowerOnLine(const VtlVar& state, const platform::FileSystem& files,
                                      const std::string& programDir, std::chrono::sys_days from);

// The school calendar as the scheduler needs it: read again once a day, so that a newer file
// dropped into the data folder counts from the next day, and only while a zone is chosen. A
// missing or malformed file is told on the console once, not every minute.
class SchoolCalendarSource {
public:
    const SchoolCalendar& calendarFor(std::chrono::sys_days day, const VtlVar& state,
                                      const Services& services);

private:
    std::optional<std::chrono::sys_days> m_readOn;
    SchoolCalendar m_calendar;
    std::string m_lastProblem;
};

}  // namespace vt::power
