// Character-wise handling of code page 932 text: the walk over lead and trail bytes,
// character counts and positions, cuts, searches, trimming, the token cut, and the
// half-width <-> full-width conversion. Every other text routine of the player uses these;
// nothing else walks cp932 bytes by hand.
//
// Positions are 1-based. A character is one byte, or a lead byte together with the byte
// after it. Walks treat a lead byte in the last position as a whole character, but no
// routine ever reads or copies a byte past the end of the text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/cp932_chars.h"

namespace mobu {

// Number of characters.
int32_t JLength(std::string_view text);

// Byte position (1-based) of character n; n <= 1 gives 1; beyond the last character a
// position past the end.
int32_t CharToBytePos(std::string_view text, int32_t n);

// Character code of character n: the byte, or lead * 256 + trail (0 for a missing trail).
// Out of range positions give 0.
int32_t CharCodeAt(std::string_view text, int32_t n);

// Whether byte p (1-based) is the trail byte of a two-byte character. p outside the text
// fails with "Illegal Index".
bool IsTrailByte(std::string_view text, int32_t p);

// Characters max(from, 1) ... from + count - 1, at least one when max(from, 1) lies inside.
std::string JCopy(std::string_view text, int32_t from, int32_t count);

// Deletes count characters starting at character from (from < 1 counts as 1).
void JDelete(std::string& text, int32_t from, int32_t count);

// Inserts piece before character position (< 1 counts as 1; past the end appends).
void JInsert(std::string_view piece, std::string& text, int32_t position);

// Character position of the first occurrence of piece starting at a character start; 0 if none.
int32_t JPos(std::string_view piece, std::string_view text);

// Removes leading and trailing half-width (0x20) and full-width (0x81 0x40) spaces only.
std::string JTrim(std::string_view text);

// Cuts the first token off text: the bytes before the first delimiter byte found at a
// character start; text keeps the bytes after the delimiter. Every byte of `delimiters` is a
// delimiter on its own. No delimiter: the whole text is the token and text becomes "".
std::string CutToken(std::string& text, std::string_view delimiters);

// The same cut without changing the text: the token starting at 0-based byte `position`;
// `position` moves past the delimiter, or to the end of the text when there is none. Cutting
// a long text into all its tokens this way takes one pass instead of one copy per token.
// `position` at the end of the text gives an empty token (the text is used up).
std::string_view NextToken(std::string_view text, size_t& position, std::string_view delimiters);

// Half-width characters (0x20-0x7E, 0xA1-0xDF) to their full-width forms, combining voiced
// marks; other one-byte characters (control characters and the like) are dropped.
std::string HanToZen(std::string_view text);

// Full-width characters that have a half-width form to that form; every other two-byte
// character is dropped.
std::string ZenToHan(std::string_view text);

}  // namespace mobu
