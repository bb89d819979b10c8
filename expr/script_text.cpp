#include "expr/script_text.h"

#include <algorithm>
#include <cstdio>

#include "core/mobu_error.h"
#include "expr/expr_messages.h"
#include "expr/jconvert.h"

namespace mobu::script_text {
namespace {

char FoldLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char FoldUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Changes the ASCII letters found at character starts.
template <typename Fold>
std::string FoldLetters(std::string_view text, Fold fold)
{
    std::string out(text);
    for (size_t i = 0; i < out.size(); i += IsLeadByte(out[i]) ? 2 : 1) out[i] = fold(out[i]);
    return out;
}

// 0-based index of the last byte at a character start that is one of `delimiters`, or -1.
ptrdiff_t LastDelimiter(std::string_view delimiters, std::string_view text)
{
    ptrdiff_t found = -1;
    for (size_t i = 0; i < text.size(); i += IsLeadByte(text[i]) ? 2 : 1) {
        if (!IsLeadByte(text[i]) && delimiters.find(text[i]) != std::string_view::npos) found = static_cast<ptrdiff_t>(i);
    }
    return found;
}

// Whether the 0-based byte is the first byte of a one-byte character.
bool IsSingleByteChar(std::string_view text, size_t index)
{
    for (size_t i = 0; i < text.size(); i += IsLeadByte(text[i]) ? 2 : 1) {
        if (i == index) return !IsLeadByte(text[i]);
        if (i > index) return false;
    }
    return false;
}

int32_t Sign(int value) { return value < 0 ? -1 : value > 0 ? 1 : 0; }

}  // namespace

std::string FormatDecimal(int32_t value, int32_t digits)
{
    std::string out = std::to_string(value < 0 ? -static_cast<int64_t>(value) : static_cast<int64_t>(value));
    if (static_cast<int32_t>(out.size()) < digits) out.insert(0, static_cast<size_t>(digits) - out.size(), '0');
    return value < 0 ? "-" + out : out;
}

std::string FormatHex(int32_t value, int32_t digits)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%X", static_cast<uint32_t>(value));
    std::string out = buffer;
    if (static_cast<int32_t>(out.size()) < digits) out.insert(0, static_cast<size_t>(digits) - out.size(), '0');
    return out;
}

std::string Copy(std::string_view text, int32_t from, int32_t count)
{
    int64_t start = std::max<int64_t>(from, 1) - 1;
    if (start >= static_cast<int64_t>(text.size()) || count <= 0) return std::string();
    return std::string(text.substr(static_cast<size_t>(start), static_cast<size_t>(count)));
}

void Delete(std::string& text, int32_t from, int32_t count)
{
    if (from < 1 || from > static_cast<int64_t>(text.size()) || count <= 0) return;
    text.erase(static_cast<size_t>(from - 1), static_cast<size_t>(count));
}

void Insert(std::string_view piece, std::string& text, int32_t position)
{
    int64_t at = std::clamp<int64_t>(position, 1, static_cast<int64_t>(text.size()) + 1) - 1;
    text.insert(static_cast<size_t>(at), piece);
}

int32_t Pos(std::string_view piece, std::string_view text)
{
    if (piece.empty()) return 0;
    size_t found = text.find(piece);
    return found == std::string_view::npos ? 0 : static_cast<int32_t>(found + 1);
}

std::string Trim(std::string_view text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 0x20) ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 0x20) --end;
    return std::string(text.substr(begin, end - begin));
}

int32_t CompareStr(std::string_view a, std::string_view b) { return Sign(a.compare(b)); }

int32_t CompareText(std::string_view a, std::string_view b)
{
    return Sign(std::string_view(LowerCase(a)).compare(LowerCase(b)));
}

