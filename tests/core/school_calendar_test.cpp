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

// The first and last day of each holiday, the days around them, and a zone that is not off.
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

const std::nullopt_t kNone = std::nullopt;
const char* const kToussaint = "Vacances de la Toussaint";
const char* const kNoel = "Vacances de Noël";
const char* const kHiver = "Vacances d'hiver";
const char* const kPrintemps = "Vacances de printemps";

INSTANTIATE_TEST_SUITE_P(
    Year2026To2027, ShippedCalendarTest,
    ::testing::Values(ZoneDay{'A', 2026y / 9 / 1, kNone}, ZoneDay{'A', 2026y / 10 / 16, kNone},
                      ZoneDay{'A', 2026y / 10 / 17, kToussaint},
                      ZoneDay{'C', 2026y / 11 / 1, kToussaint}, ZoneDay{'B', 2026y / 11 / 2, kNone},
                      ZoneDay{'B', 2026y / 12 / 21, kNoel}, ZoneDay{'B', 2027y / 1 / 3, kNoel},
                      ZoneDay{'B', 2027y / 1 / 4, kNone}, ZoneDay{'C', 2027y / 2 / 8, kHiver},
                      ZoneDay{'A', 2027y / 2 / 8, kNone}, ZoneDay{'C', 2027y / 2 / 22, kNone},
                      ZoneDay{'A', 2027y / 2 / 28, kHiver}, ZoneDay{'A', 2027y / 3 / 1, kNone},
                      ZoneDay{'B', 2027y / 2 / 19, kNone}, ZoneDay{'B', 2027y / 3 / 7, kHiver},
                      ZoneDay{'B', 2027y / 3 / 8, kNone}, ZoneDay{'C', 2027y / 4 / 18, kPrintemps},
                      ZoneDay{'C', 2027y / 4 / 19, kNone}, ZoneDay{'A', 2027y / 4 / 12, kPrintemps},
                      ZoneDay{'B', 2027y / 4 / 12, kNone}, ZoneDay{'B', 2027y / 5 / 2, kPrintemps},
                      ZoneDay{'B', 2027y / 5 / 3, kNone}, ZoneDay{'A', 2027y / 5 / 5, kNone},
                      ZoneDay{'A', 2027y / 5 / 7, "Pont de l'Ascension"},
                      ZoneDay{'B', 2027y / 5 / 10, kNone}, ZoneDay{'C', 2027y / 7 / 2, kNone},
                      ZoneDay{'C', 2027y / 7 / 5, "Vacances d'été"},
                      ZoneDay{'A', 2027y / 8 / 31, "Vacances d'été"},
                      ZoneDay{'A', 2027y / 9 / 1, kNone}));

class SchoolCalendarFileTest : public test::TempDirTest {
protected:
    SchoolCalendarRead load() {
        return loadSchoolCalendar(files(), state.DataDir, test::binDir() + "/");
    }
};

std::string calendarOf(const std::string& events) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//FR\r\n" + events +
           "END:VCALENDAR\r\n";
}

// The form with the academies in LOCATION and the zone in the other texts.
TEST_F(SchoolCalendarFileTest, FileOfTheDataFolderComesFirstAndNamesZonesInItsTexts) {
    writeBytes(kSchoolCalendarFile,
               calendarOf("BEGIN:VEVENT\r\nUID:1\r\nDTSTAMP:20250101T000000Z\r\n"
                          "DTSTART;VALUE=DATE:20270220\r\nDTEND;VALUE=DATE:20270308\r\n"
                          "SUMMARY:Vacances d'hiver - Zone B\r\nLOCATION:Amiens, Caen, Lille\r\n"
                          "END:VEVENT\r\n"));
    const SchoolCalendarRead read = load();
    ASSERT_TRUE(read.calendar) << read.problem;
    ASSERT_EQ(read.calendar->holidays.size(), 1u);
    const SchoolHoliday& winter = read.calendar->holidays[0];
    EXPECT_EQ(winter.name, "Vacances d'hiver");
    EXPECT_EQ(winter.zones, "B");
    EXPECT_EQ(winter.lastDay, sys_days{2027y / 3 / 7});
    EXPECT_EQ(read.calendar->holidayOn(sys_days{2026y / 12 / 21}, 'B'), nullptr);
}

TEST_F(SchoolCalendarFileTest, MissingEverywhereIsOneLineAndNoHoliday) {
    const SchoolCalendarRead read = loadSchoolCalendar(files(), state.DataDir, path("nowhere/"));
    EXPECT_FALSE(read.calendar);
    EXPECT_EQ(read.problem,
              "Calendrier scolaire Calendrier_Scolaire_Zones_A_B_C.ics introuvable : aucune "
              "vacance scolaire connue, les salles s'allument selon leurs horaires.");
}

class MalformedCalendarTest : public SchoolCalendarFileTest,
                              public ::testing::WithParamInterface<const char*> {};

// A bad file in the data folder is not replaced by the shipped one: the administrator meant it.
TEST_P(MalformedCalendarTest, GivesNoHolidayAndTheReason) {
    writeBytes(kSchoolCalendarFile, GetParam());
    const SchoolCalendarRead read = load();
    EXPECT_FALSE(read.calendar);
    EXPECT_EQ(read.problem.rfind(
                  "Calendrier scolaire " + state.DataDir + kSchoolCalendarFile + " illisible (", 0),
              0u)
        << read.problem;
}

INSTANTIATE_TEST_SUITE_P(
    Files, MalformedCalendarTest,
    ::testing::Values("", "Vacances de Noël 19/12/2026 - 04/01/2027\r\n",
                      "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:Vacances\r\nEND:VEVENT\r\n"
                      "END:VCALENDAR\r\n",
                      "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART;VALUE=DATE:2027AB01\r\n"
                      "END:VEVENT\r\nEND:VCALENDAR\r\n",
                      "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20270104\r\n"
                      "DTEND;VALUE=DATE:20261219\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n",
                      "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20271302\r\n"
                      "END:VEVENT\r\nEND:VCALENDAR\r\n"));

}  // namespace
}  // namespace vt
