#include "expr/date_serial.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "core/mobu_error.h"
#include "expr/expr_messages.h"

namespace mobu::date_serial {
namespace {

// Days from 0001-01-01 (day 1) to 1899-12-30.
constexpr int64_t kDateDelta = 693594;
constexpr int64_t kMsPerDay = 86400000;

[[noreturn]] void Fail() { throw EMobuError(expr_messages::ArithmeticError()); }

bool IsLeapYear(int64_t year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int64_t year, int month)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Whole days of the value plus kDateDelta: days counted from 0001-01-01 as day 1.
int64_t DayNumber(Real value)
{
    if (!std::isfinite(value) || std::fabs(value) > 1.0e9L) Fail();
    return static_cast<int64_t>(std::trunc(value)) + kDateDelta;
}

}  // namespace

Real EncodeDate(int32_t year, int32_t month, int32_t day)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) Fail();
    int64_t y = year - 1;
    int64_t days = y * 365 + y / 4 - y / 100 + y / 400 + day;
    for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
    return static_cast<Real>(days - kDateDelta);
}

Real EncodeTime(int32_t hour, int32_t minute, int32_t second)
{
    if (hour < 0 || hour >= 24 || minute < 0 || minute >= 60 || second < 0 || second >= 60) Fail();
    int64_t ms = (static_cast<int64_t>(hour) * 3600 + minute * 60 + second) * 1000;
    return static_cast<Real>(ms) / static_cast<Real>(kMsPerDay);
}

TDateParts DecodeDate(Real value)
{
    int64_t days = DayNumber(value);
    TDateParts parts;
    if (days <= 0) return parts;
    // Walk 400-, 100-, 4- and 1-year periods from 0001-01-01.
    int64_t t = days - 1;
    int64_t year = 1;
    year += (t / 146097) * 400;
    t %= 146097;
    int64_t centuries = t / 36524;
    if (centuries == 4) centuries = 3;
    year += centuries * 100;
    t -= centuries * 36524;
    year += (t / 1461) * 4;
    t %= 1461;
    int64_t years = t / 365;
    if (years == 4) years = 3;
    year += years;
    t -= years * 365;
    int month = 1;
    while (t >= DaysInMonth(year, month)) {
        t -= DaysInMonth(year, month);
        ++month;
    }
    parts.Year = static_cast<int32_t>(year);
    parts.Month = month;
    parts.Day = static_cast<int32_t>(t + 1);
    return parts;
}

TTimeParts DecodeTime(Real value)
{
    if (!std::isfinite(value)) Fail();
    Real fraction = std::fabs(value - std::trunc(value));
    int64_t ms = static_cast<int64_t>(std::nearbyint(fraction * kMsPerDay));
    TTimeParts parts;
    parts.Hour = static_cast<int32_t>(ms / 3600000);
    parts.Minute = static_cast<int32_t>(ms / 60000 % 60);
    parts.Second = static_cast<int32_t>(ms / 1000 % 60);
    parts.Millisecond = static_cast<int32_t>(ms % 1000);
    return parts;
}

int32_t DayOfWeek(Real value)
{
    int64_t days = DayNumber(value);
    int64_t rest = days % 7;
    if (rest < 0) rest += 7;
    return static_cast<int32_t>(rest + 1);
}

Real Now()
{
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    int ms = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    Real date = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    Real time = (static_cast<Real>(local.tm_hour) * 3600000 + local.tm_min * 60000 + std::min(local.tm_sec, 59) * 1000 + ms) / kMsPerDay;
    return date + time;
}

}  // namespace mobu::date_serial
