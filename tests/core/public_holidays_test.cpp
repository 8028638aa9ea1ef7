#include "core/public_holidays.h"

#include <gtest/gtest.h>

namespace vt {
namespace {

using namespace std::chrono;

struct EasterYear {
    int year;
    year_month_day easterMonday;
    year_month_day ascension;
    year_month_day whitMonday;
};

class EasterHolidaysTest : public ::testing::TestWithParam<EasterYear> {};

// The day after each is an ordinary day.
TEST_P(EasterHolidaysTest, FollowEasterOfTheYear) {
    const EasterYear& c = GetParam();
    EXPECT_EQ(publicHolidayName(c.easterMonday), "Lundi de Pâques") << c.year;
    EXPECT_EQ(publicHolidayName(c.ascension), "Ascension") << c.year;
    EXPECT_EQ(publicHolidayName(c.whitMonday), "Lundi de Pentecôte") << c.year;
    for (const year_month_day day : {c.easterMonday, c.ascension, c.whitMonday}) {
        EXPECT_EQ(publicHolidayName(sys_days{day} + days{1}), std::nullopt) << c.year;
    }
}

INSTANTIATE_TEST_SUITE_P(
    TenYears, EasterHolidaysTest,
    ::testing::Values(EasterYear{2019, 2019y / 4 / 22, 2019y / 5 / 30, 2019y / 6 / 10},
                      EasterYear{2020, 2020y / 4 / 13, 2020y / 5 / 21, 2020y / 6 / 1},
                      EasterYear{2021, 2021y / 4 / 5, 2021y / 5 / 13, 2021y / 5 / 24},
                      EasterYear{2022, 2022y / 4 / 18, 2022y / 5 / 26, 2022y / 6 / 6},
                      EasterYear{2023, 2023y / 4 / 10, 2023y / 5 / 18, 2023y / 5 / 29},
                      // Easter in March: its Monday falls in April.
                      EasterYear{2024, 2024y / 4 / 1, 2024y / 5 / 9, 2024y / 5 / 20},
                      EasterYear{2025, 2025y / 4 / 21, 2025y / 5 / 29, 2025y / 6 / 9},
                      EasterYear{2026, 2026y / 4 / 6, 2026y / 5 / 14, 2026y / 5 / 25},
                      EasterYear{2027, 2027y / 3 / 29, 2027y / 5 / 6, 2027y / 5 / 17},
                      // The latest Easter of the century.
                      EasterYear{2038, 2038y / 4 / 26, 2038y / 6 / 3, 2038y / 6 / 14}));

struct FixedDay {
    year_month_day day;
    std::optional<std::string> name;
};

class FixedHolidaysTest : public ::testing::TestWithParam<FixedDay> {};

TEST_P(FixedHolidaysTest, SameDateEveryYear) {
    EXPECT_EQ(publicHolidayName(GetParam().day), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Table, FixedHolidaysTest,
                         ::testing::Values(FixedDay{2027y / 1 / 1, "Jour de l'an"},
                                           FixedDay{2026y / 5 / 1, "Fête du Travail"},
                                           FixedDay{2026y / 5 / 8, "Victoire 1945"},
                                           FixedDay{2026y / 7 / 14, "Fête nationale"},
                                           FixedDay{2026y / 8 / 15, "Assomption"},
                                           FixedDay{2026y / 11 / 1, "Toussaint"},
                                           FixedDay{2026y / 11 / 11, "Armistice 1918"},
                                           FixedDay{2026y / 12 / 25, "Noël"},
                                           FixedDay{2026y / 12 / 24, std::nullopt},
                                           FixedDay{2027y / 3 / 28, std::nullopt},  // Easter Sunday
                                           FixedDay{2024y / 2 / 29, std::nullopt}));

}  // namespace
}  // namespace vt