int32_t CompareLocale(std::string_view a, std::string_view b)
{
    int32_t folded = CompareText(a, b);
    if (folded != 0) return folded;
    // Same letters: lower case sorts first, so invert the byte order of the letters.
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        if (a[i] != b[i]) {
            bool a_lower = a[i] >= 'a' && a[i] <= 'z';
            bool b_lower = b[i] >= 'a' && b[i] <= 'z';
            if (a_lower != b_lower) return a_lower ? -1 : 1;
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]) ? -1 : 1;
        }
    }
    return Sign(static_cast<int>(a.size()) - static_cast<int>(b.size()));
}

std::string LowerCase(std::string_view text) { return FoldLetters(text, FoldLower); }
std::string UpperCase(std::string_view text) { return FoldLetters(text, FoldUpper); }

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t start = 0, i = 0;
    while (i < text.size()) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            i += text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::vector<std::string> SplitByDelimiters(std::string_view text, std::string_view delimiters)
{
    std::vector<std::string> pieces;
    std::string rest(text);
    while (!rest.empty()) pieces.push_back(CutToken(rest, delimiters));
    return pieces;
}

std::string FixStr(std::string_view text)
{
    size_t i = 0;
    while (i < text.size()) {
        if (IsLeadByte(text[i])) {
            if (i + 1 >= text.size()) return std::string(text.substr(0, i));
            i += 2;
        } else {
            ++i;
        }
    }
    return std::string(text);
}

std::string ExtractFilePath(std::string_view path)
{
    ptrdiff_t at = LastDelimiter("\\:", path);
    return std::string(path.substr(0, static_cast<size_t>(at + 1)));
}

std::string ExtractFileName(std::string_view path)
{
    ptrdiff_t at = LastDelimiter("\\:", path);
    return std::string(path.substr(static_cast<size_t>(at + 1)));
}

std::string ExtractFileExt(std::string_view path)
{
    ptrdiff_t at = LastDelimiter(".\\:", path);
    if (at < 0 || path[static_cast<size_t>(at)] != '.') return std::string();
    return std::string(path.substr(static_cast<size_t>(at)));
}

std::string ChangeFileExt(std::string_view path, std::string_view extension)
{
    ptrdiff_t at = LastDelimiter(".\\:", path);
    size_t keep = at < 0 || path[static_cast<size_t>(at)] != '.' ? path.size() : static_cast<size_t>(at);
    return std::string(path.substr(0, keep)) + std::string(extension);
}

bool IsPathDelimiter(std::string_view text, int32_t index)
{
    if (index < 1 || index > static_cast<int64_t>(text.size())) return false;
    size_t at = static_cast<size_t>(index - 1);
    return text[at] == '\\' && IsSingleByteChar(text, at);
}

std::string AddBackSlash(std::string_view path)
{
    if (IsPathDelimiter(path, static_cast<int32_t>(std::min<size_t>(path.size(), INT32_MAX)))) return std::string(path);
    return std::string(path) + "\\";
}

bool IsDelimiter(std::string_view delimiters, std::string_view text, int32_t index)
{
    if (index < 1 || index > static_cast<int64_t>(text.size())) return false;
    size_t at = static_cast<size_t>(index - 1);
    return IsSingleByteChar(text, at) && delimiters.find(text[at]) != std::string_view::npos;
}

std::string StringReplace(std::string_view text, std::string_view old_piece, std::string_view new_piece, bool all,
                          bool ignore_case, size_t max_size)
{
    if (old_piece.empty()) return std::string(text);
    std::string folded_text = ignore_case ? LowerCase(text) : std::string(text);
    std::string folded_old = ignore_case ? LowerCase(old_piece) : std::string(old_piece);
    std::string out;
    size_t i = 0;
    bool replaced = false;
    while (i < text.size()) {
        if ((!replaced || all) && folded_text.compare(i, folded_old.size(), folded_old) == 0) {
            out.append(new_piece);
            i += old_piece.size();
            replaced = true;
        } else {
            size_t step = IsLeadByte(text[i]) ? 2 : 1;
            out.append(text.substr(i, step));
            i += step;
        }
        if (out.size() > max_size) throw EMobuError(expr_messages::SizeTooLarge());
    }
    return out;
}

}  // namespace mobu::script_text
