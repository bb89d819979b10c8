// Nearest-neighbour stretching: source coordinates advance in 16.16 fixed point per
// destination column and row. The column offsets of the visible span are computed once per
// call into a table sized to that span, whatever its width.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "graphics/custom_dibx.h"
#include "graphics/custom_dibx_blit.h"

namespace mobu {
namespace {

// Source index (relative to the start of the span) of each of `count` destination steps that
// begin `cut` steps into the destination: floor(cut * scale) + ((frac + i * step) >> 16), all
// in 64 bits so very large images do not wrap. Flipped axes count from the far edge.
std::vector<int32_t> SourceIndexes(int64_t cut, double scale, int count, int first, int last, bool flip)
{
    std::vector<int32_t> indexes(static_cast<size_t>(count));
    double start = static_cast<double>(cut) * scale;
    int64_t whole = static_cast<int64_t>(std::floor(start));
    int64_t fraction = static_cast<int64_t>(std::floor((start - static_cast<double>(whole)) * 65536.0));
    int64_t step = static_cast<int64_t>(std::floor(scale * 65536.0));
    for (int i = 0; i < count; ++i) {
        int64_t offset = whole + ((fraction + step * i) >> 16);
        int64_t index = flip ? last - offset : first + offset;
        indexes[static_cast<size_t>(i)] = static_cast<int32_t>(std::clamp<int64_t>(index, first, last));
    }
    return indexes;
}

}  // namespace

bool PlanStretch(const TCustomDIBX& dst, const TRect& dest_rect, const TCustomDIBX& source, const TRect& s,
                 const TCustomDIBX* mask, bool hflip, bool vflip, TStretchPlan& plan)
{
    int64_t dest_width = static_cast<int64_t>(dest_rect.Right) - dest_rect.Left;
    int64_t dest_height = static_cast<int64_t>(dest_rect.Bottom) - dest_rect.Top;
    if (dest_width < 1 || dest_height < 1 || s.IsEmpty()) return false;
    const double sx = static_cast<double>(s.Width()) / static_cast<double>(dest_width);
    const double sy = static_cast<double>(s.Height()) / static_cast<double>(dest_height);

    // The parts of the source rectangle outside the source (or its mask) are not sampled:
    // the destination shrinks by the matching amount.
    TRect bounds = source.SurfaceRect();
    if (mask) bounds = Intersect(bounds, mask->SurfaceRect());
    TRect cut = Intersect(s, bounds);
    if (cut.IsEmpty()) return false;
    double d_left = dest_rect.Left, d_top = dest_rect.Top, d_right = dest_rect.Right, d_bottom = dest_rect.Bottom;
    double lost_left = (cut.Left - s.Left) / sx, lost_right = (s.Right - cut.Right) / sx;
    double lost_top = (cut.Top - s.Top) / sy, lost_bottom = (s.Bottom - cut.Bottom) / sy;
    if (hflip) std::swap(lost_left, lost_right);
    if (vflip) std::swap(lost_top, lost_bottom);
    d_left += std::ceil(lost_left), d_right -= std::ceil(lost_right);
    d_top += std::ceil(lost_top), d_bottom -= std::ceil(lost_bottom);

    TRect clip = dst.GetClipRect();
    double left = std::max<double>(d_left, clip.Left), right = std::min<double>(d_right, clip.Right);
    double top = std::max<double>(d_top, clip.Top), bottom = std::min<double>(d_bottom, clip.Bottom);
    if (left >= right || top >= bottom) return false;
    plan.x = static_cast<int>(left), plan.y = static_cast<int>(top);
    plan.columns = static_cast<int>(right - left), plan.rows = static_cast<int>(bottom - top);
    // Steps are counted from the unshrunk destination so that sampling does not move.
    plan.column_of = SourceIndexes(plan.x - static_cast<int64_t>(dest_rect.Left), sx, plan.columns, s.Left,
                                   s.Right - 1, hflip);
    plan.row_of = SourceIndexes(plan.y - static_cast<int64_t>(dest_rect.Top), sy, plan.rows, s.Top, s.Bottom - 1,
                                vflip);
    for (int32_t& c : plan.column_of) c = std::clamp(c, cut.Left, cut.Right - 1);
    for (int32_t& r : plan.row_of) r = std::clamp(r, cut.Top, cut.Bottom - 1);
    return true;
}

namespace {

void Stretch(TCustomDIBX& dst, const TRect& dest_rect, TCustomDIBX& source, TRect s, TCustomDIBX* mask,
             bool hflip, bool vflip, TBlendOp op, uint32_t amount, int64_t key)
{
    TSurfaceFormat df = TSurfaceFormat::Of(dst), sf = TSurfaceFormat::Of(source);
    if (!CanBlit(df, sf, mask) || dst.IsEmpty() || source.IsEmpty()) return;
    TStretchPlan plan;
    if (!PlanStretch(dst, dest_rect, source, s, mask, hflip, vflip, plan)) return;
    const int x0 = plan.x, y0 = plan.y, columns = plan.columns, rows = plan.rows;
    const std::vector<int32_t>& column_of = plan.column_of;
    const std::vector<int32_t>& row_of = plan.row_of;

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
    std::unique_ptr<std::vector<uint8_t>> copy;
    const size_t src_row_bytes = static_cast<size_t>(source.Width()) * sf.bytes;
    if (&source == &dst) {
        copy = std::make_unique<std::vector<uint8_t>>(src_row_bytes * static_cast<size_t>(source.Height()));
        for (int y = 0; y < source.Height(); ++y)
            std::copy_n(src_lock.Row(y), src_row_bytes, copy->data() + static_cast<size_t>(y) * src_row_bytes);
    }
    auto source_row = [&](int y) {
        return copy ? copy->data() + static_cast<size_t>(y) * src_row_bytes : src_lock.Row(y);
    };

    const size_t n = static_cast<size_t>(columns);
    const size_t source_width = static_cast<size_t>(source.Width());
    const kernels::TKernelTable& k = kernels::Kernels();
    TRowBlender blender(df, sf, op, amount, key);
    std::vector<uint8_t> samples(n * sf.bytes), mask_samples(mask ? n : 0);
    // Plain copies of the same format sample straight into the destination, and a row that
    // samples the same source row as the one above is copied from it.
    const bool direct = op == TBlendOp::Copy && key < 0 && df.SameAs(sf) && (sf.bytes == 2 || sf.bytes == 4) &&
                        !copy;
    const size_t row_bytes = n * static_cast<size_t>(df.bytes);
    int sampled_row = -1;
    const uint8_t* sampled_dst_row = nullptr;
    for (int step = 0; step < rows; ++step) {
        const int r = RowInMemoryOrder(step, rows, dst.Pitch());
        const int source_y = row_of[static_cast<size_t>(r)];
        uint8_t* dst_row = dst_lock.WritableRow(y0 + r) + static_cast<size_t>(x0) * df.bytes;
        if (direct) {
            if (source_y == sampled_row) {
                std::memcpy(dst_row, sampled_dst_row, row_bytes);
                continue;
            }
            sampled_dst_row = dst_row;
            const uint8_t* src_row = source_row(source_y);
            if (sf.bytes == 4)
                k.gather32(reinterpret_cast<uint32_t*>(dst_row), reinterpret_cast<const uint32_t*>(src_row), source_width,
                           column_of.data(), n);
            else
                k.gather16(reinterpret_cast<uint16_t*>(dst_row), reinterpret_cast<const uint16_t*>(src_row), source_width,
                           column_of.data(), n);
            sampled_row = source_y;
            continue;
        }
        if (source_y == sampled_row) {
            blender.Run(dst_row, samples.data(), mask ? mask_samples.data() : nullptr, n);
            continue;
        }
        sampled_row = source_y;
        const uint8_t* src_row = source_row(source_y);
        if (sf.bytes == 4)
            k.gather32(reinterpret_cast<uint32_t*>(samples.data()), reinterpret_cast<const uint32_t*>(src_row), source_width,
                       column_of.data(), n);
        else if (sf.bytes == 2)
            k.gather16(reinterpret_cast<uint16_t*>(samples.data()), reinterpret_cast<const uint16_t*>(src_row), source_width,
                       column_of.data(), n);
        else
            for (size_t i = 0; i < n; ++i) WriteRaw(samples.data(), i, sf.bytes, ReadRaw(src_row, column_of[i], sf.bytes));
        const uint8_t* mask_row = nullptr;
        if (mask) {
            const uint8_t* m = mask_lock->Row(source_y);
            for (size_t i = 0; i < n; ++i) mask_samples[i] = m[column_of[i]];
            mask_row = mask_samples.data();
        }
        blender.Run(dst_row, samples.data(), mask_row, n);
    }
}

}  // namespace

void TCustomDIBX::StretchDrawAlpha(const TRect& dest_rect, TCustomDIBX& source, const TRect& src_rect,
                                   bool transparent, bool hflip, bool vflip, int alpha)
{
    if (alpha <= 0) return;
    // Alpha 255 is an exact (keyed) copy.
    TBlendOp op = alpha >= 255 ? TBlendOp::Copy : TBlendOp::Alpha;
    Stretch(*this, dest_rect, source, src_rect, nullptr, hflip, vflip, op, static_cast<uint32_t>(std::min(alpha, 255)),
            KeyOf(source, transparent));
}

void TCustomDIBX::StretchDrawAlphaMask(const TRect& dest_rect, TCustomDIBX& source, const TRect& src_rect,
                                       TCustomDIBX& mask, bool hflip, bool vflip, int alpha)
{
    if (alpha <= 0) return;
    TBlendOp op = alpha >= 255 ? TBlendOp::Mask : TBlendOp::AlphaMask;
    Stretch(*this, dest_rect, source, src_rect, &mask, hflip, vflip, op, static_cast<uint32_t>(std::min(alpha, 255)),
            kernels::kNoKey);
}

void TCustomDIBX::StretchDrawAdd(const TRect& dest_rect, TCustomDIBX& source, const TRect& src_rect,
                                 bool /*transparent*/, bool hflip, bool vflip, int amount)
{
    if (amount <= 0) return;
    Stretch(*this, dest_rect, source, src_rect, nullptr, hflip, vflip, TBlendOp::Add,
            static_cast<uint32_t>(std::min(amount, 255)), KeyOf(source, true));
}

void TCustomDIBX::StretchDrawAddMask(const TRect& dest_rect, TCustomDIBX& source, const TRect& src_rect,
                                     TCustomDIBX& mask, bool hflip, bool vflip, int amount)
{
    if (amount <= 0) return;
    Stretch(*this, dest_rect, source, src_rect, &mask, hflip, vflip, TBlendOp::AddMask,
            static_cast<uint32_t>(std::min(amount, 255)), kernels::kNoKey);
}

}  // namespace mobu
