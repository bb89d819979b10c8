// How an HTTP component's response reads as text (PR_TEXT): EUC-JP bytes turned into
// Shift_JIS, then split into lines and joined with the character 0x01.
#pragma once

#include <string>
#include <string_view>

namespace mobu {

// Byte by byte: 0 becomes a blank; 1..128 and 255 are copied; 0x8E copies the byte after it
// (half-width katakana); any other byte and the next form a JIS pair turned into Shift_JIS.
// A lead byte (or 0x8E) with nothing after it is dropped.
std::string EucJpToShiftJis(std::string_view euc);
// The lines of `text` (broken at CR LF, LF or CR; no empty line after a final break) joined
// with 0x01.
std::string JoinLines(std::string_view text);
// Both: what PR_TEXT reads of a response.
inline std::string HttpResponseText(std::string_view response) { return JoinLines(EucJpToShiftJis(response)); }

}  // namespace mobu
