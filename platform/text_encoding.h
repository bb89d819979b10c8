// Code page 932 <-> UTF-8 at the edges of the player: window titles, message boxes, real
// file paths, tools and logs. Game strings stay cp932 everywhere else.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mobu {

// cp932 bytes to UTF-8. Bytes cp932 leaves undefined map to fixed code points so that no
// byte is ever lost: 0x80 -> U+0080, 0xA0 -> U+F8F0, 0xFD..0xFF -> U+F8F1..U+F8F3; an
// unmapped double-byte pair or a lead byte cut off at the end becomes U+FFFD per byte.
std::string Cp932ToUtf8(std::string_view cp932);

// UTF-8 to cp932. The fixed code points above map back to their bytes; a character cp932
// cannot hold becomes "?"; malformed UTF-8 bytes become "?".
std::string Utf8ToCp932(std::string_view utf8);

// UTF-8 to cp932 only when every character has a cp932 form (the text reads back the same);
// nothing otherwise.
std::optional<std::string> Utf8ToCp932Exact(std::string_view utf8);

// System text written in the source as UTF-8 (messages, captions), as the cp932 string the
// rest of the player handles.
inline std::string SysText(std::u8string_view utf8)
{
    return Utf8ToCp932(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

}  // namespace mobu
