#include "expr/dbs/db_value.h"

#include <cmath>
#include <cstring>

#include "core/cp932_chars.h"
#include "expr/param_conversion.h"

namespace mobu {

TDBValue TDBValue::OfInteger(int32_t value)
{
    TDBValue out;
    out.type = kDBInteger;
    out.integer = value;
    return out;
}

TDBValue TDBValue::OfReal(Real value)
{
    TDBValue out;
    out.type = kDBReal;
    out.real = value;
    return out;
}

TDBValue TDBValue::OfFlag(bool value)
{
    TDBValue out;
    out.type = kDBFlag;
    out.flag = value;
    return out;
}

TDBValue TDBValue::OfText(std::string_view value)
{
    TDBValue out;
    out.type = kDBString;
    out.text = std::string(value);
    return out;
}

int32_t DBRoundToInteger(Real value)
{
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0L) return INT32_MAX;
    if (value <= -2147483648.0L) return INT32_MIN;
    Real whole = std::floor(value);
    const Real rest = value - whole;
    if (rest > 0.5L || (rest == 0.5L && std::fmod(whole, 2.0L) != 0)) whole += 1;
    return static_cast<int32_t>(whole);
}

std::string_view DBCutText(std::string_view text, size_t max_length)
{
    const size_t zero = text.find('\0');
    if (zero != std::string_view::npos) text = text.substr(0, zero);
    if (text.size() <= max_length) return text;
    size_t end = 0;
    while (end < text.size()) {
        const size_t length = IsLeadByte(text[end]) ? 2 : 1;
        if (end + length > max_length) break;
        end += length;
    }
    return text.substr(0, end);
}

namespace {

int32_t LoadInt32(const uint8_t* at)
{
    const uint32_t bits = static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
                          static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
    return static_cast<int32_t>(bits);
}

void StoreInt32(uint8_t* at, int32_t value)
{
    const uint32_t bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(bits >> (8 * i));
}

}  // namespace

std::string_view DBFieldText(const TDBField& field, const uint8_t* record)
{
    const char* start = reinterpret_cast<const char*>(record + field.offset);
    const size_t width = static_cast<size_t>(field.width);
    const void* zero = std::memchr(start, 0, width);
    return std::string_view(start, zero ? static_cast<size_t>(static_cast<const char*>(zero) - start) : width);
}

int32_t DBReadInteger(const TDBField& field, const uint8_t* record)
{
    const uint8_t* at = record + field.offset;
    switch (field.type) {
    case kDBInteger: return LoadInt32(at);
    case kDBReal: return DBRoundToInteger(RealFromBytes(at));
    case kDBFlag: return at[0] != 0 ? 1 : 0;
    default: return TextToInteger(DBFieldText(field, record));
    }
}

Real DBReadReal(const TDBField& field, const uint8_t* record)
{
    const uint8_t* at = record + field.offset;
    switch (field.type) {
    case kDBInteger: return LoadInt32(at);
    case kDBReal: return RealFromBytes(at);
    case kDBFlag: return at[0] != 0 ? 1 : 0;
    default: return TextToReal(DBFieldText(field, record));
    }
}

bool DBReadFlag(const TDBField& field, const uint8_t* record)
{
    const uint8_t* at = record + field.offset;
    switch (field.type) {
    case kDBInteger: return LoadInt32(at) != 0;
    case kDBReal: return RealFromBytes(at) != 0;
    case kDBFlag: return at[0] != 0;
    default: return TextToFlag(DBFieldText(field, record));
    }
}

std::string DBReadText(const TDBField& field, const uint8_t* record)
{
    const uint8_t* at = record + field.offset;
    switch (field.type) {
    case kDBInteger: return IntegerToText(LoadInt32(at));
    case kDBReal: return RealToText(RealFromBytes(at));
    case kDBFlag: return FlagToText(at[0] != 0);
    default: return std::string(DBFieldText(field, record));
    }
}

void DBWriteInteger(const TDBField& field, uint8_t* record, int32_t value)
{
    uint8_t* at = record + field.offset;
    switch (field.type) {
    case kDBInteger: StoreInt32(at, value); break;
    case kDBReal: RealToBytes(value, at); break;
    case kDBFlag: at[0] = value != 0 ? 1 : 0; break;
    default: DBWriteText(field, record, IntegerToText(value)); break;
    }
}

void DBWriteReal(const TDBField& field, uint8_t* record, Real value)
{
    uint8_t* at = record + field.offset;
    switch (field.type) {
    case kDBInteger: StoreInt32(at, DBRoundToInteger(value)); break;
    case kDBReal: RealToBytes(value, at); break;
    case kDBFlag: at[0] = value != 0 ? 1 : 0; break;
    default: DBWriteText(field, record, RealToText(value)); break;
    }
}

void DBWriteFlag(const TDBField& field, uint8_t* record, bool value)
{
    uint8_t* at = record + field.offset;
    switch (field.type) {
    case kDBInteger: StoreInt32(at, value ? 1 : 0); break;
    case kDBReal: RealToBytes(value ? 1 : 0, at); break;
    case kDBFlag: at[0] = value ? 1 : 0; break;
    default: DBWriteText(field, record, FlagToText(value)); break;
    }
}

void DBWriteText(const TDBField& field, uint8_t* record, std::string_view value)
{
    uint8_t* at = record + field.offset;
    switch (field.type) {
    case kDBInteger: StoreInt32(at, TextToInteger(value)); break;
    case kDBReal: RealToBytes(TextToReal(value), at); break;
    case kDBFlag: at[0] = TextToFlag(value) ? 1 : 0; break;
    default: {
        const std::string_view kept = DBCutText(value, static_cast<size_t>(field.width) - 1);
        std::memset(at, 0, static_cast<size_t>(field.width));
        if (!kept.empty()) std::memcpy(at, kept.data(), kept.size());
        break;
    }
    }
}

void DBWriteValue(const TDBField& field, uint8_t* record, const TDBValue& value)
{
    switch (value.type) {
    case kDBInteger: DBWriteInteger(field, record, value.integer); break;
    case kDBReal: DBWriteReal(field, record, value.real); break;
    case kDBFlag: DBWriteFlag(field, record, value.flag); break;
    default: DBWriteText(field, record, value.text); break;
    }
}

}  // namespace mobu
