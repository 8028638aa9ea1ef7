#pragma once

// The school holidays of zones A, B and C, read from the national calendar in iCalendar form
// ("Calendrier_Scolaire_Zones_A_B_C.ics", as the ministry publishes it).

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace vt {

inline constexpr const char* kSchoolCalendarFile = "Calendrier_Scolaire_Zones_A_B_C.ics";

struct SchoolHoliday {
    std::string name;   // "Vacances de Noël"
    std::string zones;  // the zone letters it applies to, "ABC" or "B"
    std::chrono::sys_days firstDay;
    std::chrono::sys_days lastDay;  // the day before classes resume
};

struct SchoolCalendar {
    std::vector<SchoolHoliday> holidays;

    // The holiday of that zone ('A', 'B' or 'C') on that day, if any.
    const SchoolHoliday* holidayOn(std::chrono::sys_days day, char zone) const;
};

// Reads the events of an iCalendar text. An event runs from DTSTART to the day before DTEND
// (the day classes resume); an event without DTEND is that one day, except the summer
// holidays, which the ministry leaves open and which last until 31 August. Events named
// "Rentrée ..." mark a return, not a holiday. The zones are the letters after "Zone" or
// "Zones" in LOCATION, else DESCRIPTION, else SUMMARY; none named means all three. Nothing,
// with the French reason, when the text is no calendar or an event has no readable dates.
struct SchoolCalendarRead {
    std::optional<SchoolCalendar> calendar;
    std::string problem;
};
SchoolCalendarRead parseSchoolCalendar(std::string_view icsText);

// The calendar of the data folder when one was dropped there, else the one shipped beside the
// program. A missing or malformed file gives no holidays and a French console line in
// `problem`; the scheduler carries on as without a zone.
SchoolCalendarRead loadSchoolCalendar(const platform::FileSystem& files, const std::string& dataDir,
                                      const std::string& programDir);

}  // namespace vt
