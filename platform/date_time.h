#pragma once

namespace vt::platform {

// A local date and time as the clock of the machine gives it.
struct LocalDateTime {
    int year = 2000;
    int month = 1;  // 1 to 12
    int day = 1;    // 1 to 31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    int isoWeekday = 6;  // Monday 1 ... Sunday 7

    // Milliseconds since midnight: the date plays no part in time-of-day comparisons.
    long long millisecondsOfDay() const {
        return ((hour * 60LL + minute) * 60LL + second) * 1000LL + millisecond;
    }
};

// Weekday (Monday 1 ... Sunday 7) of a date of the Gregorian calendar.
int isoWeekdayOf(int year, int month, int day);

}  // namespace vt::platform
