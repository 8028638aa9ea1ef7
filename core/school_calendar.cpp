#include "core/school_calendar.h"

#include <libical/ical.h>

#include <memory>

#include "core/strings.h"

namespace vt {

namespace {

using namespace std::chrono;

struct ComponentFree {
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using ComponentOwner = std::unique_ptr<icalcomponent, ComponentFree>;

const char* const kNoHolidaysKnown =
    " : aucune vacance scolaire connue, les salles s'allument selon leurs horaires.";

std::string textOf(const char* text) {
    return text == nullptr ? std::string() : trim(text);
}

sys_days dayOf(const icaltimetype& time) {
    return sys_days{year{time.year} / month{static_cast<unsigned>(time.month)} /
                    day{static_cast<unsigned>(time.day)}};
}

bool isValidDay(const icaltimetype& time) {
    if (icaltime_is_null_time(time) || !icaltime_is_valid_time(time)) {
        return false;
    }
    return (year{time.year} / month{static_cast<unsigned>(time.month)} /
            day{static_cast<unsigned>(time.day)})
        .ok();
}

// The letters A, B, C standing alone after "Zone" or "Zones"; empty when no zone is named.
std::string zonesNamedIn(const std::string& text) {
    const std::string lower = toLowerAscii(text);
    const std::size_t zoneAt = lower.find("zone");
    if (zoneAt == std::string::npos) {
        return {};
    }
    std::string zones;
    std::size_t i = zoneAt + 4;
    while (i < text.size()) {
        const std::size_t wordEnd = text.find_first_of(" ,;-/", i);
        const std::string word =
            text.substr(i, wordEnd == std::string::npos ? std::string::npos : wordEnd - i);
        if (word.size() == 1 && word[0] >= 'A' && word[0] <= 'C' &&
            zones.find(word[0]) == std::string::npos) {
            zones += word[0];
        }
        if (wordEnd == std::string::npos) {
            break;
        }
        i = wordEnd + 1;
    }
    return zones;
}

// "Vacances d'hiver - Zone A" is named "Vacances d'hiver".
std::string holidayName(const std::string& summary) {
    const std::size_t dash = summary.find(" - ");
    if (dash != std::string::npos && !zonesNamedIn(summary.substr(dash)).empty()) {
        return trim(summary.substr(0, dash));
    }
    return summary;
}

bool isSummerHoliday(const std::string& name) {
    return name.find("été") != std::string::npos || name.find("Été") != std::string::npos;
}

icalcomponent* calendarIn(icalcomponent* root) {
    if (icalcomponent_isa(root) == ICAL_VCALENDAR_COMPONENT) {
        return root;
    }
    if (icalcomponent_isa(root) == ICAL_XROOT_COMPONENT) {
        return icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT);
    }
    return nullptr;
}

}  // namespace

const SchoolHoliday* SchoolCalendar::holidayOn(sys_days day, char zone) const {
    for (const SchoolHoliday& holiday : holidays) {
        if (day >= holiday.firstDay && day <= holiday.lastDay &&
            holiday.zones.find(zone) != std::string::npos) {
            return &holiday;
        }
    }
    return nullptr;
}

SchoolCalendarRead parseSchoolCalendar(std::string_view icsText) {
    // libical aborts on some errors unless told otherwise; a bad file must only be reported.
    icalerror_set_errors_are_fatal(0);
    const std::string text(icsText);
    const ComponentOwner root(icalparser_parse_string(text.c_str()));
    icalcomponent* calendarComponent = root ? calendarIn(root.get()) : nullptr;
    if (calendarComponent == nullptr) {
        return {std::nullopt, "ce n'est pas un calendrier iCalendar"};
    }
    SchoolCalendar calendar;
    for (icalcomponent* event =
             icalcomponent_get_first_component(calendarComponent, ICAL_VEVENT_COMPONENT);
         event != nullptr;
         event = icalcomponent_get_next_component(calendarComponent, ICAL_VEVENT_COMPONENT)) {
        const std::string summary = textOf(icalcomponent_get_summary(event));
        icalproperty* start = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
        if (start == nullptr || !isValidDay(icalproperty_get_dtstart(start))) {
            return {std::nullopt, "l'événement « " + summary + " » n'a pas de date de début"};
        }
        if (startsWithNoCase(summary, "Rentrée")) {
            continue;
        }
        SchoolHoliday holiday;
        holiday.name = holidayName(summary);
        holiday.firstDay = dayOf(icalproperty_get_dtstart(start));
        icalproperty* end = icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY);
        if (end != nullptr) {
            const icaltimetype endTime = icalproperty_get_dtend(end);
            if (!isValidDay(endTime)) {
                return {std::nullopt,
                        "l'événement « " + summary + " » a une date de fin illisible"};
            }
            // DTEND is the morning classes resume: the holiday ends the day before.
            holiday.lastDay = dayOf(endTime) - days{1};
            if (holiday.lastDay < holiday.firstDay) {
                return {std::nullopt, "l'événement « " + summary + " » finit avant de commencer"};
            }
        } else if (isSummerHoliday(holiday.name)) {
            const year_month_day first{holiday.firstDay};
            holiday.lastDay = sys_days{first.year() / August / 31};
        } else {
            holiday.lastDay = holiday.firstDay;
        }
        for (const char* property : {icalcomponent_get_location(event),
                                     icalcomponent_get_description(event), summary.c_str()}) {
            holiday.zones = zonesNamedIn(textOf(property));
            if (!holiday.zones.empty()) {
                break;
            }
        }
        if (holiday.zones.empty()) {
            holiday.zones = "ABC";
        }
        calendar.holidays.push_back(std::move(holiday));
    }
    return {std::move(calendar), {}};
}

SchoolCalendarRead loadSchoolCalendar(const platform::FileSystem& files, const std::string& dataDir,
                                      const std::string& programDir) {
    for (const std::string& folder : {dataDir, programDir}) {
        const std::string path = folder + kSchoolCalendarFile;
        if (!files.exists(path)) {
            continue;
        }
        const std::optional<std::string> bytes = files.readFile(path);
        SchoolCalendarRead read = bytes ? parseSchoolCalendar(*bytes)
                                        : SchoolCalendarRead{std::nullopt, "lecture impossible"};
        if (!read.calendar) {
            read.problem = "Calendrier scolaire " + path + " illisible (" + read.problem + ")" +
                           kNoHolidaysKnown;
        }
        return read;
    }
    return {std::nullopt, std::string("Calendrier scolaire ") + kSchoolCalendarFile +
                              " introuvable" + kNoHolidaysKnown};
}

}  // namespace vt
