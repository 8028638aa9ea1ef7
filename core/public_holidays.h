#pragma once

// The French public holidays of any year: the fixed ones and the three that follow Easter.

#include <chrono>
#include <optional>
#include <string>

namespace vt {

// Easter Sunday of a year of the Gregorian calendar.
std::chrono::year_month_day easterSunday(std::chrono::year year);

// The name of the public holiday on that day ("Lundi de Pâques", "Fête nationale"), or
// nothing on an ordinary day.
std::optional<std::string> publicHolidayName(std::chrono::year_month_day day);

}  // namespace vt
