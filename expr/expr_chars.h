// Character view of code-page-932 text for the expression compiler: each character becomes
// one code (a single byte b -> b; a double-byte character -> lead * 256 + trail; a lead byte
// cut off at the end -> 0x10000 + lead), so scanning never mistakes a trail byte for a
// quote, bracket, operator or blank.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "expr/jconvert.h"

namespace mobu {


std::u32string ToCharCodes(std::string_view bytes);
std::string FromCharCodes(std::u32string_view codes);

}  // namespace mobu
