// Byte-level helpers for code page 932 text in the project code: which bytes start a
// double-byte character, and case folding that touches single-byte ASCII letters only, so
// a trail byte such as 0x5C ("\") or 0x61..0x7A is never taken for a character of its own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mobu {

inline bool IsCp932LeadByte(char byte)
{
    auto value = static_cast<uint8_t>(byte);
    return (value >= 0x81 && value <= 0x9F) || (value >= 0xE0 && value <= 0xFC);
}

// Length in bytes of the character starting at `index` (1 or 2; 1 for a lead byte cut off
// at the end of the text).
inline size_t Cp932CharLength(std::string_view text, size_t index)
{
    return IsCp932LeadByte(text[index]) && index + 1 < text.size() ? 2 : 1;
}

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
