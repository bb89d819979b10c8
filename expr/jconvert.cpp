#include "expr/jconvert.h"

#include <array>
#include <cstring>

#include "core/mobu_error.h"

namespace mobu {

namespace {

uint8_t ByteAt(std::string_view text, size_t index) { return static_cast<uint8_t>(text[index]); }

// 0-based byte index of character n (1-based), walking from the start; may pass the end.
size_t WalkTo(std::string_view text, int64_t n)
{
    size_t index = 0;
    for (int64_t step = 1; step < n && index < text.size(); ++step) index += CharByteLength(text, index);
    return index;
}

}  // namespace

int32_t JLength(std::string_view text)
{
    int32_t count = 0;
    for (size_t index = 0; index < text.size(); index += CharByteLength(text, index)) ++count;
    return count;
}

int32_t CharToBytePos(std::string_view text, int32_t n)
{
    return static_cast<int32_t>(WalkTo(text, n) + 1);
}

int32_t CharCodeAt(std::string_view text, int32_t n)
{
    size_t index = WalkTo(text, n);
    if (n < 1 || index >= text.size()) return 0;
    if (!IsLeadByte(text[index])) return ByteAt(text, index);
    int32_t trail = index + 1 < text.size() ? ByteAt(text, index + 1) : 0;
    return ByteAt(text, index) * 256 + trail;
}

bool IsTrailByte(std::string_view text, int32_t p)
{
    if (p < 1 || static_cast<size_t>(p) > text.size()) throw EMobuError("Illegal Index");
    size_t leads = 0;
    for (size_t index = static_cast<size_t>(p) - 1; index > 0 && IsLeadByte(text[index - 1]); --index) ++leads;
    return leads % 2 == 1;
}

std::string JCopy(std::string_view text, int32_t from, int32_t count)
{
    std::string out;
    if (text.empty()) return out;
    const int64_t stop = static_cast<int64_t>(from) + count;
    int64_t counter = 1;
    size_t index = 0;
    while (index < text.size()) {
        size_t length = CharByteLength(text, index);
        const bool copying = counter >= from;
        // A lone lead byte at the end is copied as the one byte that exists.
        if (copying) out.append(text.substr(index, length));
        index += length;
        ++counter;
        if (copying && counter >= stop) break;
    }
    return out;
}

void JDelete(std::string& text, int32_t from, int32_t count)
{
    if (text.empty()) return;
    if (from < 1) from = 1;
    size_t start = WalkTo(text, from);
    if (start >= text.size()) return;
    size_t stop = start;
    for (int32_t step = 0; step < count && stop < text.size(); ++step) stop += CharByteLength(text, stop);
    if (stop >= text.size()) {
        text.resize(start);
    } else {
        text.erase(start, stop - start);
    }
}

void JInsert(std::string_view piece, std::string& text, int32_t position)
{
    if (position < 1) position = 1;
    size_t start = WalkTo(text, position);
    if (start >= text.size()) {
        text.append(piece);
    } else {
        text.insert(start, piece);
    }
}

int32_t JPos(std::string_view piece, std::string_view text)
{
    const size_t l = text.size();
    const size_t m = piece.size();
    if (m == 0 || m > l) return 0;
    int32_t counter = 1;
    for (size_t index = 0; index + m <= l; index += CharByteLength(text, index), ++counter) {
        if (text[index] == piece[0] && std::memcmp(text.data() + index, piece.data(), m) == 0) return counter;
    }
    return 0;
}

std::string JTrim(std::string_view text)
{
    size_t begin = 0;
    while (begin < text.size()) {
        if (text[begin] == ' ') {
            begin += 1;
        } else if (begin + 1 < text.size() && ByteAt(text, begin) == 0x81 && ByteAt(text, begin + 1) == 0x40) {
            begin += 2;
        } else {
            break;
        }
    }
    std::string_view rest = text.substr(begin);
    while (!rest.empty()) {
        const int32_t last = static_cast<int32_t>(rest.size());
        if (IsTrailByte(rest, last)) {
            if (ByteAt(rest, rest.size() - 2) == 0x81 && ByteAt(rest, rest.size() - 1) == 0x40) {
                rest.remove_suffix(2);
                continue;
            }
            break;
        }
        if (rest.back() != ' ') break;
        rest.remove_suffix(1);
    }
    return std::string(rest);
}

std::string_view NextToken(std::string_view text, size_t& position, std::string_view delimiters)
{
    if (position >= text.size()) {
        position = text.size();
        return std::string_view();
    }
    const size_t start = position;
    if (!delimiters.empty()) {
        bool is_delimiter[256] = {};
        for (char d : delimiters) is_delimiter[static_cast<uint8_t>(d)] = true;
        // Only character starts are compared: walking from the start of the token keeps the
        // walk in step because a token always starts at a character start.
        for (size_t index = start; index < text.size(); index += CharByteLength(text, index)) {
            if (is_delimiter[ByteAt(text, index)]) {
                position = index + 1;
                return text.substr(start, index - start);
            }
        }
    }
    position = text.size();
    return text.substr(start);
}

std::string CutToken(std::string& text, std::string_view delimiters)
{
    size_t position = 0;
    std::string token(NextToken(text, position, delimiters));
    text.erase(0, position);
    return token;
}

namespace {

// Full-width codes of the one-byte characters 0x20-0x7E and 0xA1-0xDF (0 where none).
struct TWidthTables {
    std::array<uint16_t, 256> full_of{};
    // Half-width bytes of a two-byte code with lead 0x81-0x83: up to two bytes.
    struct THalf {
        uint8_t length = 0;
        uint8_t bytes[2] = {};
    };
    std::array<THalf, 3 * 256> half_of{};

