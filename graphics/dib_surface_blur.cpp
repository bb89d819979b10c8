// The box blur: every pixel becomes the average of the (2r + 1) × (2r + 1) square around it,
// clipped to the image, from running row and column sums.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "graphics/dib_surface.h"
#include "graphics/kernels/pixel_kernels.h"

namespace mobu {

void TDIBSurface::Blur(int bits, int radius)
{
    if (radius == 0 || IsEmpty()) return;
    int64_t r = std::llabs(static_cast<int64_t>(radius));
    // A square wider than the image sums the same pixels as one just as wide, and keeping it
    // within the image keeps every channel sum (at most 255 × pixels) within 32 bits.
    r = std::min<int64_t>(r, std::max(width_, height_));
    int width = width_, height = height_;
    while (r > 0 && 255 * std::min<int64_t>(2 * r + 1, width) * std::min<int64_t>(2 * r + 1, height) > 0xFFFFFFFFLL) --r;
    TDIBSurface old = *this;
    old.alpha_.reset();
    std::unique_ptr<TDIBSurface> alpha = std::move(alpha_);
    SetSize(width, height, bits);
    if (bits_ <= 8) SetGreyPalette();
    alpha_ = std::move(alpha);

    // Horizontal sums of the rows, four lanes per pixel (blue, green, red, unused), made as the
    // vertical window reaches them and kept while it covers them: 2r + 2 rows at most. Left
    // uninitialised: a row's sums are written whole before they are read.
    size_t lanes = 4 * static_cast<size_t>(width);
    const int slots = static_cast<int>(std::min<int64_t>(height, 2 * r + 2));
    std::unique_ptr<uint32_t[]> horizontal(new uint32_t[lanes * static_cast<size_t>(slots)]);
    auto slot = [&](int y) { return horizontal.get() + lanes * static_cast<size_t>(y % slots); };
    std::vector<uint32_t> widths(static_cast<size_t>(width));
    int ri = static_cast<int>(r);
    for (int x = 0; x < width; ++x)
        widths[static_cast<size_t>(x)] = static_cast<uint32_t>(std::min(x + ri, width - 1) - std::max(x - ri, 0) + 1);
    std::vector<uint32_t> channels(lanes, 0), words(static_cast<size_t>(width));
    const kernels::TPixelKernels& row_kernels = kernels::ActiveKernels();
    int old_bits = old.BitCount();
    auto horizontal_row = [&](int y) -> const uint32_t* {
        // The row as 0x00RRGGBB words (16-bit channels shifted to the top of their byte).
        const uint8_t* src = old.ScanLine(y);
        if (old_bits == 32)
            std::copy_n(reinterpret_cast<const uint32_t*>(src), width, words.data());
        else if (old_bits == 24)
            row_kernels.Expand24To32Row(words.data(), src, width, 0);
        else if (old_bits == 15 || old_bits == 16)
            row_kernels.Widen16To32Row(words.data(), reinterpret_cast<const uint16_t*>(src), width, old_bits == 16, false, 0);
        else
            for (int x = 0; x < width; ++x) words[static_cast<size_t>(x)] = old.PaletteEntry(static_cast<int>(old.GetPixel(x, y)));
        for (int x = 0; x < width; ++x) {
            uint32_t w = words[static_cast<size_t>(x)];
            channels[4 * static_cast<size_t>(x)] = w & 0xFF;
            channels[4 * static_cast<size_t>(x) + 1] = (w >> 8) & 0xFF;
            channels[4 * static_cast<size_t>(x) + 2] = (w >> 16) & 0xFF;
        }
        uint32_t* out = slot(y);
        // Four lanes at a time (the fourth always 0), the window's edges handled by ranges of
        // x instead of tests per pixel: pixel x + r + 1 enters while x < a, x − r leaves from b on.
        // Four 32-bit lanes in one vector (GCC and Clang vector extension: packed where the
        // processor can, lane by lane elsewhere).
        typedef uint32_t TLanes __attribute__((vector_size(16)));
        TLanes sum = {0, 0, 0, 0};
        auto lanes_at = [&](int x) {
            TLanes v;
            std::memcpy(&v, channels.data() + 4 * static_cast<size_t>(x), sizeof v);
            return v;
        };
        auto add = [&](int x) { sum += lanes_at(x); };
        auto sub = [&](int x) { sum -= lanes_at(x); };
        auto put = [&](int x) { std::memcpy(out + 4 * static_cast<size_t>(x), &sum, sizeof sum); };
        for (int x = 0; x <= std::min(ri, width - 1); ++x) add(x);
        const int a = std::clamp(width - ri - 1, 0, width), b = std::clamp(ri, 0, width);
        int x = 0;
        for (; x < std::min(a, b); ++x) put(x), add(x + ri + 1);
        for (; x < a; ++x) put(x), add(x + ri + 1), sub(x - ri);
        for (; x < b; ++x) put(x);
        for (; x < width; ++x) put(x), sub(x - ri);
        return out;
    };

    // Vertical running sums of the horizontal sums, divided per pixel.
    const kernels::TPixelKernels& k = kernels::ActiveKernels();
    const kernels::TPixelKernels& exact = kernels::ScalarKernels();
    std::vector<uint32_t> sums(lanes, 0), result(static_cast<size_t>(width));
    for (int y = 0; y <= std::min(ri, height - 1); ++y) k.BlurAddRow(sums.data(), horizontal_row(y), width);
    int64_t widest = std::min<int64_t>(2 * r + 1, width);
    for (int y = 0; y < height; ++y) {
        uint32_t rows = static_cast<uint32_t>(std::min(y + ri, height - 1) - std::max(y - ri, 0) + 1);
        // The packed division works in floats, exact for counts below 65793.
        const kernels::TPixelKernels& divide = widest * rows < 65793 ? k : exact;
        if (bits_ > 8) divide.BlurDivideRow(result.data(), sums.data(), widths.data(), rows, width);
        uint8_t* row = ScanLine(y);
        switch (BitCount()) {
        case 32: std::copy(result.begin(), result.end(), reinterpret_cast<uint32_t*>(row)); break;
        case 24: k.Pack32To24Row(row, result.data(), width); break;
        case 16: case 15: k.Narrow32To16Row(reinterpret_cast<uint16_t*>(row), result.data(), width, BitCount() == 16); break;
        default:
            for (int x = 0; x < width; ++x) {
                // The grey level of the channel sums: (R + G + B) div count.
                uint32_t n = widths[static_cast<size_t>(x)] * rows;
                const uint32_t* s = sums.data() + 4 * static_cast<size_t>(x);
                uint32_t grey = static_cast<uint32_t>((static_cast<uint64_t>(s[0]) + s[1] + s[2]) / n);
                uint32_t value = bits_ == 8 ? grey / 3 : bits_ == 4 ? grey / 48 : (grey / 3 >= 128 ? 1u : 0u);
                SetPixel(x, y, value);
            }
            break;
        }
        int enter = y + ri + 1, leave = y - ri;
        if (enter < height) k.BlurAddRow(sums.data(), horizontal_row(enter), width);
        if (leave >= 0) k.BlurSubRow(sums.data(), slot(leave), width);
    }
}

}  // namespace mobu
