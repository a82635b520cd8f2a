#pragma once
// What the user's locale says about writing dates.

#include <cstdint>
#include <string_view>

namespace platform {

// The order of day, month and year in a written date.
constexpr int DATE_MONTH_DAY_YEAR = 0;
constexpr int DATE_DAY_MONTH_YEAR = 1;
constexpr int DATE_YEAR_MONTH_DAY = 2;

// The order a strftime date format ("%d/%m/%y", "%D", "%Y-%m-%d", ...) writes its fields
// in; month-day-year when it names no day or no month.
int DateOrderOf(std::string_view format);
// The order of the C library's LC_TIME locale as it stands (the program takes the user's
// at start-up).
int LocaleDateOrder();

struct CalendarDate {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
};

// The local calendar date of a time in seconds since 1970.
CalendarDate LocalDate(std::int64_t seconds);

}  // namespace platform
