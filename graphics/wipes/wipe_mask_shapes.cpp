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

void FillPieSlice(TWipeMaskPlane& plane, double cx, double cy, double r, double start, double sweep)
{
    if (sweep <= 0 || r <= 0) return;
    const bool whole = sweep >= kTurn;
    // The slice is the set of directions between the edge at start − sweep and the edge at
    // start (angles as atan2 gives them on the screen). Up to half a turn it is the meet of two
    // half-planes, beyond that the rest of the circle outside the opposite wedge; so each
    // pixel costs two cross products.
    const double sx = std::cos(start), sy = std::sin(start);
    const double ex = std::cos(start - sweep), ey = std::sin(start - sweep);
    const bool convex = sweep <= kPi;
    for (int y = 0; y < plane.Height; ++y) {
        uint8_t* row = plane.Row(y);
        const double dy = y - cy;
        if (std::fabs(dy) > r) continue;
        const double half = std::sqrt(r * r - dy * dy);
        const int x0 = std::max(0, static_cast<int>(std::ceil(cx - half)));
        const int x1 = std::min(plane.Width - 1, static_cast<int>(std::floor(cx + half)));
        for (int x = x0; x <= x1; ++x) {
            const double dx = x - cx;
            const double after_end = ex * dy - ey * dx;      // ≥ 0: not before the end edge
            const double before_start = dx * sy - dy * sx;   // ≥ 0: not past the start edge
            const bool inside = whole || (dx == 0 && dy == 0) ||
                                (convex ? after_end >= 0 && before_start >= 0 : after_end >= 0 || before_start >= 0);
            if (inside) row[x] = 255;
        }
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
