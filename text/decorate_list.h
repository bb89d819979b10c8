// Shared formatting records of a text engine. Glyphs with equal formatting share one
// record; a record nobody uses any more is removed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace mobu {

struct TDecorate {
    int32_t RefCount = 0;
    int32_t Color = -1;         // -1: the engine's
    int32_t OutlineColor = -1;  // -1: the engine's
    int32_t ShadowColor = -1;   // -1: the engine's
    int32_t FontSize = 0;       // 0: the engine's
    uint8_t Style = 0;          // bold, italic, underline, strike-out
    std::string FontName;       // "": the engine's
    bool NoBreak = false;
    std::string Ruby;
    int32_t OutlineWidth = -1;  // -1: the engine's
    int32_t ShadowOffset = -1;  // -1: the engine's

    // Every field but the reference count equal, strings compared exactly.
    bool SameFormat(const TDecorate& other) const;
    size_t FormatHash() const;
};

class TDecorateList {
public:
    TDecorateList() = default;
    TDecorateList(const TDecorateList&) = delete;
    TDecorateList& operator=(const TDecorateList&) = delete;

    // Gives `slot` (a glyph's record, or nullptr) the formatting `wanted`: an equal record is
    // shared, else the glyph's own record changes in place when nobody else uses it, else a
    // new record is made. The record left drops a reference.
    void Assign(TDecorate*& slot, const TDecorate& wanted);
    // Adds a reference to a record (a copied glyph).
    static void AddRef(TDecorate* record)
    {
        if (record != nullptr) ++record->RefCount;
    }
    // Drops one reference; the record is removed at 0.
    void Release(TDecorate*& slot);

    // A record appended as stored (its reference count as read); for loading.
    TDecorate* AppendStored(const TDecorate& record);

    int Count() const { return static_cast<int>(items_.size()); }
    TDecorate* At(int index) { return items_[static_cast<size_t>(index)].get(); }
    const TDecorate* At(int index) const { return items_[static_cast<size_t>(index)].get(); }
    int IndexOf(const TDecorate* record) const;
    void Clear();

private:
    TDecorate* Find(const TDecorate& wanted) const;
    void Index(TDecorate* record);
    void Unindex(TDecorate* record);
    void Remove(TDecorate* record);

    std::vector<std::unique_ptr<TDecorate>> items_;
    std::unordered_multimap<size_t, TDecorate*> by_format_;
};

}  // namespace mobu
