#include "expr/clock_system_variables.h"

#include <chrono>

#include "core/globals.h"
#include "expr/date_serial.h"

namespace mobu {

TSystemValue TClockSystemVariables::Read(int index, int32_t element)
{
    switch (index) {
    case 14:  // @TickCount
        return GameClockMs;
    case 15: {  // @PCTickCount: milliseconds of a steady clock, wrapping like a 32-bit timer
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
        return static_cast<int32_t>(static_cast<uint32_t>(ms.count()));
    }
    case 17:
    case 18:
    case 19: {
        date_serial::TDateParts date = date_serial::DecodeDate(date_serial::Now());
        return index == 17 ? date.Year : index == 18 ? date.Month : date.Day;
    }
    case 20:  // @Week
        return date_serial::DayOfWeek(date_serial::Now());
    case 21:
    case 22:
    case 23: {
        date_serial::TTimeParts time = date_serial::DecodeTime(date_serial::Now());
        return index == 21 ? time.Hour : index == 22 ? time.Minute : time.Second;
    }
    default:
        return TBasicSystemVariables::Read(index, element);
    }
}

}  // namespace mobu
