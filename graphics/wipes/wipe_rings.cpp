#include "graphics/wipes/wipe_rings.h"

#include <algorithm>
#include <cmath>

#include "graphics/kernels/wipe_kernels.h"
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
    // A pixel starting at s shows the old picture brightened by b − s until b − s reaches 256,
    // then the new one brightened by 511 − (b − s): b − s cut to 0..511 says both. Starts lie
    // within the screen's diagonal, so b cut to ±2^30 gives the same cut differences.
    const auto b = static_cast<int32_t>(std::clamp<int64_t>(Pos() * Span / Dur(), -(int64_t{1} << 30), int64_t{1} << 30));
    TRows32 target(*Target, true), from(*FromImage, false), to(*ToImage, false);
    if (!target.Valid() || !from.Valid() || !to.Valid()) return;
    const auto& kernels = kernels::WipeKernels();
    for (int y = 0; y < Height(); ++y)
        kernels.through_white_starts32(target.Row(y), from.Row(y), to.Row(y), Starts.data() + static_cast<size_t>(y) * w,
                                       static_cast<size_t>(w), b);
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
    const int64_t front = Progress(RoundEven(std::hypot(cx, cy)) + n);
    TRows32 target(*Target, true), from(*FromImage, false), to(*ToImage, false);
    if (!target.Valid() || !from.Valid() || !to.Valid()) return;
    const int qw = quarter_width_;
    // Row by row. The top-left quarter holds every pixel's distance; the other quarters are
    // its mirror images, and where they overlap (the middle row and column of an odd size)
    // the mirrored one counts. A pixel at distance d shows the old picture while d > front,
    // the ring (the new picture pushed outwards) while front − N < d ≤ front, and the new
    // picture inside it. Distances fall along a quarter row towards the middle, so each row
    // is two copies and the ring between them.
    for (int ty = 0; ty < h; ++ty) {
        const bool my = ty >= cy;
        const int y = my ? h - 1 - ty : ty;
        const TPoint* row = quarter_.data() + static_cast<size_t>(y) * static_cast<size_t>(qw);
        auto first_within = [&](int64_t limit) {  // first quarter column whose distance ≤ limit
            int lo = 0, hi = qw;
            while (lo < hi) {
                const int mid = lo + (hi - lo) / 2;
                if (row[mid].distance <= limit) hi = mid;
                else lo = mid + 1;
            }
            return lo;
        };
        const int ring = first_within(front), inner = first_within(front - n);
        uint32_t* t = target.Row(ty);
        const uint32_t* old_row = from.Row(ty);
        const uint32_t* new_row = to.Row(ty);
        auto copy = [t](const uint32_t* source, int a, int b) {
            if (a < b) std::copy(source + a, source + b, t + a);
        };
        auto ring_pixels = [&](int a, int b, bool mx) {
            for (int tx = a; tx < b; ++tx) {
                const int x = mx ? w - 1 - tx : tx;
                const TPoint& point = row[x];
                const int64_t i = point.distance + (n - 1) - front;
                const int64_t reach = point.distance + Profile[static_cast<size_t>(i)];
                const int64_t px = cx + ((reach * point.cosine) >> 16), py = cy + ((reach * point.sine) >> 16);
                if (px >= 0 && px < w && py >= 0 && py < h)
                    t[tx] = to.Row(my ? h - 1 - static_cast<int>(py) : static_cast<int>(py))[mx ? w - 1 - px : px];
                else t[tx] = new_row[tx];
            }
        };
        // Left half (x = tx), then the mirrored right half (x = w − 1 − tx).
        copy(old_row, 0, std::min(ring, cx));
        ring_pixels(std::min(ring, cx), std::min(inner, cx), false);
        copy(new_row, std::min(inner, cx), cx);
        copy(new_row, cx, std::max(cx, w - inner));
        ring_pixels(std::max(cx, w - inner), std::max(cx, w - ring), true);
        copy(old_row, std::max(cx, w - ring), w);
    }
}

}  // namespace mobu
