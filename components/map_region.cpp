#include "components/map_region.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mobu {

namespace {

int32_t ClampToInt(double value)
{
    if (value <= static_cast<double>(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    if (value >= static_cast<double>(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

// First pixel whose centre is at or right of `edge`: ceil(edge - 0.5).
int32_t FirstCentreFrom(double edge) { return ClampToInt(std::ceil(edge - 0.5)); }

void EllipseSpans(const TRect& box, int32_t y, std::vector<std::pair<int32_t, int32_t>>& spans)
{
    const double rx = (static_cast<double>(box.Right) - box.Left) / 2.0;
    const double ry = (static_cast<double>(box.Bottom) - box.Top) / 2.0;
    if (rx <= 0 || ry <= 0) return;
    const double cx = box.Left + rx;
    const double cy = box.Top + ry;
    const double v = (y + 0.5 - cy) / ry;
    const double left_over = 1.0 - v * v;
    if (left_over < 0) return;
    const double half = rx * std::sqrt(left_over);
    // Centres with |x + 0.5 - cx| <= half.
    const int32_t first = FirstCentreFrom(cx - half);
    const int32_t last_exclusive = ClampToInt(std::floor(cx + half - 0.5)) + 1;
    if (first < last_exclusive) spans.emplace_back(first, last_exclusive);
}

void PolygonSpans(const std::vector<TRegionPoint>& points, int32_t y, std::vector<std::pair<int32_t, int32_t>>& spans)
{
    const size_t count = points.size();
    if (count < 3) return;
    const double sample_y = y + 0.5;
    // Crossings of the row's centre line with the edges, each with its direction.
    std::vector<std::pair<double, int>> crossings;
    for (size_t i = 0; i < count; ++i) {
        const TRegionPoint& a = points[i];
        const TRegionPoint& b = points[(i + 1) % count];
        if (a.Y == b.Y) continue;
        const bool downward = a.Y < b.Y;
        const double top = downward ? a.Y : b.Y;
        const double bottom = downward ? b.Y : a.Y;
        // Half-open in y so a vertex shared by two edges counts once.
        if (sample_y < top || sample_y >= bottom) continue;
        const double t = (sample_y - a.Y) / (static_cast<double>(b.Y) - a.Y);
        const double x = a.X + t * (static_cast<double>(b.X) - a.X);
        crossings.emplace_back(x, downward ? 1 : -1);
    }
    std::sort(crossings.begin(), crossings.end());
    int winding = 0;
    // The runs where the winding number is not zero.
    double run_start = 0;
    for (const auto& [x, direction] : crossings) {
        const int before = winding;
        winding += direction;
        if (before == 0 && winding != 0) {
            run_start = x;
        } else if (before != 0 && winding == 0) {
            const int32_t first = FirstCentreFrom(run_start);
            const int32_t last_exclusive = FirstCentreFrom(x);
            if (first < last_exclusive) {
                if (!spans.empty() && spans.back().second >= first)
                    spans.back().second = std::max(spans.back().second, last_exclusive);
                else
                    spans.emplace_back(first, last_exclusive);
            }
        }
    }
}

}  // namespace

TRect TMapRegion::Bounds() const
{
    if (Shape != TRegionShape::Polygon) return Box;
    if (Points.empty()) return TRect{};
    TRect bounds{Points[0].X, Points[0].Y, Points[0].X, Points[0].Y};
    for (const TRegionPoint& p : Points) {
        bounds.Left = std::min(bounds.Left, p.X);
        bounds.Top = std::min(bounds.Top, p.Y);
        bounds.Right = std::max(bounds.Right, p.X);
        bounds.Bottom = std::max(bounds.Bottom, p.Y);
    }
    return bounds;
}

void TMapRegion::RowSpans(int32_t y, std::vector<std::pair<int32_t, int32_t>>& spans) const
{
    spans.clear();
    switch (Shape) {
    case TRegionShape::Rectangle:
        if (y >= Box.Top && y < Box.Bottom && Box.Left < Box.Right) spans.emplace_back(Box.Left, Box.Right);
        break;
    case TRegionShape::Ellipse:
        EllipseSpans(Box, y, spans);
        break;
    case TRegionShape::Polygon:
        PolygonSpans(Points, y, spans);
        break;
    }
}

bool TMapRegion::Contains(int32_t x, int32_t y) const
{
    std::vector<std::pair<int32_t, int32_t>> spans;
    RowSpans(y, spans);
    for (const auto& [left, right] : spans)
        if (x >= left && x < right) return true;
    return false;
}

void PaintRegion(TDIBSurface& mask, const TMapRegion& region, int32_t dx, int32_t dy, uint8_t value)
{
    if (mask.BitCount() != 8 || mask.IsEmpty()) return;
    const TRect bounds = region.Bounds();
    const int64_t first_row = std::max<int64_t>(0, static_cast<int64_t>(bounds.Top) + dy);
    const int64_t end_row = std::min<int64_t>(mask.Height(), static_cast<int64_t>(bounds.Bottom) + dy + 1);
    std::vector<std::pair<int32_t, int32_t>> spans;
    for (int64_t row = first_row; row < end_row; ++row) {
        region.RowSpans(static_cast<int32_t>(row - dy), spans);
        uint8_t* line = mask.ScanLine(static_cast<int>(row));
        for (const auto& [left, right] : spans) {
            const int64_t from = std::max<int64_t>(0, static_cast<int64_t>(left) + dx);
            const int64_t to = std::min<int64_t>(mask.Width(), static_cast<int64_t>(right) + dx);
            if (from < to) std::fill(line + from, line + to, value);
        }
    }
}

}  // namespace mobu
