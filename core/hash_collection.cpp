#include "core/hash_collection.h"

#include "core/name_case.h"

namespace mobu {

void THashCollectionItem::SetName(const std::string& name)
{
    if (name == name_ && owner_ != nullptr) return;
    if (owner_ != nullptr) owner_->Unlink(this);
    name_ = name;
    if (owner_ != nullptr) owner_->Link(this);
}

int THashCollection::HashOf(std::string_view name)
{
    std::string lower = LowerCp932Name(name);
    size_t n = lower.size();
    unsigned hash = static_cast<unsigned>(n * 16);
    if (n >= 2) hash += static_cast<unsigned char>(lower[n - 2]) + static_cast<unsigned char>(lower[0]);
    return static_cast<int>(hash % kBucketCount);
}

THashCollectionItem* THashCollection::Add(std::unique_ptr<THashCollectionItem> item)
{
    THashCollectionItem* raw = item.get();
    raw->owner_ = this;
    raw->cached_index_ = Count();
    items_.push_back(std::move(item));
    Link(raw);
    return raw;
}

THashCollectionItem* THashCollection::Add(std::unique_ptr<THashCollectionItem> item, const std::string& name)
{
    item->name_ = name;
    return Add(std::move(item));
}

int THashCollection::IndexOf(std::string_view name) const
{
    for (THashCollectionItem* item = buckets_[static_cast<size_t>(HashOf(name))]; item != nullptr; item = item->next_) {
        if (SameCp932Name(item->name_, name)) return item->cached_index_;
    }
    return -1;
}

THashCollectionItem* THashCollection::Find(std::string_view name) const
{
    int index = IndexOf(name);
    return index < 0 ? nullptr : Item(index);
}

void THashCollection::Delete(int index)
{
    if (index < 0 || index >= Count()) return;
    Unlink(Item(index));
    items_.erase(items_.begin() + index);
    for (int i = index; i < Count(); ++i) items_[static_cast<size_t>(i)]->cached_index_ = i;
}

std::unique_ptr<THashCollectionItem> THashCollection::Take(int index)
{
    if (index < 0 || index >= Count()) return nullptr;
    Unlink(Item(index));
    std::unique_ptr<THashCollectionItem> item = std::move(items_[static_cast<size_t>(index)]);
    items_.erase(items_.begin() + index);
    for (int i = index; i < Count(); ++i) items_[static_cast<size_t>(i)]->cached_index_ = i;
    item->owner_ = nullptr;
    item->cached_index_ = -1;
    return item;
}

void THashCollection::Clear()
{
    items_.clear();
    buckets_.fill(nullptr);
}

void THashCollection::Link(THashCollectionItem* item)
{
    item->hash_index_ = HashOf(item->name_);
    THashCollectionItem*& head = buckets_[static_cast<size_t>(item->hash_index_)];
    item->prev_ = nullptr;
    item->next_ = head;
    if (head != nullptr) head->prev_ = item;
    head = item;
}

void THashCollection::Unlink(THashCollectionItem* item)
{
    if (item->prev_ != nullptr) {
        item->prev_->next_ = item->next_;
    } else {
        buckets_[static_cast<size_t>(item->hash_index_)] = item->next_;
    }
    if (item->next_ != nullptr) item->next_->prev_ = item->prev_;
    item->prev_ = item->next_ = nullptr;
}

}  // namespace mobu
