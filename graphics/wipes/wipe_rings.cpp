#include "graphics/wipes/wipe_rings.h"

#include <algorithm>
#include <cmath>

#include "graphics/wipes/wipe_pixels.h"

namespace mobu {

using namespace wipes;

void TWipeSpot::SetReverse(uint8_t reverse)
{
    TCustomWipe::SetReverse(reverse);
    MakeStarts();
}

void TWipeSpot::MakeStarts()
{
    const int w = Width(), h = Height();
    table_width_ = w, table_height_ = h;
    Starts.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    const double hw = w / 2.0, hh = h / 2.0;
    const int64_t radius = RoundEven(std::hypot(hh, hw));
    Span = radius + 512;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // sqrt of the exact sum of squares (half-pixel coordinates keep it exact) is
            // correctly rounded and much cheaper than hypot.
            const double dy = y - hh, dx = x - hw;
            const int64_t n = RoundEven(std::sqrt(dx * dx + dy * dy));
            Starts[static_cast<size_t>(y) * w + x] = static_cast<int32_t>(Reverse ? radius - n : n);
        }
}

void TWipeSpot::DrawState()
{
    if (table_width_ != Width() || table_height_ != Height()) MakeStarts();
    const int w = Width();
    const int64_t b = Pos() * Span / Dur();
    MapPixels(*Target, *FromImage, *ToImage, [&](int x, int y, uint32_t old_pixel, uint32_t new_pixel) {
        const int64_t s = Starts[static_cast<size_t>(y) * w + x];
        if (b < s) return old_pixel;
        if (b < s + 256) return AddGrey(old_pixel, static_cast<int>(b - s));
        if (b < s + 512) return AddGrey(new_pixel, static_cast<int>(s - b + 511));
        return new_pixel;
    });
}

void TWipeRipple::SetParam(int index, int32_t value)
{
    TCustomWipe::SetParam(index, value);
    if (index == 0) MakeProfile();
}

void TWipeRipple::MakeProfile()
{
    const int cx = Width() / 2, cy = Height() / 2;
    RingWidth = 2 * std::min(cx, cy) / 3;
    Profile.assign(static_cast<size_t>(std::max(RingWidth, 0)), 0);
    // Narrow rings (under four pixels) have no room for the teeth: their profile is flat.
    const int tooth = RingWidth / 4;
    if (tooth == 0) return;
    for (int i = 0; i < RingWidth; ++i)
        Profile[static_cast<size_t>(i)] = static_cast<int32_t>(int64_t{i % tooth} * Params[0] / tooth);
}

void TWipeRipple::MakeTables()
{
    const int w = Width(), h = Height();
    table_width_ = w, table_height_ = h;
    const int cx = w / 2, cy = h / 2;
    // The quarter reaches the middle column (row) of an odd size, which its mirror images
    // would otherwise never draw.
    quarter_width_ = w - cx, quarter_height_ = h - cy;
    quarter_.assign(static_cast<size_t>(quarter_width_) * static_cast<size_t>(quarter_height_), TPoint{});
    for (int y = 0; y < quarter_height_; ++y)
        for (int x = 0; x < quarter_width_; ++x) {
            const double dx = x - cx, dy = y - cy, length = std::sqrt(dx * dx + dy * dy);
            TPoint& point = quarter_[static_cast<size_t>(y) * quarter_width_ + x];
            point.distance = static_cast<int32_t>(RoundEven(length));
            if (length > 0) {
                point.cosine = static_cast<int32_t>(RoundEven(dx / length * 65536));
                point.sine = static_cast<int32_t>(RoundEven(dy / length * 65536));
            }
        }
    MakeProfile();
}

void TWipeRipple::Prepare() { MakeTables(); }

void TWipeRipple::DrawState()
{
    if (table_width_ != Width() || table_height_ != Height()) MakeTables();
    const int w = Width(), h = Height(), cx = w / 2, cy = h / 2;
    const int64_t n = RingWidth;
    const int64_t front = Pos() * (RoundEven(std::hypot(cx, cy)) + n) / Dur();
    TRows32 target(*Target, true), from(*FromImage, false), to(*ToImage, false);
    if (!target.Valid() || !from.Valid() || !to.Valid()) return;
    for (int y = 0; y < quarter_height_; ++y) {
        for (int x = 0; x < quarter_width_; ++x) {
            const TPoint& point = quarter_[static_cast<size_t>(y) * quarter_width_ + x];
            const int64_t i = point.distance + (n - 1) - front;
            // The sample point of the top-left pixel; the mirrors mirror it.
            int sx = x, sy = y;
            bool displaced = false;
            if (i >= 0 && i <= n - 1) {
                const int64_t reach = point.distance + Profile[static_cast<size_t>(i)];
                const int64_t px = cx + ((reach * point.cosine) >> 16), py = cy + ((reach * point.sine) >> 16);
                if (px >= 0 && px < w && py >= 0 && py < h) sx = static_cast<int>(px), sy = static_cast<int>(py);
                displaced = true;
            }
            for (int mirror = 0; mirror < 4; ++mirror) {
                const bool mx = mirror & 1, my = mirror & 2;
                const int tx = mx ? w - 1 - x : x, ty = my ? h - 1 - y : y;
                uint32_t pixel;
                if (i > n - 1) pixel = from.Row(ty)[tx];
                else if (i < 0 || !displaced) pixel = to.Row(ty)[tx];
                else {
                    const int ux = mx ? w - 1 - sx : sx, uy = my ? h - 1 - sy : sy;
                    pixel = to.Row(uy)[ux];
                }
                target.Row(ty)[tx] = pixel;
            }
        }
    }
}

}  // namespace mobu
