// Case-insensitive handling of code page 932 names (variables, archive entries, tags).
// Only the ASCII letters A-Z fold; the walk steps over double-byte characters so that a
// trail byte which happens to look like a letter or a backslash is never touched.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mobu {

// True for the bytes that start a double-byte character in code page 932.
inline bool IsCp932LeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Length in bytes of the character starting at `position` (1 or 2; 1 for a lead byte cut
// off at the end).
inline size_t Cp932CharLength(std::string_view text, size_t position)
{
    if (IsCp932LeadByte(static_cast<unsigned char>(text[position])) && position + 1 < text.size()) return 2;
    return 1;
}

// The name with A-Z lowered, trail bytes untouched.
inline std::string LowerCp932Name(std::string_view name)
{
    std::string out(name);
    for (size_t i = 0; i < out.size();) {
        size_t length = Cp932CharLength(out, i);
        if (length == 1 && out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] - 'A' + 'a');
        i += length;
    }
    return out;
}

// Compares two names without regard to ASCII letter case.
inline bool SameCp932Name(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size();) {
        size_t length = Cp932CharLength(a, i);
        if (length == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
        } else {
            char x = a[i], y = b[i];
            if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
            if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
            if (x != y) return false;
        }
        i += length;
    }
    return true;
}

}  // namespace mobu
