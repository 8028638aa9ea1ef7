#include "core/public_holidays.h"

#include <gtest/gtest.h>

namespace vt {
namespace {

using namespace std::chrono;

struct EasterYear {
    year_month_day easterMonday;
    year_month_day ascension;
    year_month_day whitMonday;
};

class EasterHolidaysTest : public ::testing::TestWithParam<EasterYear> {};

// The day after each is an ordinary day.
TEST_P(EasterHolidaysTest, FollowEasterOfTheYear) {
    const EasterYear& c = GetParam();
    EXPECT_EQ(publicHolidayName(c.easterMonday), "Lundi de Pâques");
    EXPECT_EQ(publicHolidayName(c.ascension), "Ascension");
    EXPECT_EQ(publicHolidayName(c.whitMonday), "Lundi de Pentecôte");
    for (const year_month_day day : {c.easterMonday, c.ascension, c.whitMonday}) {
        EXPECT_EQ(publicHolidayName(sys_days{day} + days{1}), std::nullopt);
    }
}

// 2024 and 2027: Easter in March; 2038: the latest Easter of the century.
INSTANTIATE_TEST_SUITE_P(
    TenYears, EasterHolidaysTest,
    ::testing::Values(EasterYear{2019y / 4 / 22, 2019y / 5 / 30, 2019y / 6 / 10},
                      EasterYear{2020y / 4 / 13, 2020y / 5 / 21, 2020y / 6 / 1},
                      EasterYear{2021y / 4 / 5, 2021y / 5 / 13, 2021y / 5 / 24},
                      EasterYear{2022y / 4 / 18, 2022y / 5 / 26, 2022y / 6 / 6},
                      EasterYear{2023y / 4 / 10, 2023y / 5 / 18, 2023y / 5 / 29},
                      EasterYear{2024y / 4 / 1, 2024y / 5 / 9, 2024y / 5 / 20},
                      EasterYear{2025y / 4 / 21, 2025y / 5 / 29, 2025y / 6 / 9},
                      EasterYear{2026y / 4 / 6, 2026y / 5 / 14, 2026y / 5 / 25},
                      EasterYear{2027y / 3 / 29, 2027y / 5 / 6, 2027y / 5 / 17},
                      EasterYear{2038y / 4 / 26, 2038y / 6 / 3, 2038y / 6 / 14}));

TEST(FixedHolidaysTest, SameDateEveryYear) {
    EXPECT_EQ(publicHolidayName(2026y / 7 / 14), "Fête nationale");
    EXPECT_EQ(publicHolidayName(2031y / 11 / 11), "Armistice 1918");
    EXPECT_EQ(publicHolidayName(2026y / 12 / 24), std::nullopt);
    EXPECT_EQ(publicHolidayName(2027y / 3 / 28), std::nullopt);  // Easter Sunday
}

}  // namespace
}  // namespace vt
