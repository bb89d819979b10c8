#include "expr/literal_parse.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace mobu {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool ParseLiteralInteger(std::string_view text, int32_t& value)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    bool hex = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= text.size()) return false;
    uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        int digit = hex ? HexDigit(text[i]) : (IsDigit(text[i]) ? text[i] - '0' : -1);
        if (digit < 0) return false;
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
        if (magnitude > 0xFFFFFFFFull) return false;
    }
    if (!hex && magnitude > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return false;
    uint32_t bits = static_cast<uint32_t>(magnitude);
    if (negative) bits = 0u - bits;
    value = static_cast<int32_t>(bits);
    return true;
}

bool ParseLiteralReal(std::string_view text, Real& value)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    size_t end = text.size();
    while (end > i && text[end - 1] == ' ') --end;
    std::string clean;
    if (i < end && (text[i] == '+' || text[i] == '-')) clean.push_back(text[i++]);
    int mantissa_digits = 0;
    while (i < end && IsDigit(text[i])) {
        clean.push_back(text[i++]);
        ++mantissa_digits;
    }
    if (i < end && text[i] == '.') {
        clean.push_back(text[i++]);
        while (i < end && IsDigit(text[i])) {
            clean.push_back(text[i++]);
            ++mantissa_digits;
        }
    }
    if (mantissa_digits == 0) return false;
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        clean.push_back('e');
        ++i;
        if (i < end && (text[i] == '+' || text[i] == '-')) clean.push_back(text[i++]);
        int exponent_digits = 0;
        while (i < end && IsDigit(text[i])) {
            clean.push_back(text[i++]);
            ++exponent_digits;
        }
        if (exponent_digits == 0) return false;
    }
    if (i != end) return false;
    Real parsed = std::strtold(clean.c_str(), nullptr);
    if (!std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

}  // namespace mobu
