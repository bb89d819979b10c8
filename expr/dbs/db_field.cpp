#include "expr/dbs/db_field.h"

#include "core/cp932_chars.h"
#include "core/real80.h"

namespace mobu {

int64_t DBFieldWidth(uint8_t type, int64_t length)
{
    switch (type) {
    case kDBInteger: return 4;
    case kDBReal: return kRealStoredSize;
    case kDBFlag: return 1;
    case kDBString:
        if (length < 0 || static_cast<uint64_t>(length) + 1 > kDBMaxRecordWidth) return -1;
        return length + 1;
    default: return -1;
    }
}

int TDBFieldList::IndexOf(std::string_view name) const
{
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (JSameText(fields_[i].name, name)) return static_cast<int>(i);
    }
    return -1;
}

const TDBField* TDBFieldList::Find(std::string_view name) const
{
    const int index = IndexOf(name);
    return index < 0 ? nullptr : &fields_[static_cast<size_t>(index)];
}

bool TDBFieldList::Add(std::string_view name, uint8_t type, int32_t width)
{
    if (name.empty() || IndexOf(name) >= 0) return false;
    const bool fits = type == kDBString ? width >= 1 : width == DBFieldWidth(type, 0);
    if (!fits) return false;
    if (static_cast<uint64_t>(record_width_) + static_cast<uint64_t>(width) > kDBMaxRecordWidth) return false;
    fields_.push_back(TDBField{width, std::string(name), type, record_width_});
    record_width_ += static_cast<size_t>(width);
    return true;
}

void TDBFieldList::Clear()
{
    fields_.clear();
    record_width_ = 0;
}

bool TDBFieldList::SameAs(const TDBFieldList& other) const
{
    if (fields_.size() != other.fields_.size()) return false;
    for (size_t i = 0; i < fields_.size(); ++i) {
        const TDBField& a = fields_[i];
        const TDBField& b = other.fields_[i];
        if (a.type != b.type || a.width != b.width || !JSameText(a.name, b.name)) return false;
    }
    return true;
}

}  // namespace mobu
