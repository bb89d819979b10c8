// Conversions between bit counts: SetBitCount (channels widened by repeating their top bits)
// and ChangeBitCount (with Floyd–Steinberg error diffusion towards 16 bits).
#include <algorithm>
#include <cstring>
#include <map>

#include "graphics/dib_surface.h"
#include "graphics/kernels/pixel_kernels.h"

namespace mobu {

namespace {

struct TColour {
    int Red, Green, Blue;
};

// Red, green and blue of a raw value, every channel widened to 8 bits by repeating its top
// bits into the vacated low bits (5 bits: v × 8 + v div 4; 6 bits: v × 4 + v div 16).
TColour WidenedColour(const TDIBSurface& s, uint32_t v)
{
    switch (s.BitCount()) {
    case 1: case 4: case 8: {
        uint32_t e = s.PaletteEntry(static_cast<int>(v));
        return {static_cast<int>((e >> 16) & 0xFF), static_cast<int>((e >> 8) & 0xFF), static_cast<int>(e & 0xFF)};
    }
    case 15: {
        int r = (v >> 10) & 0x1F, g = (v >> 5) & 0x1F, b = v & 0x1F;
        return {r * 8 + r / 4, g * 8 + g / 4, b * 8 + b / 4};
    }
    case 16: {
        int r = (v >> 11) & 0x1F, g = (v >> 5) & 0x3F, b = v & 0x1F;
        return {r * 8 + r / 4, g * 4 + g / 16, b * 8 + b / 4};
    }
    default:
        return {static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>(v & 0xFF)};
    }
}

// Packs a colour into a true-colour store's format: the top bits of each channel for 16 bits,
// the bytes for 24 and 32 bits.
uint32_t PackedValue(int bit_count, const TColour& c)
{
    switch (bit_count) {
    case 15: return static_cast<uint32_t>((c.Red >> 3) << 10 | (c.Green >> 3) << 5 | (c.Blue >> 3));
    case 16: return static_cast<uint32_t>((c.Red >> 3) << 11 | (c.Green >> 2) << 5 | (c.Blue >> 3));
    default: return static_cast<uint32_t>(c.Red << 16 | c.Green << 8 | c.Blue);
    }
}

// Fixed palettes of the quantizer: black and white, the 16 standard colours, and a
// 6 × 7 × 6 colour cube followed by greys.
void FixedPalette(TDIBSurface& s, int bits)
{
    std::array<uint32_t, 256> p{};
    if (bits == 1) {
        p[1] = 0xFFFFFF;
    } else if (bits == 4) {
        const uint32_t vga[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                                  0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
        std::copy(vga, vga + 16, p.begin());
    } else {
        int i = 0;
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 7; ++g)
                for (int b = 0; b < 6; ++b)
                    p[static_cast<size_t>(i++)] = static_cast<uint32_t>((r * 51) << 16 | (g * 255 / 6) << 8 | (b * 51));
        for (int k = 0; i < 256; ++i, ++k) {
            uint32_t v = static_cast<uint32_t>(k * 255 / 3);
            p[static_cast<size_t>(i)] = v << 16 | v << 8 | v;
        }
    }
    s.SetPalette(p);
}

// The store re-created at `bits` from `old`, each pixel mapped by `map_value`.
template <typename Map>
void Remap(TDIBSurface& store, const TDIBSurface& old, Map map_value)
{
    // Whole rows at a time: each ScanLine of a shared store checks its sharing, which per
    // pixel cost more than the mapping itself on large pictures.
    const int width = std::min(old.Width(), store.Width());
    for (int y = 0; y < std::min(old.Height(), store.Height()); ++y) {
        const uint8_t* from = old.ScanLine(y);
        uint8_t* to = store.ScanLine(y);
        for (int x = 0; x < width; ++x) store.SetRowPixel(to, x, map_value(old.RowPixel(from, x)));
    }
}

// Reduction to a palette of `bits`: the colours in use when they fit, else a fixed palette
// with every pixel mapped to its nearest entry.
void ReduceToPalette(TDIBSurface& store, const TDIBSurface& old, int bits, int max_colors)
{
    int capacity = 1 << bits;
    int limit = max_colors > 0 ? std::min(max_colors, capacity) : capacity;
    std::map<uint32_t, int> colours;  // widened colour -> palette index
    bool fits = true;
    for (int y = 0; y < old.Height() && fits; ++y)
        for (int x = 0; x < old.Width(); ++x) {
            TColour c = WidenedColour(old, old.GetPixel(x, y));
            uint32_t rgb = PackedValue(24, c);
            if (colours.count(rgb)) continue;
            if (static_cast<int>(colours.size()) >= limit) {
                fits = false;
                break;
            }
            colours.emplace(rgb, static_cast<int>(colours.size()));
        }
    store.SetSize(old.Width(), old.Height(), bits);
    if (fits) {
        std::array<uint32_t, 256> p{};
        for (const auto& [rgb, index] : colours) p[static_cast<size_t>(index)] = rgb;
        store.SetPalette(p);
        Remap(store, old, [&](uint32_t v) { return static_cast<uint32_t>(colours[PackedValue(24, WidenedColour(old, v))]); });
        return;
    }
    FixedPalette(store, bits);
    // Colours are cached: images use far fewer distinct values than pixels.
    std::map<uint32_t, uint32_t> nearest;
    Remap(store, old, [&](uint32_t v) {
        auto it = nearest.find(v);
        if (it != nearest.end()) return it->second;
        TColour c = WidenedColour(old, v);
        uint32_t index = store.ValueOfRGB(c.Red, c.Green, c.Blue);
        nearest.emplace(v, index);
        return index;
    });
}

// Floyd–Steinberg error diffusion of a 24/32-bit store into a 16-bit one. Rows run
// serpentine from the top; channel values are carried multiplied by 16.
void DitherTo16(TDIBSurface& store, const TDIBSurface& old, bool is565)
{
    int width = old.Width(), height = old.Height();
    const int bits[3] = {5, is565 ? 6 : 5, 5};  // red, green, blue
    // Carried values of this row and the next, three channels per pixel, with one spare
    // pixel on each side so the neighbours outside the image can be written and ignored.
    std::vector<int64_t> current(3 * static_cast<size_t>(width + 2)), next(current.size());
    auto at = [](std::vector<int64_t>& row, int x, int c) -> int64_t& { return row[3 * static_cast<size_t>(x + 1) + static_cast<size_t>(c)]; };
    for (int y = 0; y < height; ++y) {
        bool left_to_right = (y % 2) == 0;
        int step = left_to_right ? 1 : -1;
        std::fill(next.begin(), next.end(), 0);
        for (int i = 0; i < width; ++i) {
            int x = left_to_right ? i : width - 1 - i;
            uint32_t v = old.GetPixel(x, y);
            int channel[3] = {static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>(v & 0xFF)};
            uint32_t q_of[3];
            for (int c = 0; c < 3; ++c) {
                int n = bits[c];
                int64_t carried = at(current, x, c) + 16 * static_cast<int64_t>(channel[c]);
                int64_t value = std::clamp<int64_t>(carried / 16, 0, 255);
                int64_t q = value >> (8 - n);
                int64_t dropped = value & ((1 << (8 - n)) - 1);
                if (dropped > (1 << (7 - n)) - 1 && q < (1 << n) - 1) ++q;
                int64_t e = value - (q << (8 - n));
                q_of[c] = static_cast<uint32_t>(q);
                at(current, x + step, c) += 7 * e;
                at(next, x - step, c) += 3 * e;
                at(next, x, c) += 5 * e;
                at(next, x + step, c) += e;
            }
            uint32_t out = is565 ? q_of[0] << 11 | q_of[1] << 5 | q_of[2] : q_of[0] << 10 | q_of[1] << 5 | q_of[2];
            store.SetPixel(x, y, out);
        }
        std::swap(current, next);
    }
}

// Row conversions between true-colour formats through the kernels.
void ConvertTrueColourRows(TDIBSurface& store, const TDIBSurface& old, bool replicate, uint32_t top)
{
    const kernels::TPixelKernels& k = kernels::ActiveKernels();
    int width = old.Width();
    int from = old.BitCount(), to = store.BitCount();
    std::vector<uint32_t> words(static_cast<size_t>(width));
    for (int y = 0; y < old.Height(); ++y) {
        const uint8_t* src = old.ScanLine(y);
        uint8_t* dst = store.ScanLine(y);
        uint32_t* line = to == 32 ? reinterpret_cast<uint32_t*>(dst) : words.data();
        if (from == 15 || from == 16)
            k.Widen16To32Row(line, reinterpret_cast<const uint16_t*>(src), width, from == 16, replicate, top);
        else if (from == 24)
            k.Expand24To32Row(line, src, width, top);
        else if (to == 32)
            for (int x = 0; x < width; ++x) line[x] = (reinterpret_cast<const uint32_t*>(src)[x] & 0xFFFFFF) | top;
        else
            line = const_cast<uint32_t*>(reinterpret_cast<const uint32_t*>(src));
        if (to == 24)
            k.Pack32To24Row(dst, line, width);
        else if (to == 15 || to == 16)
            k.Narrow32To16Row(reinterpret_cast<uint16_t*>(dst), line, width, to == 16);
    }
}

}  // namespace

void TDIBSurface::SetBitCount(int bits)
{
    if (bits != 1 && bits != 4 && bits != 8 && bits != 15 && bits != 16 && bits != 24 && bits != 32) bits = 24;
    if (bits == BitCount() || bits_ == 0) {
        if (bits_ == 0) SetSize(0, 0, bits);
        return;
    }
    TDIBSurface old = *this;
    old.alpha_.reset();
    int from = old.BitCount();
    std::unique_ptr<TDIBSurface> alpha = std::move(alpha_);
    if (bits > 8) {
        SetSize(old.Width(), old.Height(), bits);
        if (from > 8)
            ConvertTrueColourRows(*this, old, true, 0);
        else
            Remap(*this, old, [&](uint32_t v) { return PackedValue(bits, WidenedColour(old, v)); });
    } else if (from <= 8 && bits > from) {
        SetSize(old.Width(), old.Height(), bits);
        Remap(*this, old, [](uint32_t v) { return v; });
    } else {
        ReduceToPalette(*this, old, bits, 0);
    }
    alpha_ = std::move(alpha);
}

void TDIBSurface::ChangeBitCount(int bits, int max_colors, bool dither)
{
    if (bits != 1 && bits != 4 && bits != 8 && bits != 15 && bits != 16 && bits != 24 && bits != 32) return;
    if (bits_ == 0) return;
    int from = BitCount();
    TDIBSurface old = *this;
    old.alpha_.reset();
    std::unique_ptr<TDIBSurface> alpha = std::move(alpha_);
    if (from <= 8 && bits <= 8 && bits >= from && static_cast<int64_t>(max_colors) >= (int64_t{1} << from)) {
        // 1. A wider palette keeps the old entries; the rest are black.
        std::array<uint32_t, 256> p{};
        std::copy_n(old.Palette().begin(), 1 << from, p.begin());
        SetSize(old.Width(), old.Height(), bits);
        SetPalette(p);
        Remap(*this, old, [](uint32_t v) { return v; });
    } else if (bits <= 8) {
        // 2 and 3. The colours in use when they fit, else a chosen palette.
        ReduceToPalette(*this, old, bits, max_colors);
    } else if ((bits == 15 || bits == 16) && (from == 24 || from == 32) && dither) {
        SetSize(old.Width(), old.Height(), bits);
        DitherTo16(*this, old, bits == 16);
    } else if (from <= 8) {
        SetSize(old.Width(), old.Height(), bits);
        uint32_t top = bits == 32 ? 0xFF000000u : 0;
        Remap(*this, old, [&](uint32_t v) {
            uint32_t e = old.PaletteEntry(static_cast<int>(v));
            TColour c{static_cast<int>((e >> 16) & 0xFF), static_cast<int>((e >> 8) & 0xFF), static_cast<int>(e & 0xFF)};
            return PackedValue(bits, c) | top;
        });
    } else {
        // Top bits towards 16, low bits 0 from 16, bytes copied between 24 and 32; 32-bit
        // words get the fourth byte 255.
        SetSize(old.Width(), old.Height(), bits);
        ConvertTrueColourRows(*this, old, false, bits == 32 ? 0xFF000000u : 0);
    }
    alpha_ = std::move(alpha);
}

}  // namespace mobu
