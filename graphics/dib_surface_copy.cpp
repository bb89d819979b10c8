// Pixel operations of the store: fills, plain, keyed, blended and alpha-plane copies,
// duplication, cropping, trimming and mirroring.
#include <algorithm>
#include <cstring>

#include "graphics/dib_surface.h"
#include "graphics/kernels/pixel_kernels.h"

namespace mobu {

namespace {

// Clips the source rectangle to the source's bounds (moving the destination with its left
// and top edges) and then to the destination bounds. False when nothing is left.
bool ClipCopy(const TDIBSurface& dest, const TDIBSurface& source, int& x, int& y, TRect& s)
{
    int64_t dx = x, dy = y;
    int64_t left = s.Left, top = s.Top, right = s.Right, bottom = s.Bottom;
    if (left < 0) dx -= left, left = 0;
    if (top < 0) dy -= top, top = 0;
    right = std::min<int64_t>(right, source.Width());
    bottom = std::min<int64_t>(bottom, source.Height());
    if (dx < 0) left -= dx, dx = 0;
    if (right - left + dx > dest.Width()) right = dest.Width() + left - dx;
    if (dy < 0) top -= dy, dy = 0;
    if (bottom - top + dy > dest.Height()) bottom = dest.Height() + top - dy;
    if (right <= left || bottom <= top) return false;
    x = static_cast<int>(dx);
    y = static_cast<int>(dy);
    s = TRect{static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
              static_cast<int32_t>(bottom)};
    return true;
}

const uint8_t kOrderedPattern[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

}  // namespace

void TDIBSurface::FillValue(const TRect& rect, uint32_t value)
{
    TRect r = IntersectRects(rect, Bounds());
    if (r.IsEmpty()) return;
    switch (BitCount()) {
    case 1: value &= 1; break;
    case 4: value &= 0x0F; break;
    case 8: value &= 0xFF; break;
    case 15: value &= 0x7FFF; break;
    case 16: value &= 0xFFFF; break;
    case 24: value &= 0xFFFFFF; break;
    default: break;
    }
    for (int y = r.Top; y < r.Bottom; ++y) {
        uint8_t* row = ScanLine(y);
        switch (bits_) {
        case 8: std::memset(row + r.Left, static_cast<int>(value), static_cast<size_t>(r.Width())); break;
        case 16: std::fill_n(reinterpret_cast<uint16_t*>(row) + r.Left, r.Width(), static_cast<uint16_t>(value)); break;
        case 32: std::fill_n(reinterpret_cast<uint32_t*>(row) + r.Left, r.Width(), value); break;
        case 1:
        case 4: {
            // Whole bytes at once, the pixels of partly covered bytes one by one.
            const int per_byte = 8 / bits_;
            const int first_whole = std::min(r.Right, (r.Left + per_byte - 1) / per_byte * per_byte);
            const int last_whole = std::max(first_whole, r.Right / per_byte * per_byte);
            for (int x = r.Left; x < first_whole; ++x) SetPixel(x, y, value);
            const uint8_t byte = static_cast<uint8_t>(bits_ == 1 ? (value ? 0xFF : 0x00) : (value << 4 | value));
            std::memset(row + first_whole / per_byte, byte, static_cast<size_t>((last_whole - first_whole) / per_byte));
            for (int x = last_whole; x < r.Right; ++x) SetPixel(x, y, value);
            break;
        }
        case 24:
            for (int x = r.Left; x < r.Right; ++x) {
                uint8_t* p = row + 3 * static_cast<size_t>(x);
                p[0] = static_cast<uint8_t>(value);
                p[1] = static_cast<uint8_t>(value >> 8);
                p[2] = static_cast<uint8_t>(value >> 16);
            }
            break;
        default:
            for (int x = r.Left; x < r.Right; ++x) SetPixel(x, y, value);
            break;
        }
    }
}

void TDIBSurface::PutImage(int x, int y, const TDIBSurface& source)
{
    PutImage(x, y, source.Bounds(), source);
}

void TDIBSurface::PutImage(int x, int y, const TRect& source_rect, const TDIBSurface& source)
{
    TRect s = source_rect;
    if (source.StoreBitCount() != bits_ || !ClipCopy(*this, source, x, y, s)) return;
    if (bits_ >= 8) {
        size_t bpp = static_cast<size_t>(bits_ / 8);
        for (int row = 0; row < s.Height(); ++row)
            std::memmove(ScanLine(y + row) + bpp * static_cast<size_t>(x),
                         source.ScanLine(s.Top + row) + bpp * static_cast<size_t>(s.Left),
                         bpp * static_cast<size_t>(s.Width()));
        return;
    }
    for (int row = 0; row < s.Height(); ++row)
        for (int col = 0; col < s.Width(); ++col)
            SetPixel(x + col, y + row, source.GetPixel(s.Left + col, s.Top + row));
}

void TDIBSurface::PutKeyed(int x, int y, int32_t transparent_value, const TRect& source_rect, const TDIBSurface& source)
{
    TRect s = source_rect;
    if (source.StoreBitCount() != bits_ || !ClipCopy(*this, source, x, y, s)) return;
    if (bits_ == 32) {
        uint32_t key = static_cast<uint32_t>(transparent_value);
        for (int row = 0; row < s.Height(); ++row) {
            uint32_t* d = reinterpret_cast<uint32_t*>(ScanLine(y + row)) + x;
            const uint32_t* src = reinterpret_cast<const uint32_t*>(source.ScanLine(s.Top + row)) + s.Left;
            for (int i = 0; i < s.Width(); ++i)
                if (src[i] != key) d[i] = src[i];
        }
        return;
    }
    if (transparent_value < 0) {
        PutImage(x, y, s, source);
        return;
    }
    uint32_t key = static_cast<uint32_t>(transparent_value);
    for (int row = 0; row < s.Height(); ++row)
        for (int col = 0; col < s.Width(); ++col) {
            uint32_t v = source.GetPixel(s.Left + col, s.Top + row);
            if (v != key) SetPixel(x + col, y + row, v);
        }
}

void TDIBSurface::PutBlended(int x, int y, int opacity, int32_t transparent_value, const TRect& source_rect,
                             const TDIBSurface& source)
{
    if (opacity == 0) return;
    int level = opacity / 16;
    if (opacity > 254 || opacity < 0 || (bits_ <= 8 && level > 14)) {
        PutKeyed(x, y, transparent_value, source_rect, source);
        return;
    }
    TRect s = source_rect;
    if (source.StoreBitCount() != bits_ || !ClipCopy(*this, source, x, y, s)) return;
    const kernels::TPixelKernels& k = kernels::ActiveKernels();
    bool is565 = BitCount() == 16;
    for (int row = 0; row < s.Height(); ++row) {
        int dy = y + row;
        switch (bits_) {
        case 32:
            k.Blend32Row(reinterpret_cast<uint32_t*>(ScanLine(dy)) + x,
                         reinterpret_cast<const uint32_t*>(source.ScanLine(s.Top + row)) + s.Left, s.Width(), opacity,
                         transparent_value);
            break;
        case 24:
            k.Blend24Row(ScanLine(dy) + 3 * static_cast<size_t>(x), source.ScanLine(s.Top + row) + 3 * static_cast<size_t>(s.Left),
                         s.Width(), opacity, transparent_value);
            break;
        case 16:
            k.Blend16Row(reinterpret_cast<uint16_t*>(ScanLine(dy)) + x,
                         reinterpret_cast<const uint16_t*>(source.ScanLine(s.Top + row)) + s.Left, s.Width(), opacity,
                         transparent_value, is565);
            break;
        default:
            for (int col = 0; col < s.Width(); ++col) {
                int dx = x + col;
                if (kOrderedPattern[dy & 3][dx & 3] > level) continue;
                uint32_t v = source.GetPixel(s.Left + col, s.Top + row);
                if (static_cast<int32_t>(v) != transparent_value) SetPixel(dx, dy, v);
            }
            break;
        }
    }
}

void TDIBSurface::PutMasked(int x, int y, const TRect& source_rect, const TDIBSurface& source)
{
    const TDIBSurface* alpha = source.AlphaPlane();
    if (!alpha) {
        PutImage(x, y, source_rect, source);
        return;
    }
    TRect s = IntersectRects(source_rect, alpha->Bounds());
    if (s.Left > source_rect.Left) x += s.Left - source_rect.Left;
    if (s.Top > source_rect.Top) y += s.Top - source_rect.Top;
    if (source.StoreBitCount() != bits_ || !ClipCopy(*this, source, x, y, s)) return;
    const kernels::TPixelKernels& k = kernels::ActiveKernels();
    bool is565 = BitCount() == 16;
    for (int row = 0; row < s.Height(); ++row) {
        int dy = y + row;
        const uint8_t* a = alpha->ScanLine(s.Top + row) + s.Left;
        switch (bits_) {
        case 32:
            k.Masked32Row(reinterpret_cast<uint32_t*>(ScanLine(dy)) + x,
                          reinterpret_cast<const uint32_t*>(source.ScanLine(s.Top + row)) + s.Left, a, s.Width());
            break;
        case 24:
            k.Masked24Row(ScanLine(dy) + 3 * static_cast<size_t>(x), source.ScanLine(s.Top + row) + 3 * static_cast<size_t>(s.Left),
                          a, s.Width());
            break;
        case 16:
            k.Masked16Row(reinterpret_cast<uint16_t*>(ScanLine(dy)) + x,
                          reinterpret_cast<const uint16_t*>(source.ScanLine(s.Top + row)) + s.Left, a, s.Width(), is565);
            break;
        default:
            for (int col = 0; col < s.Width(); ++col)
                if (a[col] >= 128) SetPixel(x + col, dy, source.GetPixel(s.Left + col, s.Top + row));
            break;
        }
    }
}

void TDIBSurface::PutConverted(int x, int y, int32_t transparent_value, const TDIBSurface& source)
{
    TRect s = source.Bounds();
    if (source.IsEmpty() || IsEmpty() || !ClipCopy(*this, source, x, y, s)) return;
    int source_bits = source.BitCount(), dest_bits = BitCount();
    if (source_bits <= 8 && dest_bits <= 8) {
        if (source_bits == dest_bits && source.Palette() == palette_) {
            if (transparent_value < 0)
                PutImage(x, y, s, source);
            else
                PutKeyed(x, y, transparent_value, s, source);
            return;
        }
    }
    if (source_bits <= 8) {
        // Every source palette entry is mapped once.
        uint32_t map[256];
        int entries = source.PaletteSize();
        for (int i = 0; i < entries; ++i) {
            uint32_t e = source.PaletteEntry(i);
            map[i] = ValueOfRGB(static_cast<int>((e >> 16) & 0xFF), static_cast<int>((e >> 8) & 0xFF), static_cast<int>(e & 0xFF));
        }
        for (int row = 0; row < s.Height(); ++row)
            for (int col = 0; col < s.Width(); ++col) {
                uint32_t v = source.GetPixel(s.Left + col, s.Top + row);
                if (transparent_value >= 0 && v == static_cast<uint32_t>(transparent_value)) continue;
                SetPixel(x + col, y + row, map[v & 0xFF]);
            }
        return;
    }
    // True-colour source: through the colour of each pixel (widened with its low bits set).
    for (int row = 0; row < s.Height(); ++row)
        for (int col = 0; col < s.Width(); ++col) {
            uint32_t v = source.GetPixel(s.Left + col, s.Top + row);
            if (transparent_value >= 0 && v == static_cast<uint32_t>(transparent_value)) continue;
            int r, g, b;
            source.RGBOfValue(v, true, r, g, b);
            SetPixel(x + col, y + row, ValueOfRGB(r, g, b));
        }
}

void TDIBSurface::Duplicate(const TDIBSurface& source)
{
    if (this == &source) return;
    *this = source;
    MakeOwn();
    if (alpha_) alpha_->MakeOwn();
}

void TDIBSurface::CropTo(const TRect& rect)
{
    TRect r = IntersectRects(rect, Bounds());
    if (r.IsEmpty()) r = TRect{0, 0, 0, 0};
    TDIBSurface old = *this;
    int bits = BitCount();
    alpha_.reset();
    SetSize(r.Width(), r.Height(), bits);
    PutImage(0, 0, r, old);
    if (old.alpha_) {
        MakeAlphaPlane();
        alpha_->PutImage(0, 0, r, *old.alpha_);
    }
}

TRect TDIBSurface::OpaqueBounds(int32_t transparent_value) const
{
    if (transparent_value == -1 || IsEmpty()) return Bounds();
    uint32_t key = static_cast<uint32_t>(transparent_value);
    auto row_clear = [&](int y) {
        for (int x = 0; x < width_; ++x)
            if (GetPixel(x, y) != key) return false;
        return true;
    };
    int top = 0;
    while (top < height_ && row_clear(top)) ++top;
    if (top == height_) return TRect{0, 0, 0, 0};
    int bottom = height_;
    while (bottom > top && row_clear(bottom - 1)) --bottom;
    auto column_clear = [&](int x) {
        for (int y = top; y < bottom; ++y)
            if (GetPixel(x, y) != key) return false;
        return true;
    };
    int left = 0;
    while (left < width_ && column_clear(left)) ++left;
    int right = width_;
    while (right > left && column_clear(right - 1)) --right;
    return TRect{left, top, right, bottom};
}

TRect TDIBSurface::TrimTo(int32_t transparent_value)
{
    TRect r = OpaqueBounds(transparent_value);
    if (r == Bounds()) return r;
    if (r.IsEmpty()) r = TRect{0, 0, 1, 1};
    CropTo(r);
    return r;
}

void TDIBSurface::MirrorHorizontal()
{
    for (int y = 0; y < height_; ++y)
        for (int x = 0, z = width_ - 1; x < z; ++x, --z) {
            uint32_t a = GetPixel(x, y), b = GetPixel(z, y);
            SetPixel(x, y, b);
            SetPixel(z, y, a);
        }
    if (alpha_) alpha_->MirrorHorizontal();
}

void TDIBSurface::FlipVertical()
{
    std::vector<uint8_t> swap(row_bytes_);
    for (int y = 0, z = height_ - 1; y < z; ++y, --z) {
        std::memcpy(swap.data(), ScanLine(y), row_bytes_);
        std::memcpy(ScanLine(y), ScanLine(z), row_bytes_);
        std::memcpy(ScanLine(z), swap.data(), row_bytes_);
    }
    if (alpha_) alpha_->FlipVertical();
}

}  // namespace mobu
