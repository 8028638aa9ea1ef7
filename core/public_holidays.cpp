#include "core/public_holidays.h"

#include <array>

namespace vt {

namespace {

using namespace std::chrono;

struct FixedHoliday {
    unsigned month;
    unsigned day;
    const char* name;
};

constexpr std::array<FixedHoliday, 8> kFixedHolidays = {{
    {1, 1, "Jour de l'an"},
    {5, 1, "Fête du Travail"},
    {5, 8, "Victoire 1945"},
    {7, 14, "Fête nationale"},
    {8, 15, "Assomption"},
    {11, 1, "Toussaint"},
    {11, 11, "Armistice 1918"},
    {12, 25, "Noël"},
}};

struct EasterHoliday {
    int daysAfterEaster;
    const char* name;
};

constexpr std::array<EasterHoliday, 3> kEasterHolidays = {{
    {1, "Lundi de Pâques"},
    {39, "Ascension"},
    {50, "Lundi de Pentecôte"},
}};

}  // namespace

year_month_day easterSunday(year y) {
    // The anonymous Gregorian computus (Meeus, Jones, Butcher).
    const int a = static_cast<int>(y) % 19;
    const int b = static_cast<int>(y) / 100;
    const int c = static_cast<int>(y) % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int day = (h + l - 7 * m + 114) % 31 + 1;
    return year_month_day{y, std::chrono::month(static_cast<unsigned>(month)),
                          std::chrono::day(static_cast<unsigned>(day))};
}

std::optional<std::string> publicHolidayName(year_month_day date) {
    for (const FixedHoliday& fixed : kFixedHolidays) {
        if (static_cast<unsigned>(date.month()) == fixed.month &&
            static_cast<unsigned>(date.day()) == fixed.day) {
            return fixed.name;
        }
    }
    const sys_days easter{easterSunday(date.year())};
    for (const EasterHoliday& movable : kEasterHolidays) {
        if (sys_days{date} == easter + days{movable.daysAfterEaster}) {
            return movable.name;
        }
    }
    return std::nullopt;
}

}  // namespace vt
