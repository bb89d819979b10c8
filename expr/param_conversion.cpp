#include "expr/param_conversion.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/mobu_error.h"
#include "expr/param_messages.h"

namespace mobu {

std::string IntegerToText(int32_t value) { return std::to_string(value); }

std::string RealToText(Real value)
{
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";

    // 15 significant digits, rounded: d.dddddddddddddde±x
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14Le", value);
    std::string text = buffer;
    const bool negative = text[0] == '-';
    if (negative) text.erase(0, 1);
    const size_t e_at = text.find('e');
    const int exponent = std::atoi(text.c_str() + e_at + 1);
    std::string digits = text.substr(0, 1) + text.substr(2, e_at - 2);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = negative ? "-" : "";
    const int before_point = exponent + 1;  // digits before the decimal point
    if (before_point > 15 || before_point < -4) {
        out += digits[0];
        if (digits.size() > 1) out += "." + digits.substr(1);
        out += 'E';
        if (exponent < 0) out += '-';
        out += std::to_string(std::abs(exponent));
    } else if (before_point <= 0) {
        out += "0." + std::string(static_cast<size_t>(-before_point), '0') + digits;
    } else if (digits.size() <= static_cast<size_t>(before_point)) {
        out += digits + std::string(static_cast<size_t>(before_point) - digits.size(), '0');
    } else {
        out += digits.substr(0, static_cast<size_t>(before_point)) + "." + digits.substr(static_cast<size_t>(before_point));
    }
    return out;
}

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool TryTextToInteger(std::string_view text, int32_t& value)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
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
        const int digit = hex ? HexDigit(text[i]) : (IsDigit(text[i]) ? text[i] - '0' : -1);
        if (digit < 0) return false;
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
        if (magnitude > 0xFFFFFFFFull) return false;
    }
    if (hex) {
        // Hexadecimal text gives the 32-bit pattern ($FFFFFFFF is -1).
        uint32_t bits = static_cast<uint32_t>(magnitude);
        if (negative) bits = 0u - bits;
        value = static_cast<int32_t>(bits);
        return true;
    }
    if (negative) {
        if (magnitude > 2147483648ull) return false;
        value = static_cast<int32_t>(-static_cast<int64_t>(magnitude));
    } else {
        if (magnitude > 2147483647ull) return false;
        value = static_cast<int32_t>(magnitude);
    }
    return true;
}

bool TryTextToReal(std::string_view text, Real& value)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    const size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        size_t exponent_digits = 0;
        while (i < text.size() && IsDigit(text[i])) ++i, ++exponent_digits;
        if (exponent_digits == 0) return false;
    }
    const size_t end = i;
    while (i < text.size() && text[i] == ' ') ++i;
    if (i != text.size()) return false;
    const std::string number(text.substr(start, end - start));
    const Real parsed = std::strtold(number.c_str(), nullptr);
    if (std::isinf(parsed)) return false;
    value = parsed;
    return true;
}

int32_t RealToInteger(Real value)
{
    if (!(value > -2147483649.0L && value < 2147483648.0L)) throw EMobuError(MsgInvalidFloatOperation());
    return static_cast<int32_t>(value);
}

}  // namespace mobu
