// TDBCustomTable: the fields, the fixed-width records and the current record index of a
// table, with navigation, typed access by field name, matching, TSV loading and sorting.
// TDBTable adds the table's name and status and its stored record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "core/real80.h"
#include "expr/dbs/db_field.h"
#include "expr/dbs/db_value.h"

namespace mobu {

class TDBCustomTable {
public:
    virtual ~TDBCustomTable() = default;

    const TDBFieldList& Fields() const { return fields_; }
    int32_t RecordCount() const { return static_cast<int32_t>(count_); }
    int32_t RecNo() const { return current_; }
    // n < 0: no current record; n >= count: false and nothing changes.
    bool SetRecNo(int32_t n);

    // Appends a zero-filled record and makes it current; false when the table would pass
    // its size cap.
    bool Append();
    // Removes the current record; the record that moves into its place stays current, or the
    // new last one when it was the last. False without a current record.
    bool DeleteCurrent();
    bool First();
    bool Last();
    bool Next();
    bool Prior();

    // Adds a field (existing records grow by its width, zero bytes); false for an empty or
    // duplicate name, a type outside 1-4, a negative length or one over the cap.
    bool AddField(std::string_view name, uint8_t type, int64_t length);

    // The current record's field read or written as each kind; false without a current
    // record or such a field (the value is then left alone).
    bool GetInteger(std::string_view field, int32_t& value) const;
    bool GetReal(std::string_view field, Real& value) const;
    bool GetFlag(std::string_view field, bool& value) const;
    bool GetText(std::string_view field, std::string& value) const;
    bool Set(std::string_view field, const TDBValue& value);
    // Writes the values into the current record's fields in field order (extra ignored).
    void SetInOrder(const std::vector<TDBValue>& values);

    // Indices of the records whose fields match the pairs (names[i], values[i]) for i below
    // the shorter count; every record without pairs. A name no field has matches nothing.
    std::vector<int32_t> Find(const std::vector<std::string>& names, const std::vector<TDBValue>& values,
                              bool ignore_case, bool partial) const;

    // Clears the table and reads the TSV lines (header first); false when the header is bad.
    bool LoadTsv(const std::vector<std::string>& lines);

    // Sorts by the keys (names[i], descending[i]); unknown names are skipped. The current
    // index stays.
    void Sort(const std::vector<std::string>& names, const std::vector<bool>& descending);

    void ClearRecords();
    void ClearAll();

    // Record blocks.
    const uint8_t* Record(int32_t index) const { return data_.data() + static_cast<size_t>(index) * Width(); }
    uint8_t* Record(int32_t index) { return data_.data() + static_cast<size_t>(index) * Width(); }
    // Appends a copy of a block of this table's width.
    bool AppendCopy(const uint8_t* record);
    // Takes a copy of another table's fields (records cleared).
    void CopyFieldsFrom(const TDBCustomTable& other);

protected:
    size_t Width() const { return fields_.RecordWidth(); }
    bool Fits(size_t count) const;

    TDBFieldList fields_;
    std::vector<uint8_t> data_;
    size_t count_ = 0;
    int32_t current_ = -1;
};

class TDBTable : public TDBCustomTable {
public:
    TDBTable(std::string name, bool status) : name_(std::move(name)), status_(status) {}

    const std::string& Name() const { return name_; }
    bool Status() const { return status_; }
    void SetStatus(bool status) { status_ = status; }

    // The stored table record.
    void SaveToStream(ByteWriter& out) const;
    // Reads a table record; a damaged one fails through `in` (EMobuError).
    void LoadFromStream(ByteReader& in);

private:
    std::string name_;
    bool status_;
};

}  // namespace mobu
