// TDBValue: one script value handed to the table database (a value to write, a value to
// match, a default), with its kind; and the conversions between field types and kinds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/real80.h"
#include "expr/dbs/db_field.h"

namespace mobu {

struct TDBValue {
    uint8_t type = kDBInteger;  // kDBInteger, kDBReal, kDBFlag or kDBString
    int32_t integer = 0;
    Real real = 0;
    bool flag = false;
    std::string text;

    static TDBValue OfInteger(int32_t value);
    static TDBValue OfReal(Real value);
    static TDBValue OfFlag(bool value);
    static TDBValue OfText(std::string_view value);
};

// Nearest integer, ties to even, saturating at the 32-bit limits; NaN gives 0.
int32_t DBRoundToInteger(Real value);

// The longest start of `text` of at most `max_length` bytes that does not end inside a
// two-byte character (a character that does not fit whole is dropped), up to its first
// zero byte.
std::string_view DBCutText(std::string_view text, size_t max_length);

// Field of a record read as each kind.
int32_t DBReadInteger(const TDBField& field, const uint8_t* record);
Real DBReadReal(const TDBField& field, const uint8_t* record);
bool DBReadFlag(const TDBField& field, const uint8_t* record);
std::string DBReadText(const TDBField& field, const uint8_t* record);
// The text of a string field: up to its zero byte, never past the field's width.
std::string_view DBFieldText(const TDBField& field, const uint8_t* record);

// Field of a record written from each kind.
void DBWriteInteger(const TDBField& field, uint8_t* record, int32_t value);
void DBWriteReal(const TDBField& field, uint8_t* record, Real value);
void DBWriteFlag(const TDBField& field, uint8_t* record, bool value);
void DBWriteText(const TDBField& field, uint8_t* record, std::string_view value);
void DBWriteValue(const TDBField& field, uint8_t* record, const TDBValue& value);

}  // namespace mobu
