// Dates and times of the script language: reals counting days since 1899-12-30, the time
// of day as the fraction.
#pragma once

#include <cstdint>

#include "core/real80.h"

namespace mobu::date_serial {

struct TDateParts {
    int32_t Year = 0, Month = 0, Day = 0;
};
struct TTimeParts {
    int32_t Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

// Fails for a date outside 0001-01-01 … 9999-12-31 or a month or day that does not exist.
Real EncodeDate(int32_t year, int32_t month, int32_t day);
// Fails unless hour < 24, minute < 60, second < 60 (none negative).
Real EncodeTime(int32_t hour, int32_t minute, int32_t second);
// The whole days of the value (truncated toward zero) as a calendar date; a value before
// 0001-01-01 gives 0, 0, 0; a value too large for the calendar fails.
TDateParts DecodeDate(Real value);
// The fraction of the value (its magnitude) as a time of day, rounded to the millisecond.
TTimeParts DecodeTime(Real value);
// 1 = Sunday … 7 = Saturday.
int32_t DayOfWeek(Real value);

// The current local date and time as a value.
Real Now();

}  // namespace mobu::date_serial
