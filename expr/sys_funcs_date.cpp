// Built-in functions of dates and times (day serials, as reals).
#include "expr/date_serial.h"
#include "expr/sys_func_call.h"
#include "expr/sys_funcs.h"
#include "platform/text_encoding.h"

namespace mobu::sys_funcs {

void EncodeDate(TSysFuncCall& c) { c.SetReal(date_serial::EncodeDate(c.Int(0), c.Int(1), c.Int(2))); }
void EncodeTime(TSysFuncCall& c) { c.SetReal(date_serial::EncodeTime(c.Int(0), c.Int(1), c.Int(2))); }

// DecodeDate and DecodeTime write the parts into their variable arguments.
void DecodeDate(TSysFuncCall& c)
{
    date_serial::TDateParts parts = date_serial::DecodeDate(c.Float(0));
    c.WriteBack(1, parts.Year);
    c.WriteBack(2, parts.Month);
    c.WriteBack(3, parts.Day);
}

void DecodeTime(TSysFuncCall& c)
{
    date_serial::TTimeParts parts = date_serial::DecodeTime(c.Float(0));
    c.WriteBack(1, parts.Hour);
    c.WriteBack(2, parts.Minute);
    c.WriteBack(3, parts.Second);
}

void GetYear(TSysFuncCall& c) { c.result.SetInteger(date_serial::DecodeDate(c.Float(0)).Year); }
void GetMonth(TSysFuncCall& c) { c.result.SetInteger(date_serial::DecodeDate(c.Float(0)).Month); }
void GetDay(TSysFuncCall& c) { c.result.SetInteger(date_serial::DecodeDate(c.Float(0)).Day); }
void GetHour(TSysFuncCall& c) { c.result.SetInteger(date_serial::DecodeTime(c.Float(0)).Hour); }
void GetMin(TSysFuncCall& c) { c.result.SetInteger(date_serial::DecodeTime(c.Float(0)).Minute); }
void GetSec(TSysFuncCall& c) { c.result.SetInteger(date_serial::DecodeTime(c.Float(0)).Second); }
void GetWeek(TSysFuncCall& c) { c.result.SetInteger(date_serial::DayOfWeek(c.Float(0))); }

void GetWeekStr(TSysFuncCall& c)
{
    static const char* const kNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    c.result.SetString(kNames[date_serial::DayOfWeek(c.Float(0)) - 1]);
}

void GetWeekJStr(TSysFuncCall& c)
{
    static const char8_t* const kNames[7] = {u8"日", u8"月", u8"火", u8"水", u8"木", u8"金", u8"土"};
    c.result.SetString(SysText(kNames[date_serial::DayOfWeek(c.Float(0)) - 1]));
}

}  // namespace mobu::sys_funcs
