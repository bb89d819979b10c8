#include "graphics/wipes/wipe_mask_shapes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "graphics/wipes/wipe_pixels.h"

namespace mobu {

using namespace wipes;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTurn = 2 * std::numbers::pi;

}  // namespace

void FillCircle(TWipeMaskPlane& plane, double cx, double cy, double r, uint8_t level)
{
    if (r <= 0) return;
    for (int y = 0; y < plane.Height; ++y) {
        const double dy = y - cy;
        if (std::fabs(dy) > r) continue;
        const double half = std::sqrt(r * r - dy * dy);
        const auto x0 = static_cast<int>(std::ceil(cx - half)), x1 = static_cast<int>(std::floor(cx + half));
        plane.FillRect(x0, y, x1 + 1, y + 1, level);
    }
}

namespace {

// The pixels x0..x1 of a row where `inside` holds, as an interval [first, last] (empty when
// first > last), for a test that is monotone along the row: once it changes it stays changed.
// Its two ends tell which way it goes; the change is found by halving, so the interval is
// exactly the set of pixels the test accepts.
template <class Test>
std::pair<int, int> MonotoneSpan(int x0, int x1, Test inside)
{
    const bool first_in = inside(x0), last_in = inside(x1);
    if (first_in == last_in) return first_in ? std::pair{x0, x1} : std::pair{x1 + 1, x1};
    // The first pixel whose answer differs from x0's.
    int lo = x0 + 1, hi = x1;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (inside(mid) != first_in) hi = mid;
        else lo = mid + 1;
    }
    return first_in ? std::pair{x0, lo - 1} : std::pair{lo, x1};
}

}  // namespace

void FillPieSlice(TWipeMaskPlane& plane, double cx, double cy, double r, double start, double sweep)
{
    if (sweep <= 0 || r <= 0) return;
    const bool whole = sweep >= kTurn;
    // The slice is the set of directions between the edge at start − sweep and the edge at
    // start (angles as atan2 gives them on the screen). Up to half a turn it is the meet of two
    // half-planes, beyond that the rest of the circle outside the opposite wedge; so each
    // pixel is decided by two cross products. Along a row each cross product is a monotone
    // function of x (one rounded product, then one rounded difference with a constant), so
    // each half-plane meets the row in one interval, found from a few pixels.
    const double sx = std::cos(start), sy = std::sin(start);
    const double ex = std::cos(start - sweep), ey = std::sin(start - sweep);
    const bool convex = sweep <= kPi;
    for (int y = 0; y < plane.Height; ++y) {
        const double dy = y - cy;
        if (std::fabs(dy) > r) continue;
        const double half = std::sqrt(r * r - dy * dy);
        const int x0 = std::max(0, static_cast<int>(std::ceil(cx - half)));
        const int x1 = std::min(plane.Width - 1, static_cast<int>(std::floor(cx + half)));
        if (x0 > x1) continue;
        if (whole) {
            plane.FillRect(x0, y, x1 + 1, y + 1, 255);
            continue;
        }
        // ≥ 0: not before the end edge; ≥ 0: not past the start edge.
        const auto after_end = MonotoneSpan(x0, x1, [&](int x) { return ex * dy - ey * (x - cx) >= 0; });
        const auto before_start = MonotoneSpan(x0, x1, [&](int x) { return (x - cx) * sy - dy * sx >= 0; });
        if (convex) {
            plane.FillRect(std::max(after_end.first, before_start.first), y,
                           std::min(after_end.second, before_start.second) + 1, y + 1, 255);
        } else {
            plane.FillRect(after_end.first, y, after_end.second + 1, y + 1, 255);
            plane.FillRect(before_start.first, y, before_start.second + 1, y + 1, 255);
        }
        // The centre belongs to every slice.
        if (dy == 0 && cx == std::floor(cx) && cx >= x0 && cx <= x1) plane.Row(y)[static_cast<int>(cx)] = 255;
    }
}

bool TWipeCircle::UpdateMask()
{
    Binary = true;
    const double w = Width(), h = Height();
    const double p = static_cast<double>(Pos()), d = static_cast<double>(Dur());
    const double share = Reverse ? (d - p) / d : p / d;
    const int64_t r = RoundEven(std::hypot(w / 2, h / 2) * share);
    if (!TakeLevel(r)) return false;
    Mask.Fill(Reverse ? 255 : 0);
    FillCircle(Mask, Width() / 2, Height() / 2, static_cast<double>(r), Reverse ? 0 : 255);
    return true;
}

double TWipeClockhand::StartAngle() const { return Params[0] * kTurn / 360 - kPi / 2; }

bool TWipeClockhand::DrawSlices(const double* starts, double sweep, int count)
{
    const int cx = Width() / 2, cy = Height() / 2;
    const double r = std::hypot(cx, cy);
    // A step draws only when a rounded end point of a slice moved.
    auto key = static_cast<uint64_t>(std::llround(sweep * 1e6));
    for (int i = 0; i < count; ++i) {
        for (double a : {starts[i], starts[i] - sweep}) {
            key = key * 31 + static_cast<uint64_t>(std::llround(cx + r * std::cos(a)));
            key = key * 31 + static_cast<uint64_t>(std::llround(cy + r * std::sin(a)));
        }
    }
    if (!TakeLevel(static_cast<int64_t>(key >> 1))) return false;
    Mask.Fill(0);
    for (int i = 0; i < count; ++i) FillPieSlice(Mask, cx, cy, r, starts[i], sweep);
    return true;
}

bool TWipeClockhand::UpdateMask()
{
    Binary = true;
    const double turned = kTurn * static_cast<double>(Pos()) / static_cast<double>(Dur());
    const double theta0 = StartAngle();
    // Forward: from the hand back (counterclockwise) to θ0; reversed: from θ0 back to the hand.
    const double start = Reverse ? theta0 : theta0 + turned;
    return DrawSlices(&start, turned, 1);
}

bool TWipeFan::UpdateMask()
{
    Binary = true;
    const double h = kPi * static_cast<double>(Pos()) / static_cast<double>(Dur());
    const double start = StartAngle() + h;
    return DrawSlices(&start, 2 * h, 1);
}

bool TWipeWFan::UpdateMask()
{
    Binary = true;
    const double h = (kPi / 2) * static_cast<double>(Pos()) / static_cast<double>(Dur());
    const double starts[2] = {StartAngle() + h, StartAngle() + kPi + h};
    return DrawSlices(starts, 2 * h, 2);
}

}  // namespace mobu
