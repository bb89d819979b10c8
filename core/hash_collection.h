// An ordered collection of named items with a hash index over the names. Names compare
// without regard to ASCII letter case (code page 932 aware). The collection owns its items.
// Each bucket chain runs from the newest item to the oldest, so a lookup of a name held by
// several items finds the one added (or renamed) last.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mobu {

class THashCollection;

class THashCollectionItem {
public:
    THashCollectionItem() = default;
    virtual ~THashCollectionItem() = default;
    THashCollectionItem(const THashCollectionItem&) = delete;
    THashCollectionItem& operator=(const THashCollectionItem&) = delete;

    const std::string& Name() const { return name_; }
    // Renames the item and re-links it at the head of its new bucket; the same name again
    // does nothing.
    virtual void SetName(const std::string& name);

    int HashIndex() const { return hash_index_; }
    int Index() const { return cached_index_; }
    THashCollection* Collection() const { return owner_; }
    THashCollectionItem* Prev() const { return prev_; }
    THashCollectionItem* Next() const { return next_; }

private:
    friend class THashCollection;
    THashCollection* owner_ = nullptr;
    std::string name_;
    int hash_index_ = 0;
    int cached_index_ = -1;
    THashCollectionItem* prev_ = nullptr;
    THashCollectionItem* next_ = nullptr;
};

class THashCollection {
public:
    static constexpr int kBucketCount = 256;

    THashCollection() { buckets_.fill(nullptr); }
    virtual ~THashCollection() = default;
    THashCollection(const THashCollection&) = delete;
    THashCollection& operator=(const THashCollection&) = delete;

    // Bucket of a name: on its lower-cased form s of length n, (n*16) for n < 2, else
    // (n*16 + s[n-2] + s[0]), modulo 256.
    static int HashOf(std::string_view name);

    int Count() const { return static_cast<int>(items_.size()); }
    THashCollectionItem* Item(int index) const { return items_[static_cast<size_t>(index)].get(); }

    // Appends the item (taking ownership) and links it under its current name.
    THashCollectionItem* Add(std::unique_ptr<THashCollectionItem> item);
    // Appends the item and names it.
    THashCollectionItem* Add(std::unique_ptr<THashCollectionItem> item, const std::string& name);

    // Position of the newest item with the name, or -1.
    virtual int IndexOf(std::string_view name) const;
    THashCollectionItem* Find(std::string_view name) const;

    // Frees the item at `index`; later items move down by one.
    void Delete(int index);
    // Removes the item at `index` without freeing it: the caller owns it (it belongs to no
    // collection any more); later items move down by one. Null for an index out of range.
    std::unique_ptr<THashCollectionItem> Take(int index);
    void Clear();

    THashCollectionItem* BucketHead(int bucket) const { return buckets_[static_cast<size_t>(bucket)]; }

private:
    friend class THashCollectionItem;
    void Link(THashCollectionItem* item);
    void Unlink(THashCollectionItem* item);

    std::vector<std::unique_ptr<THashCollectionItem>> items_;
    std::array<THashCollectionItem*, kBucketCount> buckets_;
};

// A hash collection whose items are all of type T.
template <typename T>
class THashCollectionOf : public THashCollection {
public:
    T* Item(int index) const { return static_cast<T*>(THashCollection::Item(index)); }
    T* Find(std::string_view name) const { return static_cast<T*>(THashCollection::Find(name)); }
    T* Add(std::unique_ptr<T> item, const std::string& name)
    {
        return static_cast<T*>(THashCollection::Add(std::move(item), name));
    }
};

}  // namespace mobu
