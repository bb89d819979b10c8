// Parsing of number literals in expression text: decides whether an operand is an integer
// or a real constant when a compiled expression is written.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/real80.h"

namespace mobu {

// Leading blanks, optional sign, decimal digits or hexadecimal digits after "$", "x", "X" or
// "0x"/"0X". Anything after the digits, no digits at all, or a value outside 32 bits makes
// the text invalid (hexadecimal accepts up to $FFFFFFFF, read as its 32-bit pattern).
bool ParseLiteralInteger(std::string_view text, int32_t& value);

// Blanks around the number, optional sign, digits with "." as decimal point, optional
// exponent "E"/"e" with sign. A value beyond the real range is invalid.
bool ParseLiteralReal(std::string_view text, Real& value);

}  // namespace mobu
