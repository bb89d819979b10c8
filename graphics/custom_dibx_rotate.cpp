// Rotation and zoom: every destination pixel of the transformed bounding box samples the
// source at 16.16 fixed-point coordinates stepped along the row. For each row the span of
// pixels that fall inside the source rectangle is solved exactly in integers, so the inner
// loop samples without per-pixel bounds tests.
#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "graphics/custom_dibx.h"
#include "graphics/custom_dibx_blit.h"

namespace mobu {
namespace {

// floor(value * 65536) of a step; values within rounding noise of a whole number of 1/65536
// steps snap to it, so a half turn steps by exactly -65536 and not by -65536 - 1.
int64_t FixedStep(double value)
{
    double scaled = value * 65536.0;
    double nearest = std::round(scaled);
    if (std::fabs(scaled - nearest) < 1e-6) return static_cast<int64_t>(nearest);
    return static_cast<int64_t>(std::floor(scaled));
}

// Integers i in [0, count) with low <= base + i * step < high.
void SolveSpan(int64_t base, int64_t step, int64_t low, int64_t high, int64_t count, int64_t& first, int64_t& last)
{
    first = 0;
    last = count;  // exclusive
    if (step == 0) {
        if (base < low || base >= high) last = 0;
        return;
    }
    if (step > 0) {
        first = std::max<int64_t>(first, CeilDiv(low - base, step));
        last = std::min<int64_t>(last, FloorDiv(high - 1 - base, step) + 1);
    } else {
        int64_t s = -step;
        first = std::max<int64_t>(first, CeilDiv(base - (high - 1), s));
        last = std::min<int64_t>(last, FloorDiv(base - low, s) + 1);
    }
}

void Rotate(TCustomDIBX& dst, int x, int y, int zoom_x, int zoom_y, TCustomDIBX& source, TRect s, int pivot_x,
            int pivot_y, int angle, TCustomDIBX* mask, bool hflip, bool vflip, TBlendOp op, uint32_t amount,
            int64_t key)
{
    if (zoom_x <= 0 || zoom_y <= 0) return;
    TSurfaceFormat df = TSurfaceFormat::Of(dst), sf = TSurfaceFormat::Of(source);
    if (!CanBlit(df, sf, mask) || dst.IsEmpty() || source.IsEmpty()) return;
    TRect bounds = source.SurfaceRect();
    if (mask) bounds = Intersect(bounds, mask->SurfaceRect());
    // Flips mirror inside the given rectangle; the part outside the source is never sampled.
    const TRect given = s;
    s = Intersect(s, bounds);
    if (s.IsEmpty()) return;

    const double theta = angle * 2.0 * std::numbers::pi / 256.0;
    const double zx = zoom_x / 256.0, zy = zoom_y / 256.0;
    const double c = std::cos(theta), sn = std::sin(theta);
    // Destination offset (dx, dy) -> source offset: u = (dx·cos + dy·sin) / zx,
    // v = (−dx·sin + dy·cos) / zy.
    const int64_t du_dx = FixedStep(c / zx), du_dy = FixedStep(sn / zx);
    const int64_t dv_dx = FixedStep(-sn / zy), dv_dy = FixedStep(c / zy);

    // Bounding box of the transformed corners of the source rectangle.
    double min_x = 1e300, min_y = 1e300, max_x = -1e300, max_y = -1e300;
    for (int corner = 0; corner < 4; ++corner) {
        double u = ((corner & 1) ? given.Right : given.Left) - static_cast<double>(pivot_x);
        double v = ((corner & 2) ? given.Bottom : given.Top) - static_cast<double>(pivot_y);
        u *= zx;
        v *= zy;
        double px = u * c - v * sn + x, py = u * sn + v * c + y;
        min_x = std::min(min_x, px), max_x = std::max(max_x, px);
        min_y = std::min(min_y, py), max_y = std::max(max_y, py);
    }
    TRect clip = dst.GetClipRect();
    double box_left = std::max<double>(std::floor(min_x), clip.Left);
    double box_top = std::max<double>(std::floor(min_y), clip.Top);
    double box_right = std::min<double>(std::floor(max_x) + 1, clip.Right);
    double box_bottom = std::min<double>(std::floor(max_y) + 1, clip.Bottom);
    if (box_left >= box_right || box_top >= box_bottom) return;
    const int left = static_cast<int>(box_left), top = static_cast<int>(box_top);
    const int right = static_cast<int>(box_right), bottom = static_cast<int>(box_bottom);

    TPixelLock dst_lock(dst, true);
    if (!dst_lock.Locked()) return;
    TPixelLock src_lock(source, false);
    if (!src_lock.Locked()) return;
    std::unique_ptr<TPixelLock> mask_lock;
    if (mask) {
        mask_lock = std::make_unique<TPixelLock>(*mask, false);
        if (!mask_lock->Locked()) return;
    }
    // Drawing onto itself: sample from a copy of the source.
    std::vector<uint8_t> copy;
    const uint8_t* src_base = src_lock.Row(0);
    std::ptrdiff_t src_pitch = source.Pitch();
    if (&source == &dst) {
        size_t row_bytes = static_cast<size_t>(source.Width()) * sf.bytes;
        copy.resize(row_bytes * static_cast<size_t>(source.Height()));
        for (int row = 0; row < source.Height(); ++row)
            std::copy_n(src_lock.Row(row), row_bytes, copy.data() + static_cast<size_t>(row) * row_bytes);
        src_base = copy.data();
        src_pitch = static_cast<std::ptrdiff_t>(row_bytes);
    }

    const int64_t one = 65536;
    const size_t width = static_cast<size_t>(right - left);
    std::vector<uint8_t> samples(width * sf.bytes), mask_samples(mask ? width : 0);
    TRowBlender blender(df, sf, op, amount, key);
    const bool direct = op == TBlendOp::Copy && key < 0 && df.SameAs(sf) && sf.bytes == 4 && copy.empty();
    const int32_t mirror_columns = hflip ? given.Left + given.Right - 1 : -1;
    const int32_t mirror_rows = vflip ? given.Top + given.Bottom - 1 : -1;
    // The sampled (mirrored) column must fall inside s: unmirror the bounds for the solver.
    const int64_t u_low = (hflip ? mirror_columns - (s.Right - 1) : s.Left) * one;
    const int64_t u_high = (hflip ? mirror_columns - s.Left + 1 : s.Right) * one;
    const int64_t v_low = (vflip ? mirror_rows - (s.Bottom - 1) : s.Top) * one;
    const int64_t v_high = (vflip ? mirror_rows - s.Top + 1 : s.Bottom) * one;

    for (int step = 0; step < bottom - top; ++step) {
        const int row = top + RowInMemoryOrder(step, bottom - top, dst.Pitch());
        const int64_t dy = static_cast<int64_t>(row) - y, dx0 = static_cast<int64_t>(left) - x;
        const int64_t u0 = pivot_x * one + dx0 * du_dx + dy * du_dy;
        const int64_t v0 = pivot_y * one + dx0 * dv_dx + dy * dv_dy;
        int64_t first_u, last_u, first_v, last_v;
        SolveSpan(u0, du_dx, u_low, u_high, static_cast<int64_t>(width), first_u, last_u);
        SolveSpan(v0, dv_dx, v_low, v_high, static_cast<int64_t>(width), first_v, last_v);
        const int64_t first = std::max(first_u, first_v), last = std::min(last_u, last_v);
        if (first >= last) continue;
        const size_t n = static_cast<size_t>(last - first);
        kernels::TRotateSpan span{src_base,   src_pitch,   u0 + first * du_dx, v0 + first * dv_dx,
                                  du_dx,      dv_dx,       mirror_columns,     mirror_rows};
        uint8_t* dst_row = dst_lock.WritableRow(row) + (static_cast<size_t>(left) + static_cast<size_t>(first)) * df.bytes;
        if (direct) {
            // Plain copies of the same 32-bit format sample straight into the destination.
            kernels::RotateGather32(reinterpret_cast<uint32_t*>(dst_row), span, n);
            continue;
        }
        if (sf.bytes == 4)
            kernels::RotateGather32(reinterpret_cast<uint32_t*>(samples.data()), span, n);
        else if (sf.bytes == 2)
            kernels::RotateGather16Scalar(reinterpret_cast<uint16_t*>(samples.data()), span, n);
        else if (sf.bytes == 1)
            kernels::RotateGather8Scalar(samples.data(), span, n);
        else {
            int64_t u = span.u0, v = span.v0;
            for (size_t i = 0; i < n; ++i, u += span.du, v += span.dv) {
                int64_t column = u >> 16, r = v >> 16;
                if (hflip) column = mirror_columns - column;
                if (vflip) r = mirror_rows - r;
                WriteRaw(samples.data(), i, 3, ReadRaw(src_base + r * src_pitch, static_cast<size_t>(column), 3));
            }
        }
        const uint8_t* mask_row = nullptr;
        if (mask) {
            kernels::TRotateSpan mask_span = span;
            mask_span.base = mask_lock->Row(0);
            mask_span.pitch = mask->Pitch();
            kernels::RotateGather8Scalar(mask_samples.data(), mask_span, n);
            mask_row = mask_samples.data();
        }
        blender.Run(dst_row, samples.data(), mask_row, n);
    }
}

}  // namespace

void TCustomDIBX::DrawRotate(int x, int y, int zoom_x, int zoom_y, TCustomDIBX& source, const TRect& src_rect,
                             int pivot_x, int pivot_y, int angle, bool transparent, bool hflip, bool vflip, int alpha)
{
    if (alpha <= 0) return;
    // Copied at alpha 255, blended as by DrawAlpha otherwise.
    TBlendOp op = alpha >= 255 ? TBlendOp::Copy : TBlendOp::Alpha;
    Rotate(*this, x, y, zoom_x, zoom_y, source, src_rect, pivot_x, pivot_y, angle, nullptr, hflip, vflip, op,
           static_cast<uint32_t>(std::min(alpha, 255)), KeyOf(source, transparent));
}

void TCustomDIBX::DrawRotateMask(int x, int y, int zoom_x, int zoom_y, TCustomDIBX& source, const TRect& src_rect,
                                 int pivot_x, int pivot_y, int angle, bool hflip, bool vflip, TCustomDIBX& mask,
                                 int alpha)
{
    if (alpha <= 0) return;
    TBlendOp op = alpha >= 255 ? TBlendOp::Mask : TBlendOp::AlphaMask;
    Rotate(*this, x, y, zoom_x, zoom_y, source, src_rect, pivot_x, pivot_y, angle, &mask, hflip, vflip, op,
           static_cast<uint32_t>(std::min(alpha, 255)), kernels::kNoKey);
}

}  // namespace mobu
