// TClipList: the dirty rectangles of a screen base. A new rectangle that comes within 20
// pixels of an entry is merged with it (the union replaces the entry, and merges cascade).
#pragma once

#include <vector>

#include "graphics/dib_surface.h"

namespace mobu {

class TClipList {
public:
    static constexpr int32_t kMergeDistance = 20;

    void Add(const TRect& rect);
    void Clear();
    const std::vector<TRect>& Rects() const { return rects_; }
    bool Empty() const { return rects_.empty(); }
    bool Changed() const { return changed_; }
    void ClearChanged() { changed_ = false; }

private:
    std::vector<TRect> rects_;
    bool changed_ = false;
};

TRect UnionRects(const TRect& a, const TRect& b);

}  // namespace mobu
