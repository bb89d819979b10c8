// Byte-level helpers for code page 932 text in the project code: which bytes start a
// double-byte character, and case folding that touches single-byte ASCII letters only, so
// a trail byte such as 0x5C ("\") or 0x61..0x7A is never taken for a character of its own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "expr/jconvert.h"

namespace mobu {

// IsCp932LeadByte and Cp932CharLength come from the character module.

inline std::string Cp932Upper(std::string_view text)
{
    std::string out(text);
    for (size_t i = 0; i < out.size();) {
        size_t length = Cp932CharLength(out, i);
        if (length == 1 && out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 'a' + 'A');
        i += length;
    }
    return out;
}

inline std::string Cp932Lower(std::string_view text)
{
    std::string out(text);
    for (size_t i = 0; i < out.size();) {
        size_t length = Cp932CharLength(out, i);
        if (length == 1 && out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] - 'A' + 'a');
        i += length;
    }
    return out;
}

}  // namespace mobu
