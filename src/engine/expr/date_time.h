#pragma once

// Date-times as days since 1899-12-30 (the time of day is the fraction):
// calendar conversion, the date-time pattern interpreter and the readers
// behind STRTODATE and STRTOTIME.

#include <string>
#include <string_view>

namespace quor {

struct DateTimeParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    int dayOfWeek = 6;  // 0 Sunday
};

// False for dates outside 1-01-01 .. 9999-12-31.
bool encodeDate(int year, int month, int day, double& days);
double encodeTime(int hour, int minute, int second, int millisecond);
bool decodeDateTime(double days, DateTimeParts& parts);

// The platform's date-time pattern language: d dd ddd dddd ddddd dddddd,
// m mm mmm mmmm (minutes right after an hour), yy yyyy, h hh, n nn, s ss,
// z zzz, t tt, c, am/pm a/p ampm, "/" and ":" separators, quoted literals.
// Throws quor::Error for a date outside the calendar.
std::string formatDateTime(std::string_view pattern, double days);

// Text form: short date, then the long time when there is one; a pure time
// alone.
std::string dateTimeToText(double days);

// Readers in the short date order (day, month, year) and the time order;
// they throw the platform's "'<text>' is not a valid date" (time, date and
// time) errors.
double textToDate(std::string_view text);
double textToTime(std::string_view text);
double textToDateTime(std::string_view text);

}  // namespace quor