    void SetHalf(uint16_t code, uint8_t first, uint8_t second = 0)
    {
        THalf& half = half_of[((code >> 8) - 0x81) * 256 + (code & 0xFF)];
        half.length = second ? 2 : 1;
        half.bytes[0] = first;
        half.bytes[1] = second;
    }

    TWidthTables()
    {
        static const struct {
            uint8_t byte;
            uint16_t code;
        } symbols[] = {
            {0x20, 0x8140}, {0x21, 0x8149}, {0x22, 0x8168}, {0x23, 0x8194}, {0x24, 0x8190}, {0x25, 0x8193},
            {0x26, 0x8195}, {0x27, 0x8166}, {0x28, 0x8169}, {0x29, 0x816A}, {0x2A, 0x8196}, {0x2B, 0x817B},
            {0x2C, 0x8143}, {0x2D, 0x817C}, {0x2E, 0x8144}, {0x2F, 0x815E}, {0x3A, 0x8146}, {0x3B, 0x8147},
            {0x3C, 0x8183}, {0x3D, 0x8181}, {0x3E, 0x8184}, {0x3F, 0x8148}, {0x40, 0x8197}, {0x5B, 0x816D},
            {0x5C, 0x818F}, {0x5D, 0x816E}, {0x5E, 0x814F}, {0x5F, 0x8151}, {0x60, 0x8165}, {0x7B, 0x816F},
            {0x7C, 0x8162}, {0x7D, 0x8170}, {0x7E, 0x8160}, {0xA1, 0x8142}, {0xA2, 0x8175}, {0xA3, 0x8176},
            {0xA4, 0x8141}, {0xA5, 0x8145}, {0xB0, 0x815B}, {0xDE, 0x814A}, {0xDF, 0x814B},
        };
        for (const auto& symbol : symbols) full_of[symbol.byte] = symbol.code;
        for (int i = 0; i < 10; ++i) full_of['0' + i] = static_cast<uint16_t>(0x824F + i);
        for (int i = 0; i < 26; ++i) {
            full_of['A' + i] = static_cast<uint16_t>(0x8260 + i);
            full_of['a' + i] = static_cast<uint16_t>(0x8281 + i);
        }
        // Half-width katakana 0xA6-0xAF and 0xB1-0xDD: the full-width katakana of the same sound.
        static const uint16_t katakana[] = {
            0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348, 0x8383, 0x8385, 0x8387, 0x8362,  // A6-AF
            0x815B,                                                                          // B0 (symbol row)
            0x8341, 0x8343, 0x8345, 0x8347, 0x8349,                                          // B1-B5 ｱ-ｵ
            0x834A, 0x834C, 0x834E, 0x8350, 0x8352,                                          // B6-BA ｶ-ｺ
            0x8354, 0x8356, 0x8358, 0x835A, 0x835C,                                          // BB-BF ｻ-ｿ
            0x835E, 0x8360, 0x8363, 0x8365, 0x8367,                                          // C0-C4 ﾀ-ﾄ
            0x8369, 0x836A, 0x836B, 0x836C, 0x836D,                                          // C5-C9 ﾅ-ﾉ
            0x836E, 0x8371, 0x8374, 0x8377, 0x837A,                                          // CA-CE ﾊ-ﾎ
            0x837D, 0x837E, 0x8380, 0x8381, 0x8382,                                          // CF-D3 ﾏ-ﾓ
            0x8384, 0x8386, 0x8388,                                                          // D4-D6 ﾔ-ﾖ
            0x8389, 0x838A, 0x838B, 0x838C, 0x838D,                                          // D7-DB ﾗ-ﾛ
            0x838F, 0x8393,                                                                  // DC-DD ﾜ ﾝ
        };
        for (size_t i = 0; i < std::size(katakana); ++i) full_of[0xA6 + i] = katakana[i];

        for (int byte = 0; byte < 256; ++byte) {
            if (full_of[byte]) SetHalf(full_of[byte], static_cast<uint8_t>(byte));
        }
        SetHalf(0x8167, 0x22);  // the opening double quote as well as the closing one
        for (int byte = 0xB6; byte <= 0xC4; ++byte) SetHalf(full_of[byte] + 1, static_cast<uint8_t>(byte), 0xDE);
        for (int byte = 0xCA; byte <= 0xCE; ++byte) {
            SetHalf(full_of[byte] + 1, static_cast<uint8_t>(byte), 0xDE);
            SetHalf(full_of[byte] + 2, static_cast<uint8_t>(byte), 0xDF);
        }
    }
};

const TWidthTables& WidthTables()
{
    static const TWidthTables tables;
    return tables;
}

void AppendCode(std::string& out, uint16_t code)
{
    out.push_back(static_cast<char>(code >> 8));
    out.push_back(static_cast<char>(code & 0xFF));
}

}  // namespace

std::string HanToZen(std::string_view text)
{
    const TWidthTables& tables = WidthTables();
    std::string out;
    out.reserve(text.size() * 2);
    size_t index = 0;
    while (index < text.size()) {
        const uint8_t byte = ByteAt(text, index);
        if (IsLeadByte(byte)) {
            out.append(text.substr(index, 2));
            index += 2;
            continue;
        }
        const uint16_t full = tables.full_of[byte];
        index += 1;
        if (!full) continue;
        if (index < text.size()) {
            const uint8_t mark = ByteAt(text, index);
            const bool voiceable = (byte >= 0xB6 && byte <= 0xC4) || (byte >= 0xCA && byte <= 0xCE);
            if (voiceable && mark == 0xDE) {
                AppendCode(out, full + 1);
                index += 1;
                continue;
            }
            if (byte >= 0xCA && byte <= 0xCE && mark == 0xDF) {
                AppendCode(out, full + 2);
                index += 1;
                continue;
            }
        }
        AppendCode(out, full);
    }
    return out;
}

std::string ZenToHan(std::string_view text)
{
    const TWidthTables& tables = WidthTables();
    std::string out;
    out.reserve(text.size());
    size_t index = 0;
    while (index < text.size()) {
        const uint8_t byte = ByteAt(text, index);
        if (!IsLeadByte(byte)) {
            out.push_back(static_cast<char>(byte));
            index += 1;
            continue;
        }
        if (index + 1 < text.size() && byte >= 0x81 && byte <= 0x83) {
            const auto& half = tables.half_of[(byte - 0x81) * 256 + ByteAt(text, index + 1)];
            out.append(reinterpret_cast<const char*>(half.bytes), half.length);
        }
        index += 2;
    }
    return out;
}

}  // namespace mobu
