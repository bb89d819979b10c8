// Unscaled copies and blends: Draw, DrawAlpha, DrawAdd and their mask forms, Assign and the
// glyph colour mask. All share one clipping and row walk (Blit).
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "graphics/custom_dibx.h"
#include "graphics/custom_dibx_blit.h"

namespace mobu {

bool CutSourceToBounds(TRect& src_rect, int& x, int& y, const TCustomDIBX& source, const TCustomDIBX* mask,
                       bool hflip, bool vflip)
{
    TRect bounds = source.SurfaceRect();
    if (mask) bounds = Intersect(bounds, mask->SurfaceRect());
    TRect cut = Intersect(src_rect, bounds);
    if (cut.IsEmpty()) return false;
    // 64-bit sums: a source rectangle near the integer limits must not wrap the destination.
    int64_t nx = x + static_cast<int64_t>(hflip ? src_rect.Right - cut.Right : cut.Left - src_rect.Left);
    int64_t ny = y + static_cast<int64_t>(vflip ? src_rect.Bottom - cut.Bottom : cut.Top - src_rect.Top);
    if (nx < INT32_MIN || nx > INT32_MAX || ny < INT32_MIN || ny > INT32_MAX) return false;
    x = static_cast<int>(nx);
    y = static_cast<int>(ny);
    src_rect = cut;
    return true;
}

bool CanBlit(const TSurfaceFormat& dst, const TSurfaceFormat& src, const TCustomDIBX* mask)
{
    if (!dst.Drawable() || !src.Drawable()) return false;
    return !mask || mask->BitCount() == 8;
}

namespace {

// Draws job's source rectangle with its top left at (x, y), clipped to the destination's clip.
struct TUnscaledBlit {
    static void Run(TCustomDIBX& dst, TCustomDIBX& source, TCustomDIBX* mask, TRect s, int x, int y, bool hflip,
                    bool vflip, TBlendOp op, uint32_t amount, int64_t key)
    {
        TSurfaceFormat df = TSurfaceFormat::Of(dst), sf = TSurfaceFormat::Of(source);
        if (!CanBlit(df, sf, mask) || dst.IsEmpty() || source.IsEmpty()) return;
        if (!CutSourceToBounds(s, x, y, source, mask, hflip, vflip)) return;
        int64_t right = static_cast<int64_t>(x) + s.Width(), bottom = static_cast<int64_t>(y) + s.Height();
        TRect clip = dst.GetClipRect();
        int64_t left = std::max<int64_t>(x, clip.Left), top = std::max<int64_t>(y, clip.Top);
        right = std::min<int64_t>(right, clip.Right);
        bottom = std::min<int64_t>(bottom, clip.Bottom);
        if (left >= right || top >= bottom) return;
        // Each destination edge cut off moves the matching source edge (the opposite one when
        // the axis is flipped).
        int cut_left = static_cast<int>(left - x), cut_top = static_cast<int>(top - y);
        int cut_right = static_cast<int>(x + static_cast<int64_t>(s.Width()) - right);
        int cut_bottom = static_cast<int>(y + static_cast<int64_t>(s.Height()) - bottom);
        if (hflip) s.Left += cut_right, s.Right -= cut_left;
        else s.Left += cut_left, s.Right -= cut_right;
        if (vflip) s.Top += cut_bottom, s.Bottom -= cut_top;
        else s.Top += cut_top, s.Bottom -= cut_bottom;

        const size_t n = static_cast<size_t>(s.Width());
        const int rows = s.Height();
        const bool self = &source == &dst;
        TPixelLock dst_lock(dst, true);
        if (!dst_lock.Locked()) return;
        TPixelLock src_lock(source, false);
        if (!src_lock.Locked()) return;
        std::unique_ptr<TPixelLock> mask_lock;
        if (mask) {
            mask_lock = std::make_unique<TPixelLock>(*mask, false);
            if (!mask_lock->Locked()) return;
        }

        // Drawing a surface onto itself reads a snapshot of the source rows.
        std::vector<uint8_t> snapshot;
        if (self) {
            snapshot.resize(n * sf.bytes * static_cast<size_t>(rows));
            for (int r = 0; r < rows; ++r)
                std::memcpy(snapshot.data() + static_cast<size_t>(r) * n * sf.bytes,
                            src_lock.Row(s.Top + r) + static_cast<size_t>(s.Left) * sf.bytes, n * sf.bytes);
        }
        TRowBlender blender(df, sf, op, amount, key);
        std::vector<uint8_t> flipped(hflip ? n * sf.bytes : 0), flipped_mask(hflip && mask ? n : 0);
        for (int step = 0; step < rows; ++step) {
            int r = RowInMemoryOrder(step, rows, dst.Pitch());
            int sy = vflip ? s.Bottom - 1 - r : s.Top + r;
            const uint8_t* src_row = self ? snapshot.data() + static_cast<size_t>(sy - s.Top) * n * sf.bytes
                                          : src_lock.Row(sy) + static_cast<size_t>(s.Left) * sf.bytes;
            const uint8_t* mask_row = mask ? mask_lock->Row(sy) + s.Left : nullptr;
            if (hflip) {
                for (size_t i = 0; i < n; ++i)
                    std::memcpy(flipped.data() + i * sf.bytes, src_row + (n - 1 - i) * sf.bytes, sf.bytes);
                src_row = flipped.data();
                if (mask) {
                    for (size_t i = 0; i < n; ++i) flipped_mask[i] = mask_row[n - 1 - i];
                    mask_row = flipped_mask.data();
                }
            }
            uint8_t* dst_row = dst_lock.WritableRow(static_cast<int>(top) + r) + static_cast<size_t>(left) * df.bytes;
            blender.Run(dst_row, src_row, mask_row, n);
        }
    }
};

uint32_t Amount(int value) { return static_cast<uint32_t>(std::clamp(value, 0, 255)); }

}  // namespace

void TCustomDIBX::Assign(TCustomDIBX& source)
{
    Draw(0, 0, source, source.SurfaceRect(), false, false, false);
}

void TCustomDIBX::Draw(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool transparent, bool hflip,
                       bool vflip)
{
    TUnscaledBlit::Run(*this, source, nullptr, src_rect, x, y, hflip, vflip, TBlendOp::Copy, 255,
                       KeyOf(source, transparent));
}

void TCustomDIBX::DrawMask(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool hflip, bool vflip,
                           TCustomDIBX& mask)
{
    TUnscaledBlit::Run(*this, source, &mask, src_rect, x, y, hflip, vflip, TBlendOp::Mask, 255, kernels::kNoKey);
}

void TCustomDIBX::DrawAlpha(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool transparent, bool hflip,
                            bool vflip, int alpha)
{
    if (alpha <= 0) return;
    TUnscaledBlit::Run(*this, source, nullptr, src_rect, x, y, hflip, vflip, TBlendOp::Alpha, Amount(alpha),
                       KeyOf(source, transparent));
}

void TCustomDIBX::DrawAlphaMask(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool hflip, bool vflip,
                                TCustomDIBX& mask, int alpha)
{
    if (alpha <= 0) return;
    TUnscaledBlit::Run(*this, source, &mask, src_rect, x, y, hflip, vflip, TBlendOp::AlphaMask, Amount(alpha),
                       kernels::kNoKey);
}

void TCustomDIBX::DrawAdd(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool /*transparent*/,
                          bool hflip, bool vflip, int amount)
{
    if (amount <= 0) return;
    // The source's key is always skipped by the additive copy.
    TUnscaledBlit::Run(*this, source, nullptr, src_rect, x, y, hflip, vflip, TBlendOp::Add, Amount(amount),
                       KeyOf(source, true));
}

void TCustomDIBX::DrawAddMask(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool hflip, bool vflip,
                              TCustomDIBX& mask, int amount)
{
    if (amount <= 0) return;
    TUnscaledBlit::Run(*this, source, &mask, src_rect, x, y, hflip, vflip, TBlendOp::AddMask, Amount(amount),
                       kernels::kNoKey);
}

void TCustomDIBX::DrawColorMask(int x, int y, TCustomDIBX& mask, const TRect& src_rect, bool hflip, bool vflip,
                                uint32_t pixel, int alpha)
{
    if (alpha <= 0 || mask.BitCount() != 8) return;
    TSurfaceFormat df = TSurfaceFormat::Of(*this);
    if (!df.Drawable() || IsEmpty()) return;
    // Glyph rectangles lie inside their mask; one that does not draws nothing.
    TRect s = src_rect;
    if (s.IsEmpty() || s.Left < 0 || s.Top < 0 || s.Right > mask.Width() || s.Bottom > mask.Height()) return;
    TRect clip = GetClipRect();
    int64_t left = std::max<int64_t>(x, clip.Left), top = std::max<int64_t>(y, clip.Top);
    int64_t right = std::min<int64_t>(static_cast<int64_t>(x) + s.Width(), clip.Right);
    int64_t bottom = std::min<int64_t>(static_cast<int64_t>(y) + s.Height(), clip.Bottom);
    if (left >= right || top >= bottom) return;
    int cut_left = static_cast<int>(left - x), cut_top = static_cast<int>(top - y);
    int cut_right = static_cast<int>(x + static_cast<int64_t>(s.Width()) - right);
    int cut_bottom = static_cast<int>(y + static_cast<int64_t>(s.Height()) - bottom);
    if (hflip) s.Left += cut_right, s.Right -= cut_left;
    else s.Left += cut_left, s.Right -= cut_right;
    if (vflip) s.Top += cut_bottom, s.Bottom -= cut_top;
    else s.Top += cut_top, s.Bottom -= cut_bottom;

    const size_t n = static_cast<size_t>(s.Width());
    TPixelLock dst_lock(*this, true);
    if (!dst_lock.Locked()) return;
    TPixelLock mask_lock(mask, false);
    if (!mask_lock.Locked()) return;
    const kernels::TKernelTable& k = kernels::Kernels();
    const uint32_t a = static_cast<uint32_t>(std::min(alpha, 255));
    std::vector<uint8_t> flipped(hflip ? n : 0);
    for (int step = 0; step < s.Height(); ++step) {
        int r = RowInMemoryOrder(step, s.Height(), Pitch());
        int sy = vflip ? s.Bottom - 1 - r : s.Top + r;
        const uint8_t* m = mask_lock.Row(sy) + s.Left;
        if (hflip) {
            for (size_t i = 0; i < n; ++i) flipped[i] = m[n - 1 - i];
            m = flipped.data();
        }
        uint8_t* row = dst_lock.WritableRow(static_cast<int>(top) + r) + static_cast<size_t>(left) * df.bytes;
        if (df.bytes == 4) {
            k.colour_mask32(reinterpret_cast<uint32_t*>(row), m, n, pixel, a);
        } else if (df.bytes == 2) {
            k.colour_mask16(reinterpret_cast<uint16_t*>(row), m, n, pixel, a, df.format16);
        } else {
            for (size_t i = 0; i < n; ++i) {
                uint32_t mv = m[i];
                uint64_t d = ReadRaw(row, i, df.bytes);
                if (mv == 0 || d == (pixel & ((1ull << (8 * df.bytes)) - 1))) continue;
                uint64_t b = a >= 255 ? mv : (a * mv) >> 8, out = 0;
                for (int c = 0; c < df.mask_count; ++c) {
                    uint64_t cm = df.masks[c];
                    out |= (((255 - b) * (d & cm) + b * (pixel & cm)) >> 8) & cm;
                }
                WriteRaw(row, i, df.bytes, static_cast<uint32_t>(out));
            }
        }
    }
}

}  // namespace mobu
