#include "components/clip_list.h"

#include <algorithm>

namespace mobu {

TRect UnionRects(const TRect& a, const TRect& b)
{
    return TRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                 std::max(a.Bottom, b.Bottom)};
}

void TClipList::Add(const TRect& rect)
{
    if (rect.IsEmpty()) return;
    TRect pending = rect;
    for (;;) {
        auto near = std::find_if(rects_.begin(), rects_.end(), [&](const TRect& entry) {
            return int64_t{pending.Left} <= int64_t{entry.Right} + kMergeDistance &&
                   int64_t{pending.Top} <= int64_t{entry.Bottom} + kMergeDistance &&
                   int64_t{pending.Right} >= int64_t{entry.Left} - kMergeDistance &&
                   int64_t{pending.Bottom} >= int64_t{entry.Top} - kMergeDistance;
        });
        if (near == rects_.end()) break;
        if (near->Left <= pending.Left && near->Top <= pending.Top && near->Right >= pending.Right &&
            near->Bottom >= pending.Bottom)
            return;
        pending = UnionRects(*near, pending);
        rects_.erase(near);
        changed_ = true;
    }
    rects_.push_back(pending);
    changed_ = true;
}

void TClipList::Clear()
{
    if (!rects_.empty()) changed_ = true;
    rects_.clear();
}

}  // namespace mobu
