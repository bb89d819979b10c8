// The code page 932 character rule every layer shares: which bytes start a two-byte
// character, how many bytes a character spans, and case folding that touches single-byte
// ASCII letters only, so a trail byte such as 0x5C ("\") or 0x61..0x7A is never taken for a
// character of its own. This is the one place that knows the lead-byte ranges.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mobu {

// 0x81-0x9F and 0xE0-0xFC: the first byte of a two-byte character.
constexpr bool IsLeadByte(uint8_t byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
constexpr bool IsLeadByte(char byte) { return IsLeadByte(static_cast<uint8_t>(byte)); }

// The same test under the name the rest of the player uses.
constexpr bool IsCp932LeadByte(uint8_t byte) { return IsLeadByte(byte); }
constexpr bool IsCp932LeadByte(char byte) { return IsLeadByte(byte); }

// Bytes the character starting at 0-based byte `index` spans, within the text: 2 after a
// lead byte, else 1, and 1 for a lead byte cut off at the end.
inline size_t Cp932CharLength(std::string_view text, size_t index)
{
    return IsLeadByte(text[index]) && index + 1 < text.size() ? 2 : 1;
}

// The character codes of a text: a single byte, or lead byte x 256 + trail byte (a lone
// lead byte at the end stands alone).
inline std::vector<uint16_t> Cp932CharCodes(std::string_view text)
{
    std::vector<uint16_t> codes;
    for (size_t i = 0; i < text.size();) {
        const size_t length = Cp932CharLength(text, i);
        uint16_t code = static_cast<uint8_t>(text[i]);
        if (length == 2) code = static_cast<uint16_t>(code << 8 | static_cast<uint8_t>(text[i + 1]));
        codes.push_back(code);
        i += length;
    }
    return codes;
}

// Bytes the character starting at 0-based byte `index` spans: 2 after a lead byte, else 1.
// The result may reach one past the end when the text ends in a lone lead byte.
inline size_t CharByteLength(std::string_view text, size_t index)
{
    return IsLeadByte(text[index]) ? 2 : 1;
}

// Lower-cases the ASCII letters of the text, leaving both bytes of every two-byte character
// alone (a trail byte may look like a letter). Names of variables, archive entries and tags
// compare this way.
std::string JLowerCase(std::string_view text);
void JLowerCaseInPlace(std::string& text);

// Equality without regard to ASCII letter case, aware of two-byte characters.
bool JSameText(std::string_view a, std::string_view b);

// Upper- and lower-cased copies, ASCII letters only, two-byte characters untouched.
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

inline std::string Cp932Lower(std::string_view text) { return JLowerCase(text); }

}  // namespace mobu
