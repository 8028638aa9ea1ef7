#include "platform/date_time.h"

namespace vt::platform {

int isoWeekdayOf(int year, int month, int day) {
    // Days from civil (proleptic Gregorian); day 0 is 1970-01-01, a Thursday.
    const long long y = month <= 2 ? year - 1LL : year;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yearOfEra = y - era * 400;
    const int shiftedMonth = month > 2 ? month - 3 : month + 9;
    const long long dayOfYear = (153 * shiftedMonth + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const long long days = era * 146097 + dayOfEra - 719468;
    // 1970-01-01 is weekday 4; keep the remainder positive for dates before it.
    const long long weekdayFromMonday = ((days + 3) % 7 + 7) % 7;
    return static_cast<int>(weekdayFromMonday) + 1;
}

}  // namespace vt::platform
