// Selection regions of a map image: a rectangle, an ellipse or a polygon filled with the
// winding rule. Our own scanline rasterizer decides coverage: a pixel belongs to the region
// when its centre (x + 0.5, y + 0.5) lies inside the shape. The hit test and the painted
// masks use the same rule, so what is drawn highlighted is exactly what answers the mouse.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "graphics/dib_surface.h"

namespace mobu {

enum class TRegionShape : uint8_t { Rectangle = 0, Ellipse = 1, Polygon = 2 };

struct TRegionPoint {
    int32_t X = 0;
    int32_t Y = 0;
};

struct TMapRegion {
    std::string Name;
    TRegionShape Shape = TRegionShape::Rectangle;
    // Rectangle and ellipse: the box, Right and Bottom exclusive.
    TRect Box;
    std::vector<TRegionPoint> Points;  // polygon corners

    // The smallest rectangle holding every covered pixel (Right, Bottom exclusive).
    TRect Bounds() const;
    // Covered pixel runs of row y as [left, right) pairs, in increasing order.
    void RowSpans(int32_t y, std::vector<std::pair<int32_t, int32_t>>& spans) const;
    bool Contains(int32_t x, int32_t y) const;
};

// Sets every covered pixel of an 8-bit store to `value`, the region shifted by (dx, dy);
// pixels outside the store are skipped.
void PaintRegion(TDIBSurface& mask, const TMapRegion& region, int32_t dx, int32_t dy, uint8_t value);

}  // namespace mobu
