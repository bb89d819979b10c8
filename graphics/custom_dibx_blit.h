// Shared pieces of the surface drawing code: the description of one copy or blend, pixel
// locks that are released on every exit path, and the rectangle arithmetic of clipping.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/custom_dibx.h"
#include "graphics/surface_row_blender.h"

namespace mobu {

// Holds the pixel lock of a surface for one operation. Locks taken in the order destination,
// source, mask are released in the reverse order (source before destination).
class TPixelLock {
public:
    TPixelLock(TCustomDIBX& surface, bool for_writing)
        : surface_(surface), base_(for_writing ? surface.PixelAddress(0, 0) : surface.ReadPixelAddress(0, 0))
    {
    }
    ~TPixelLock()
    {
        if (base_) surface_.UnlockPixels();
    }
    TPixelLock(const TPixelLock&) = delete;
    TPixelLock& operator=(const TPixelLock&) = delete;

    bool Locked() const { return base_ != nullptr; }
    const uint8_t* Row(int y) const { return base_ + static_cast<std::ptrdiff_t>(y) * surface_.Pitch(); }
    uint8_t* WritableRow(int y) const { return const_cast<uint8_t*>(Row(y)); }

private:
    TCustomDIBX& surface_;
    const uint8_t* base_;
};

// The key of a keyed operation: the source's transparent colour, -1 meaning none.
inline int64_t KeyOf(const TCustomDIBX& source, bool transparent)
{
    return transparent && source.TransparentColor >= 0 ? source.TransparentColor : kernels::kNoKey;
}

// The source rectangle cut to the source's bounds and to the mask's; the destination point
// moves with the edge that is cut on its side (the right edge when flipped).
bool CutSourceToBounds(TRect& src_rect, int& x, int& y, const TCustomDIBX& source, const TCustomDIBX* mask,
                       bool hflip, bool vflip);

// Cuts the source rectangle (already inside the source) to the destination's clip for a copy
// whose top left lands on (x, y); x and y become the destination of the cut rectangle.
bool CutToClip(const TCustomDIBX& dst, TRect& src_rect, int& x, int& y, bool hflip, bool vflip);

// Where a nearest-neighbour stretch lands and samples: the visible destination block from
// (x, y) and, for each of its columns and rows, the source column and row it samples.
struct TStretchPlan {
    int x = 0, y = 0, columns = 0, rows = 0;
    std::vector<int32_t> column_of, row_of;
};
// Clips a stretch of src_rect onto dest_rect (parts outside the source or mask not sampled,
// then the destination's clip); false when nothing is drawn.
bool PlanStretch(const TCustomDIBX& dst, const TRect& dest_rect, const TCustomDIBX& source, const TRect& src_rect,
                 const TCustomDIBX* mask, bool hflip, bool vflip, TStretchPlan& plan);

// Checks shared by all copies: both surfaces drawable, the mask an 8-bit surface.
bool CanBlit(const TSurfaceFormat& dst, const TSurfaceFormat& src, const TCustomDIBX* mask);

// Intersection that is empty-safe (an empty result has Right <= Left or Bottom <= Top).
inline TRect Intersect(const TRect& a, const TRect& b) { return IntersectRects(a, b); }

// Rows are walked in ascending memory order (bottom-up stores from the last row), which
// keeps the hardware prefetchers streaming: index `step` of `rows` gives the row offset.
inline int RowInMemoryOrder(int step, int rows, std::ptrdiff_t pitch) { return pitch < 0 ? rows - 1 - step : step; }

// floor(a / b) and ceil(a / b) for b > 0.
inline int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
inline int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

}  // namespace mobu
