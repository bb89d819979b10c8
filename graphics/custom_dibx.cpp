// Surface basics: size, clip rectangle, colour conversion, fills and frames.
#include "graphics/custom_dibx.h"

#include <algorithm>
#include <cstring>

#include "graphics/custom_dibx_blit.h"

namespace mobu {

uint32_t TCustomDIBX::GetPixel(int x, int y)
{
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
    TSurfaceFormat f = TSurfaceFormat::Of(*this);
    if (!f.Drawable()) return 0;
    TPixelLock lock(*this, false);
    if (!lock.Locked()) return 0;
    return ReadRaw(lock.Row(y), static_cast<size_t>(x), f.bytes);
}

void TCustomDIBX::SetPixel(int x, int y, uint32_t value)
{
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
    TSurfaceFormat f = TSurfaceFormat::Of(*this);
    if (!f.Drawable()) return;
    TPixelLock lock(*this, true);
    if (!lock.Locked()) return;
    WriteRaw(lock.WritableRow(y), static_cast<size_t>(x), f.bytes, value);
}

void TCustomDIBX::SetSize(int width, int height, int /*bits*/)
{
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
}

void TCustomDIBX::ResetClip() { ClipRect = TRect{}; }

void TCustomDIBX::IncludeClip(const TRect& rect)
{
    TRect r = Intersect(rect, SurfaceRect());
    if (r.IsEmpty()) return;
    if (ClipRect.Right == 0) {
        ClipRect = r;
        return;
    }
    ClipRect = TRect{std::min(ClipRect.Left, r.Left), std::min(ClipRect.Top, r.Top),
                     std::max(ClipRect.Right, r.Right), std::max(ClipRect.Bottom, r.Bottom)};
}

// A clip stored unclamped by SetClipRect never lets drawing leave the surface.
TRect TCustomDIBX::GetClipRect() const
{
    if (ClipRect.Right == 0) return SurfaceRect();
    return Intersect(ClipRect, SurfaceRect());
}

int32_t TCustomDIBX::ColorToPixel(int32_t colour)
{
    if (colour < 0) return -1;
    int bits = BitCount();
    int r, g, b;
    switch (bits) {
    case 15: r = 5, g = 5, b = 5; break;
    case 16: r = 5, g = 6, b = 5; break;
    case 32: r = 8, g = 8, b = 8; break;
    default: return colour;
    }
    uint32_t red = colour & 0xFF, green = (colour >> 8) & 0xFF, blue = (colour >> 16) & 0xFF;
    return static_cast<int32_t>((red >> (8 - r)) << (g + b) | (green >> (8 - g)) << b | (blue >> (8 - b)));
}

// ---- fills ----

namespace {

enum TFillKind { kFillSet, kFillAlpha, kFillAdd, kFillSub };

}  // namespace

void TCustomDIBX::FillWith(const TRect& rect, int kind, uint32_t pixel, int alpha)
{
    TSurfaceFormat f = TSurfaceFormat::Of(*this);
    if (!f.Drawable()) return;
    TRect r = Intersect(rect, GetClipRect());
    if (r.IsEmpty()) return;
    TPixelLock lock(*this, true);
    if (!lock.Locked()) return;
    const size_t n = static_cast<size_t>(r.Width());
    const kernels::TKernelTable& k = kernels::Kernels();
    const uint32_t a = static_cast<uint32_t>(std::clamp(alpha, 0, 255));
    for (int step = 0; step < r.Height(); ++step) {
        int y = r.Top + RowInMemoryOrder(step, r.Height(), Pitch());
        uint8_t* row = lock.WritableRow(y) + static_cast<size_t>(r.Left) * f.bytes;
        if (kind == kFillSet) {
            if (f.bytes == 4) std::fill_n(reinterpret_cast<uint32_t*>(row), n, pixel);
            else if (f.bytes == 2) std::fill_n(reinterpret_cast<uint16_t*>(row), n, static_cast<uint16_t>(pixel));
            else if (f.bytes == 1) std::memset(row, static_cast<uint8_t>(pixel), n);
            else for (size_t i = 0; i < n; ++i) WriteRaw(row, i, 3, pixel);
            continue;
        }
        if (f.bytes == 4) {
            auto* d = reinterpret_cast<uint32_t*>(row);
            if (kind == kFillAlpha) k.fill_alpha32(d, n, pixel, a);
            else if (kind == kFillAdd) k.fill_add32(d, n, pixel);
            else k.fill_sub32(d, n, pixel);
            continue;
        }
        if (f.bytes == 2) {
            auto* d = reinterpret_cast<uint16_t*>(row);
            if (kind == kFillAlpha) k.fill_alpha16(d, n, pixel, a, f.format16);
            else if (kind == kFillAdd) k.fill_add16(d, n, pixel, f.format16);
            else k.fill_sub16(d, n, pixel, f.format16);
            continue;
        }
        // 8- and 24-bit surfaces: the same formulas per pixel with the channel masks.
        for (size_t i = 0; i < n; ++i) {
            uint64_t d = ReadRaw(row, i, f.bytes), out = 0;
            if (kind == kFillAlpha && d == (pixel & ((1ull << (8 * f.bytes)) - 1))) continue;
            for (int c = 0; c < f.mask_count; ++c) {
                uint64_t m = f.masks[c], dc = d & m, cc = pixel & m;
                if (kind == kFillAlpha) out |= ((a * cc + (255 - a) * dc) >> 8) & m;
                else if (kind == kFillAdd) out |= std::min(m, dc + cc);
                else out |= dc > cc ? dc - cc : 0;
            }
            WriteRaw(row, i, f.bytes, static_cast<uint32_t>(out));
        }
    }
}

void TCustomDIBX::Clear(uint32_t pixel)
{
    TRect saved = ClipRect;
    ClipRect = TRect{};
    FillWith(SurfaceRect(), kFillSet, pixel, 255);
    ClipRect = saved;
}

void TCustomDIBX::FillRect(const TRect& rect, uint32_t pixel) { FillWith(rect, kFillSet, pixel, 255); }

void TCustomDIBX::FillRectAlpha(const TRect& rect, uint32_t pixel, int alpha)
{
    if (alpha <= 0) return;
    FillWith(rect, kFillAlpha, pixel, alpha);
}

void TCustomDIBX::FillRectAdd(const TRect& rect, uint32_t pixel) { FillWith(rect, kFillAdd, pixel, 255); }

void TCustomDIBX::FillRectSub(const TRect& rect, uint32_t pixel) { FillWith(rect, kFillSub, pixel, 255); }

namespace {

// The four strips of a border of width w: top and bottom always, the sides only when some
// height is left between them.
template <typename Fill>
void FrameStrips(const TRect& r, int w, Fill fill)
{
    if (w <= 0 || r.IsEmpty()) return;
    fill(TRect{r.Left, r.Top, r.Right, r.Top + w});
    fill(TRect{r.Left, r.Bottom - w, r.Right, r.Bottom});
    int inner = r.Height() - 2 * w;
    if (inner > 0) {
        fill(TRect{r.Left, r.Top + w, r.Left + w, r.Top + w + inner});
        fill(TRect{r.Right - w, r.Top + w, r.Right, r.Top + w + inner});
    }
}

}  // namespace

void TCustomDIBX::FrameRect(const TRect& rect, int width, uint32_t pixel)
{
    FrameStrips(rect, width, [&](const TRect& strip) { FillRect(strip, pixel); });
}

void TCustomDIBX::FrameRectAlpha(const TRect& rect, int width, uint32_t pixel, int alpha)
{
    if (alpha <= 0) return;
    FrameStrips(rect, width, [&](const TRect& strip) { FillRectAlpha(strip, pixel, alpha); });
}

void TCustomDIBX::FrameRectAdd(const TRect& rect, int width, uint32_t pixel)
{
    FrameStrips(rect, width, [&](const TRect& strip) { FillRectAdd(strip, pixel); });
}

}  // namespace mobu
