// Conversions between the four kinds of script values: integer, real, flag and string.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/real80.h"

namespace mobu {

// Decimal text, "-" for negatives.
std::string IntegerToText(int32_t value);

// General format: at most 15 significant digits, trailing zeros and a needless point
// removed; fixed notation for 0 and for values with at most 15 digits before the point and
// a magnitude of at least 0.00001, otherwise mantissa "E" exponent (1E20, 1.5E-7).
std::string RealToText(Real value);

inline const char* FlagToText(bool value) { return value ? "TRUE" : "FALSE"; }

// Leading blanks, optional sign, decimal digits or hexadecimal digits after "$", "x", "X" or
// "0x". Trailing characters, an empty text or an overflow make the text invalid.
bool TryTextToInteger(std::string_view text, int32_t& value);
// Blanks around the number, optional sign, digits with "." and an optional exponent.
bool TryTextToReal(std::string_view text, Real& value);

inline int32_t TextToInteger(std::string_view text)
{
    int32_t value = 0;
    return TryTextToInteger(text, value) ? value : 0;
}
inline Real TextToReal(std::string_view text)
{
    Real value = 0;
    return TryTextToReal(text, value) ? value : 0;
}
// Exactly "TRUE" (case-sensitive).
inline bool TextToFlag(std::string_view text) { return text == "TRUE"; }

// Truncation toward zero. A value outside the 32-bit range (or not a number) fails with the
// invalid-operation error instead of giving an undefined result.
int32_t RealToInteger(Real value);

}  // namespace mobu
