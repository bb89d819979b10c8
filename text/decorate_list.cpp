#include "text/decorate_list.h"

#include <algorithm>
#include <functional>

namespace mobu {

bool TDecorate::SameFormat(const TDecorate& o) const
{
    return Color == o.Color && OutlineColor == o.OutlineColor && ShadowColor == o.ShadowColor &&
           FontSize == o.FontSize && Style == o.Style && FontName == o.FontName && NoBreak == o.NoBreak &&
           Ruby == o.Ruby && OutlineWidth == o.OutlineWidth && ShadowOffset == o.ShadowOffset;
}

size_t TDecorate::FormatHash() const
{
    size_t h = std::hash<std::string>()(FontName) * 31 + std::hash<std::string>()(Ruby);
    for (int64_t v : {int64_t{Color}, int64_t{OutlineColor}, int64_t{ShadowColor}, int64_t{FontSize},
                      int64_t{Style}, int64_t{NoBreak}, int64_t{OutlineWidth}, int64_t{ShadowOffset}})
        h = h * 1000003u ^ std::hash<int64_t>()(v);
    return h;
}

TDecorate* TDecorateList::Find(const TDecorate& wanted) const
{
    auto [first, last] = by_format_.equal_range(wanted.FormatHash());
    for (auto it = first; it != last; ++it)
        if (it->second->SameFormat(wanted)) return it->second;
    return nullptr;
}

void TDecorateList::Index(TDecorate* record) { by_format_.emplace(record->FormatHash(), record); }

void TDecorateList::Unindex(TDecorate* record)
{
    auto [first, last] = by_format_.equal_range(record->FormatHash());
    for (auto it = first; it != last; ++it)
        if (it->second == record) {
            by_format_.erase(it);
            return;
        }
}

void TDecorateList::Remove(TDecorate* record)
{
    Unindex(record);
    auto it = std::find_if(items_.begin(), items_.end(), [&](const auto& item) { return item.get() == record; });
    if (it != items_.end()) items_.erase(it);
}

void TDecorateList::Assign(TDecorate*& slot, const TDecorate& wanted)
{
    if (TDecorate* equal = Find(wanted)) {
        if (equal == slot) return;
        Release(slot);
        ++equal->RefCount;
        slot = equal;
        return;
    }
    if (slot != nullptr && slot->RefCount == 1) {
        Unindex(slot);
        const int32_t count = slot->RefCount;
        *slot = wanted;
        slot->RefCount = count;
        Index(slot);
        return;
    }
    Release(slot);
    auto record = std::make_unique<TDecorate>(wanted);
    record->RefCount = 1;
    slot = record.get();
    Index(slot);
    items_.push_back(std::move(record));
}

void TDecorateList::Release(TDecorate*& slot)
{
    if (slot == nullptr) return;
    if (--slot->RefCount <= 0) Remove(slot);
    slot = nullptr;
}

TDecorate* TDecorateList::AppendStored(const TDecorate& record)
{
    items_.push_back(std::make_unique<TDecorate>(record));
    TDecorate* added = items_.back().get();
    Index(added);
    return added;
}

int TDecorateList::IndexOf(const TDecorate* record) const
{
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == record) return static_cast<int>(i);
    return -1;
}

void TDecorateList::Clear()
{
    items_.clear();
    by_format_.clear();
}

}  // namespace mobu
