// The rectangle every layer passes around: screen areas, dirty regions, clip and source
// rectangles. Right and Bottom are exclusive.
#pragma once

#include <algorithm>
#include <cstdint>

namespace mobu {

struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect MakeRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    return TRect{left, top, right, bottom};
}

// Intersection of two rectangles; an empty result keeps whatever edges it got.
inline TRect IntersectRects(const TRect& a, const TRect& b)
{
    return TRect{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                 std::min(a.Bottom, b.Bottom)};
}

}  // namespace mobu
