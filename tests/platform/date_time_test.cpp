#include <gtest/gtest.h>

#include <chrono>
#include <ctime>

#include "platform/date_time.h"
#include "tests/support/temp_dir_test.h"

namespace vt::platform {
namespace {

struct WeekdayCase {
    int year;
    int month;
    int day;
    int isoWeekday;
};

class IsoWeekdayTest : public ::testing::TestWithParam<WeekdayCase> {};

TEST_P(IsoWeekdayTest, GivesTheWeekdayOfTheDate) {
    const WeekdayCase& c = GetParam();
    EXPECT_EQ(isoWeekdayOf(c.year, c.month, c.day), c.isoWeekday)
        << c.year << "-" << c.month << "-" << c.day;
}

INSTANTIATE_TEST_SUITE_P(Dates, IsoWeekdayTest,
                         ::testing::Values(WeekdayCase{2026, 12, 7, 1}, WeekdayCase{2026, 12, 6, 7},
                                           WeekdayCase{2026, 12, 12, 6}, WeekdayCase{1970, 1, 1, 4},
                                           WeekdayCase{2000, 2, 29, 2}, WeekdayCase{2024, 3, 1, 5},
                                           WeekdayCase{1900, 1, 1, 1}, WeekdayCase{1969, 12, 31, 3},
                                           WeekdayCase{2100, 3, 1, 1}));

using SystemClockTest = test::TempDirTest;

TEST_F(SystemClockTest, FormatsShortDateAndLongTimeWithLeadingZeros) {
    System& system = realPlatform().system;
    LocalDateTime when;
    when.year = 2026;
    when.month = 12;
    when.day = 6;
    when.hour = 7;
    when.minute = 35;
    when.second = 20;
    EXPECT_EQ(system.shortDate(when), "06/12/2026");
    EXPECT_EQ(system.longTime(when), "07:35:20");
    when = LocalDateTime{1999, 1, 31, 23, 59, 59, 999, 7};
    EXPECT_EQ(system.shortDate(when), "31/01/1999");
    EXPECT_EQ(system.longTime(when), "23:59:59");
    when = LocalDateTime{2000, 1, 1, 0, 0, 0, 0, 6};
    EXPECT_EQ(system.longTime(when), "00:00:00");
}

TEST_F(SystemClockTest, NowIsTheLocalTimeWithMillisecondsAndItsWeekday) {
    // time() reads the kernel's coarse clock, which may still show the previous second a few
    // milliseconds after the precise clock the platform reads has turned: bracket with the latter.
    using Clock = std::chrono::system_clock;
    const std::time_t before = Clock::to_time_t(Clock::now());
    const LocalDateTime now = realPlatform().system.now();
    const std::time_t after = Clock::to_time_t(Clock::now());
    std::tm fields{};
    fields.tm_year = now.year - 1900;
    fields.tm_mon = now.month - 1;
    fields.tm_mday = now.day;
    fields.tm_hour = now.hour;
    fields.tm_min = now.minute;
    fields.tm_sec = now.second;
    fields.tm_isdst = -1;
    const std::time_t given = std::mktime(&fields);
    EXPECT_GE(given, before);
    EXPECT_LE(given, after);
    EXPECT_GE(now.millisecond, 0);
    EXPECT_LE(now.millisecond, 999);
    EXPECT_EQ(now.isoWeekday, isoWeekdayOf(now.year, now.month, now.day));
}

}  // namespace
}  // namespace vt::platform
