// The byte-wise text functions of the script language (the character-wise "J" ones live in
// jconvert). Positions are 1-based; every routine that looks at characters steps over the
// trail bytes of two-byte characters, so a trail byte is never taken for a letter, a
// backslash or a delimiter.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mobu::script_text {

// Decimal with at least `digits` digits (leading zeros, sign before them): "%.*d".
std::string FormatDecimal(int32_t value, int32_t digits);
// Upper-case hexadecimal of the 32-bit pattern with at least `digits` digits.
std::string FormatHex(int32_t value, int32_t digits);

// Bytes from..from+count-1 (from below 1 counts as 1), cut at the end; count <= 0 gives "".
std::string Copy(std::string_view text, int32_t from, int32_t count);
// Removes count bytes from `from` when from lies within the text and count > 0.
void Delete(std::string& text, int32_t from, int32_t count);
// Inserts before byte `position` (clamped to 1 … length + 1).
void Insert(std::string_view piece, std::string& text, int32_t position);
// Byte position of the first occurrence, 0 when absent or when the piece is empty.
int32_t Pos(std::string_view piece, std::string_view text);
// Leading and trailing blanks and control characters removed.
std::string Trim(std::string_view text);

// -1, 0 or 1 by unsigned bytes.
int32_t CompareStr(std::string_view a, std::string_view b);
// -1, 0 or 1 ignoring the case of ASCII letters.
int32_t CompareText(std::string_view a, std::string_view b);
// Order of the user locale's case-sensitive comparison: letters compare without regard to
// case first, and only equal texts order lower case before upper case.
int32_t CompareLocale(std::string_view a, std::string_view b);

std::string LowerCase(std::string_view text);
std::string UpperCase(std::string_view text);

// Lines ending at CR LF, CR or LF; a break at the very end adds no empty line.
std::vector<std::string> SplitLines(std::string_view text);
// Pieces cut with the token cut until nothing remains (every byte of `delimiters` delimits).
std::vector<std::string> SplitByDelimiters(std::string_view text, std::string_view delimiters);
// Without a trailing lead byte of an incomplete two-byte character.
std::string FixStr(std::string_view text);

std::string ExtractFilePath(std::string_view path);
std::string ExtractFileName(std::string_view path);
std::string ExtractFileExt(std::string_view path);
std::string ChangeFileExt(std::string_view path, std::string_view extension);
bool IsPathDelimiter(std::string_view text, int32_t index);
std::string AddBackSlash(std::string_view path);
// Byte `index` is a one-byte character listed in `delimiters`.
bool IsDelimiter(std::string_view delimiters, std::string_view text, int32_t index);

// Replaces the first (or every) occurrence found at a character start; fails when the
// result would exceed `max_size` bytes.
std::string StringReplace(std::string_view text, std::string_view old_piece, std::string_view new_piece, bool all,
                          bool ignore_case, size_t max_size);

}  // namespace mobu::script_text
