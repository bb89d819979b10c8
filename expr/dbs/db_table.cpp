#include "expr/dbs/db_table.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "core/cp932_chars.h"

namespace mobu {

bool TDBCustomTable::Fits(size_t count) const
{
    if (count > static_cast<size_t>(std::numeric_limits<int32_t>::max())) return false;
    return static_cast<uint64_t>(count) * Width() <= kDBMaxTableBytes;
}

bool TDBCustomTable::SetRecNo(int32_t n)
{
    if (n >= RecordCount()) return false;
    current_ = n < 0 ? -1 : n;
    return true;
}

bool TDBCustomTable::Append()
{
    if (!Fits(count_ + 1)) return false;
    data_.resize(data_.size() + Width(), 0);
    ++count_;
    current_ = RecordCount() - 1;
    return true;
}

bool TDBCustomTable::AppendCopy(const uint8_t* record)
{
    if (!Fits(count_ + 1)) return false;
    // `record` may point into this table's own blocks, which the growth would move.
    const std::vector<uint8_t> copy(record, record + Width());
    data_.insert(data_.end(), copy.begin(), copy.end());
    ++count_;
    return true;
}

bool TDBCustomTable::DeleteCurrent()
{
    if (current_ < 0 || current_ >= RecordCount()) return false;
    const size_t at = static_cast<size_t>(current_) * Width();
    data_.erase(data_.begin() + static_cast<ptrdiff_t>(at), data_.begin() + static_cast<ptrdiff_t>(at + Width()));
    --count_;
    if (current_ >= RecordCount()) current_ = RecordCount() - 1;
    return true;
}

bool TDBCustomTable::First()
{
    if (count_ == 0) return false;
    current_ = 0;
    return true;
}

bool TDBCustomTable::Last()
{
    if (count_ == 0) return false;
    current_ = RecordCount() - 1;
    return true;
}

bool TDBCustomTable::Next()
{
    if (current_ < 0 || current_ + 1 >= RecordCount()) return false;
    ++current_;
    return true;
}

bool TDBCustomTable::Prior()
{
    if (current_ <= 0) return false;
    --current_;
    return true;
}

bool TDBCustomTable::AddField(std::string_view name, uint8_t type, int64_t length)
{
    const int64_t width = DBFieldWidth(type, length);
    if (width < 0) return false;
    const size_t old_width = Width();
    TDBFieldList grown = fields_;
    if (!grown.Add(name, type, static_cast<int32_t>(width))) return false;
    if (static_cast<uint64_t>(count_) * grown.RecordWidth() > kDBMaxTableBytes) return false;
    std::vector<uint8_t> data(count_ * grown.RecordWidth(), 0);
    for (size_t i = 0; i < count_; ++i) {
        if (old_width > 0) std::memcpy(data.data() + i * grown.RecordWidth(), data_.data() + i * old_width, old_width);
    }
    fields_ = std::move(grown);
    data_ = std::move(data);
    return true;
}

bool TDBCustomTable::GetInteger(std::string_view field, int32_t& value) const
{
    const TDBField* found = fields_.Find(field);
    if (!found || current_ < 0) return false;
    value = DBReadInteger(*found, Record(current_));
    return true;
}

bool TDBCustomTable::GetReal(std::string_view field, Real& value) const
{
    const TDBField* found = fields_.Find(field);
    if (!found || current_ < 0) return false;
    value = DBReadReal(*found, Record(current_));
    return true;
}

bool TDBCustomTable::GetFlag(std::string_view field, bool& value) const
{
    const TDBField* found = fields_.Find(field);
    if (!found || current_ < 0) return false;
    value = DBReadFlag(*found, Record(current_));
    return true;
}

bool TDBCustomTable::GetText(std::string_view field, std::string& value) const
{
    const TDBField* found = fields_.Find(field);
    if (!found || current_ < 0) return false;
    value = DBReadText(*found, Record(current_));
    return true;
}

bool TDBCustomTable::Set(std::string_view field, const TDBValue& value)
{
    const TDBField* found = fields_.Find(field);
    if (!found || current_ < 0) return false;
    DBWriteValue(*found, Record(current_), value);
    return true;
}

void TDBCustomTable::SetInOrder(const std::vector<TDBValue>& values)
{
    if (current_ < 0) return;
    const size_t count = std::min(values.size(), fields_.Count());
    for (size_t i = 0; i < count; ++i) DBWriteValue(fields_[i], Record(current_), values[i]);
}

namespace {

bool Matches(const TDBField& field, const uint8_t* record, const TDBValue& value, bool ignore_case, bool partial)
{
    // A real field holding NaN (only from foreign or damaged data) matches nothing.
    if (field.type == kDBReal && std::isnan(RealFromBytes(record + field.offset))) return false;
    switch (value.type) {
    case kDBInteger: return DBReadInteger(field, record) == value.integer;
    case kDBReal: return DBReadReal(field, record) == value.real;
    case kDBFlag: return DBReadFlag(field, record) == value.flag;
    default: break;
    }
    if (field.type == kDBString && !ignore_case) {
        // The stored text compared in place, without a copy.
        const std::string_view text = DBFieldText(field, record);
        return partial ? value.text.find(text) != std::string::npos : text == value.text;
    }
    const std::string text = DBReadText(field, record);
    if (partial) {
        if (ignore_case) return Cp932Upper(value.text).find(Cp932Upper(text)) != std::string::npos;
        return value.text.find(text) != std::string::npos;
    }
    if (ignore_case) return Cp932Upper(text) == Cp932Upper(value.text);
    return text == value.text;
}

}  // namespace

std::vector<int32_t> TDBCustomTable::Find(const std::vector<std::string>& names, const std::vector<TDBValue>& values,
                                          bool ignore_case, bool partial) const
{
    const size_t pairs = std::min(names.size(), values.size());
    std::vector<const TDBField*> keys;
    for (size_t i = 0; i < pairs; ++i) {
        const TDBField* field = fields_.Find(names[i]);
        // A name no field has ends the search before any record has matched.
        if (!field) return {};
        keys.push_back(field);
    }
    std::vector<int32_t> found;
    for (int32_t r = 0; r < RecordCount(); ++r) {
        const uint8_t* record = Record(r);
        bool all = true;
        for (size_t i = 0; i < pairs && all; ++i) all = Matches(*keys[i], record, values[i], ignore_case, partial);
        if (all) found.push_back(r);
    }
    return found;
}

namespace {

int32_t LoadInt32(const uint8_t* at)
{
    return static_cast<int32_t>(static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
                                static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24);
}

// A total order of reals: -inf < numbers < +inf < NaN, -0 = 0.
int CompareReal(Real a, Real b)
{
    const bool a_nan = std::isnan(a), b_nan = std::isnan(b);
    if (a_nan || b_nan) return static_cast<int>(a_nan) - static_cast<int>(b_nan);
    return a < b ? -1 : (b < a ? 1 : 0);
}

int CompareField(const TDBField& field, const uint8_t* a, const uint8_t* b)
{
    switch (field.type) {
    case kDBInteger: {
        const int32_t x = LoadInt32(a + field.offset), y = LoadInt32(b + field.offset);
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    case kDBReal: return CompareReal(RealFromBytes(a + field.offset), RealFromBytes(b + field.offset));
    case kDBFlag: return static_cast<int>(a[field.offset] != 0) - static_cast<int>(b[field.offset] != 0);
    default: {
        // Byte-wise, unsigned (string_view compares like memcmp).
        const int c = DBFieldText(field, a).compare(DBFieldText(field, b));
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    }
}

}  // namespace

void TDBCustomTable::Sort(const std::vector<std::string>& names, const std::vector<bool>& descending)
{
    struct Key {
        const TDBField* field;
        bool descending;
    };
    std::vector<Key> keys;
    const size_t pairs = std::min(names.size(), descending.size());
    for (size_t i = 0; i < pairs; ++i) {
        if (const TDBField* field = fields_.Find(names[i])) keys.push_back(Key{field, descending[i]});
    }
    if (keys.empty() || count_ < 2) return;
    std::vector<int32_t> order(count_);
    for (size_t i = 0; i < count_; ++i) order[i] = static_cast<int32_t>(i);
    const uint8_t* base = data_.data();
    const size_t width = Width();
    std::sort(order.begin(), order.end(), [&](int32_t x, int32_t y) {
        const uint8_t* a = base + static_cast<size_t>(x) * width;
        const uint8_t* b = base + static_cast<size_t>(y) * width;
        for (const Key& key : keys) {
            int c = CompareField(*key.field, a, b);
            if (key.descending) c = -c;
            if (c != 0) return c < 0;
        }
        return x < y;
    });
    std::vector<uint8_t> sorted(data_.size());
    for (size_t i = 0; i < count_; ++i) std::memcpy(sorted.data() + i * width, base + static_cast<size_t>(order[i]) * width, width);
    data_ = std::move(sorted);
}

void TDBCustomTable::ClearRecords()
{
    data_.clear();
    data_.shrink_to_fit();
    count_ = 0;
    current_ = -1;
}

void TDBCustomTable::ClearAll()
{
    ClearRecords();
    fields_.Clear();
}

void TDBCustomTable::CopyFieldsFrom(const TDBCustomTable& other)
{
    ClearAll();
    fields_ = other.fields_;
}

void TDBTable::SaveToStream(ByteWriter& out) const
{
    out.U8(0);
    out.String(name_);
    out.Flag(status_);
    out.I32(static_cast<int32_t>(fields_.Count()));
    for (const TDBField& field : fields_.Fields()) {
        out.I32(field.width);
        out.String(field.name);
        out.U8(field.type);
    }
    out.I32(RecordCount());
    if (!data_.empty()) out.Raw(data_.data(), data_.size());
    out.I32(current_);
}

void TDBTable::LoadFromStream(ByteReader& in)
{
    if (in.U8() != 0) in.Fail();
    std::string name = in.String();
    if (name.empty()) in.Fail();
    const bool status = in.Flag();
    // Each field takes at least 9 bytes: width, name length, type.
    const size_t field_count = in.Count(9);
    TDBFieldList fields;
    for (size_t i = 0; i < field_count; ++i) {
        const int32_t width = in.I32();
        std::string field_name = in.String();
        const uint8_t type = in.U8();
        if (!fields.Add(field_name, type, width)) in.Fail();
    }
    const size_t width = fields.RecordWidth();
    const int32_t stored_count = in.I32();
    if (stored_count < 0) in.Fail();
    const uint64_t bytes = static_cast<uint64_t>(stored_count) * width;
    if (bytes > kDBMaxTableBytes || bytes > in.Remaining()) in.Fail();
    std::vector<uint8_t> data(static_cast<size_t>(bytes));
    if (!data.empty()) in.Read(data.data(), data.size());
    int32_t current = in.I32();
    if (current < -1 || current >= stored_count) current = -1;

    name_ = std::move(name);
    status_ = status;
    fields_ = std::move(fields);
    data_ = std::move(data);
    count_ = static_cast<size_t>(stored_count);
    current_ = current;
}

}  // namespace mobu
