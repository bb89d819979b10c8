// Built-in functions of values and their conversions.
#include <algorithm>

#include "core/mobu_error.h"
#include "expr/expr_messages.h"
#include "expr/param_conversion.h"
#include "expr/script_arith.h"
#include "expr/script_text.h"
#include "expr/sys_func_call.h"
#include "expr/sys_funcs.h"

namespace mobu::sys_funcs {
namespace {

// Largest digit count of IntToStr and IntToHex.
constexpr int32_t kMaxDigits = 1024;

int32_t Digits(int32_t digits)
{
    if (digits > kMaxDigits) throw EMobuError(expr_messages::SizeTooLarge());
    return std::max(digits, 0);
}

}  // namespace

void IntToStr(TSysFuncCall& c)
{
    int32_t digits = Digits(c.Has(1) ? c.Int(1) : 0);
    c.result.SetString(script_text::FormatDecimal(c.Int(0), digits));
}

void IntToHex(TSysFuncCall& c)
{
    int32_t digits = Digits(c.Int(1));
    c.result.SetString(script_text::FormatHex(c.Int(0), digits));
}

void Not(TSysFuncCall& c) { c.result.SetFlag(!c.Flag(0)); }
void Int(TSysFuncCall& c) { c.result.SetInteger(script_arith::TruncToInt(c.Float(0))); }
void Float(TSysFuncCall& c) { c.SetReal(c.Float(0)); }
void GetVarType(TSysFuncCall& c) { c.result.SetInteger(c.Arg(0).VarType()); }

void StrToIntDef(TSysFuncCall& c)
{
    int32_t value = 0;
    c.result.SetInteger(TryTextToInteger(c.Str(0), value) ? value : c.Int(1));
}

void StrToFloatDef(TSysFuncCall& c)
{
    Real value = 0;
    c.SetReal(TryTextToReal(c.Str(0), value) ? value : c.Float(1));
}

void Chr(TSysFuncCall& c) { c.result.SetString(std::string(1, static_cast<char>(c.Int(0) & 0xFF))); }

void Ord(TSysFuncCall& c)
{
    std::string s = c.Str(0);
    c.result.SetInteger(s.empty() ? 0 : static_cast<unsigned char>(s[0]));
}

void NothingThere(TSysFuncCall& c) { c.result.SetFlag(false); }

}  // namespace mobu::sys_funcs
