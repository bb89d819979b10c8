// The fields of a table: TDBField (width, name, type) and TDBFieldList (the fields in order,
// each field's offset and the record width). Records are fixed-width byte blocks exactly as
// they are stored: int32 little-endian, 10-byte reals, a flag byte, and strings of declared
// length + 1 bytes holding a zero-terminated text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mobu {

// Field types as stored.
inline constexpr uint8_t kDBInteger = 1;
inline constexpr uint8_t kDBReal = 2;
inline constexpr uint8_t kDBFlag = 3;
inline constexpr uint8_t kDBString = 4;

// Largest record (sum of the field widths) and largest table (record width x records).
inline constexpr uint64_t kDBMaxRecordWidth = 1u << 20;
inline constexpr uint64_t kDBMaxTableBytes = 256u << 20;
// Declared length of a string field when none is given (TSV header, DBAddField).
inline constexpr int32_t kDBDefaultStringLength = 80;

struct TDBField {
    int32_t width = 0;
    std::string name;
    uint8_t type = 0;
    size_t offset = 0;  // bytes before the field in a record
};

// Width a field of that type and declared string length takes, or -1 when the type is not
// 1-4 or the length is negative or over the record cap.
int64_t DBFieldWidth(uint8_t type, int64_t length);

class TDBFieldList {
public:
    const std::vector<TDBField>& Fields() const { return fields_; }
    size_t Count() const { return fields_.size(); }
    size_t RecordWidth() const { return record_width_; }
    const TDBField& operator[](size_t index) const { return fields_[index]; }

    // Index of the field of that name (without regard to case), or -1.
    int IndexOf(std::string_view name) const;
    const TDBField* Find(std::string_view name) const;

    // Appends a field of a checked width; false for an empty or duplicate name, a width
    // that does not fit its type, or a record over the cap.
    bool Add(std::string_view name, uint8_t type, int32_t width);
    void Clear();

    // Same names (without case), types and widths in the same order.
    bool SameAs(const TDBFieldList& other) const;

private:
    std::vector<TDBField> fields_;
    size_t record_width_ = 0;
};

}  // namespace mobu
