// Resampling: a nearest-pixel stretch, or smooth resampling through 24 bits (bilinear when
// enlarging, area averaging when reducing).
#include <algorithm>
#include <cmath>

#include "graphics/dib_surface.h"
#include "graphics/kernels/resample_kernels.h"

namespace mobu {
namespace {

// The key colour as it reads once the store has been widened to 24 bits. 15- and 16-bit
// channels widen by repeating their top bits, so the key must be widened the same way or
// keys with middle channel values would no longer match their own pixels.
uint32_t KeyAfterWidening(const TDIBSurface& store, uint32_t value)
{
    const int bits = store.BitCount();
    if (bits == 15 || bits == 16) {
        TDIBSurface probe(1, 1, bits);
        probe.SetPixel(0, 0, value);
        probe.SetBitCount(24);
        return probe.GetPixel(0, 0) & 0xFFFFFF;
    }
    int r, g, b;
    store.RGBOfValue(value, true, r, g, b);
    return static_cast<uint32_t>(r << 16 | g << 8 | b);
}

}  // namespace

void TDIBSurface::Resample(int width, int height, bool keep_bit_count, int32_t transparent_value, bool smooth)
{
    // Degenerate sizes (and an empty store) leave the store as it is instead of dividing by 0.
    if (width <= 0 || height <= 0 || IsEmpty()) return;
    if (width == width_ && height == height_) return;
    if (alpha_) alpha_->Resample(width, height, true, -1, smooth);
    std::unique_ptr<TDIBSurface> alpha = std::move(alpha_);
    int bits = BitCount();
    TDIBSurface old = *this;
    if (!smooth) {
        // Each target pixel takes the source pixel its left top corner falls on.
        SetSize(width, height, bits);
        std::vector<int> columns(static_cast<size_t>(width));
        for (int x = 0; x < width; ++x)
            columns[static_cast<size_t>(x)] = static_cast<int>(static_cast<int64_t>(x) * old.Width() / width);
        for (int y = 0; y < height; ++y) {
            int sy = static_cast<int>(static_cast<int64_t>(y) * old.Height() / height);
            for (int x = 0; x < width; ++x) SetPixel(x, y, old.GetPixel(columns[static_cast<size_t>(x)], sy));
        }
        alpha_ = std::move(alpha);
        return;
    }
    // The key as a 24-bit colour.
    int32_t key = -1;
    if (transparent_value >= 0 || bits == 32) {
        if (bits == 32) {
            key = transparent_value == -1 ? -1 : static_cast<int32_t>(static_cast<uint32_t>(transparent_value) & 0xFFFFFF);
        } else {
            key = static_cast<int32_t>(KeyAfterWidening(old, static_cast<uint32_t>(transparent_value)));
        }
    }
    TDIBSurface source24 = old;
    source24.SetBitCount(24);
    TDIBSurface target24(width, height, 24);
    kernels::TResampleImage from{source24.ScanLine(0), source24.Pitch(), source24.Width(), source24.Height()};
    kernels::TResampleImage to{target24.ScanLine(0), target24.Pitch(), width, height};
    if (width > old.Width() || height > old.Height())
        kernels::ActiveResampleKernels().Bilinear(to, from, key);
    else
        kernels::ActiveResampleKernels().AreaAverage(to, from, key);
    if (keep_bit_count && bits <= 8) {
        SetSize(width, height, bits);  // the palette is kept
        PutConverted(0, 0, -1, target24);
    } else if (keep_bit_count && (bits == 15 || bits == 16)) {
        *this = std::move(target24);
        SetBitCount(bits);
    } else {
        *this = std::move(target24);
    }
    alpha_ = std::move(alpha);
}

}  // namespace mobu
