#include "core/school_calendar.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir_test.h"

namespace vt {
namespace {

using namespace std::chrono;

struct ZoneDay {
    char zone;
    year_month_day day;
    std::optional<std::string> holiday;  // nothing: a school day
};

class ShippedCalendarTest : public test::TempDirTest,
                            public ::testing::WithParamInterface<ZoneDay> {};

// The first and last day of holidays, the days around them, and zones that are not off.
TEST_P(ShippedCalendarTest, HolidaysEndTheDayBeforeClassesResume) {
    const SchoolCalendarRead read =
        loadSchoolCalendar(files(), state.DataDir, test::binDir() + "/");
    ASSERT_TRUE(read.calendar) << read.problem;
    const ZoneDay& c = GetParam();
    const SchoolHoliday* holiday = read.calendar->holidayOn(sys_days{c.day}, c.zone);
    EXPECT_EQ(holiday ? std::optional(holiday->name) : std::nullopt, c.holiday)
        << c.zone << " " << static_cast<unsigned>(c.day.month()) << "/"
        << static_cast<unsigned>(c.day.day());
}

constexpr auto kNone = std::nullopt;
const char* const kNoel = "Vacances de Noël";
const char* const kHiver = "Vacances d'hiver";

INSTANTIATE_TEST_SUITE_P(
    Year2026To2027, ShippedCalendarTest,
    ::testing::Values(
        ZoneDay{'A', 2026y / 10 / 16, kNone},
        ZoneDay{'A', 2026y / 10 / 17, "Vacances de la Toussaint"},
        ZoneDay{'B', 2026y / 11 / 2, kNone}, ZoneDay{'B', 2027y / 1 / 3, kNoel},
        ZoneDay{'B', 2027y / 1 / 4, kNone}, ZoneDay{'C', 2027y / 2 / 8, kHiver},
        ZoneDay{'A', 2027y / 2 / 8, kNone}, ZoneDay{'A', 2027y / 2 / 28, kHiver},
        ZoneDay{'A', 2027y / 3 / 1, kNone}, ZoneDay{'B', 2027y / 3 / 7, kHiver},
        ZoneDay{'C', 2027y / 4 / 19, kNone}, ZoneDay{'B', 2027y / 5 / 2, "Vacances de printemps"},
        ZoneDay{'A', 2027y / 5 / 7, "Pont de l'Ascension"}, ZoneDay{'B', 2027y / 5 / 10, kNone},
        ZoneDay{'C', 2027y / 7 / 5, "Vacances d'été"}, ZoneDay{'A', 2027y / 9 / 1, kNone}));

using SchoolCalendarFileTest = test::TempDirTest;

// A bad file in the data folder is not replaced by the shipped one: the administrator meant it.
TEST_F(SchoolCalendarFileTest, MalformedCalendarGivesNoHolidayAndTheReason) {
    for (const char* text :
         {"", "Vacances de Noël 19/12/2026 - 04/01/2027\r\n",
          "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:Vacances\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n",
          "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20270104\r\n"
          "DTEND;VALUE=DATE:20261219\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"}) {
        writeBytes(kSchoolCalendarFile, text);
        const SchoolCalendarRead read = loadSchoolCalendar(files(), state.DataDir, test::binDir());
        EXPECT_FALSE(read.calendar) << text;
        EXPECT_EQ(
            read.problem.rfind(
                "Calendrier scolaire " + state.DataDir + kSchoolCalendarFile + " illisible (", 0),
            0u)
            << read.problem;
    }
}

}  // namespace
}  // namespace vt
