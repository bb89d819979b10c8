// Scalar reference of every row kernel: the results the packed versions must reproduce.
#include <cstring>

#include "graphics/kernels/pixel_kernels.h"
#include "graphics/kernels/pixel_kernels_scalar.h"

namespace mobu::kernels::scalar {

void Blend32Row(uint32_t* dst, const uint32_t* src, int count, int alpha, int32_t key)
{
    uint32_t a = static_cast<uint32_t>(alpha), na = 255 - a;
    for (int i = 0; i < count; ++i) {
        uint32_t s = src[i];
        if (static_cast<int32_t>(s) == key) continue;
        uint32_t d = dst[i];
        uint32_t rb = (((d & 0xFF00FF) * na + (s & 0xFF00FF) * a) >> 8) & 0xFF00FF;
        uint32_t g = (((d & 0xFF00) * na + (s & 0xFF00) * a) >> 8) & 0xFF00;
        dst[i] = rb | g;
    }
}

void Blend24Row(uint8_t* dst, const uint8_t* src, int count, int alpha, int32_t key)
{
    uint32_t a = static_cast<uint32_t>(alpha), na = 255 - a;
    for (int i = 0; i < count; ++i) {
        const uint8_t* s = src + 3 * i;
        uint8_t* d = dst + 3 * i;
        if (key >= 0 && (s[0] | s[1] << 8 | s[2] << 16) == (key & 0xFFFFFF)) continue;
        for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>((na * d[c] + a * s[c]) / 255);
    }
}

void Blend16Row(uint16_t* dst, const uint16_t* src, int count, int alpha, int32_t key, bool is565)
{
    uint32_t a = static_cast<uint32_t>(alpha), na = 255 - a;
    const uint32_t masks[3] = {is565 ? 0xF800u : 0x7C00u, is565 ? 0x07E0u : 0x03E0u, 0x001Fu};
    for (int i = 0; i < count; ++i) {
        uint32_t s = src[i];
        if (static_cast<int32_t>(s) == key) continue;
        uint32_t d = dst[i], out = 0;
        for (uint32_t m : masks) out |= m & ((na * (d & m) + a * (s & m)) / 255);
        dst[i] = static_cast<uint16_t>(out);
    }
}

void Masked32Row(uint32_t* dst, const uint32_t* src, const uint8_t* alpha, int count)
{
    for (int i = 0; i < count; ++i) {
        uint32_t a = alpha[i];
        if (a == 0) continue;
        if (a == 255) {
            dst[i] = src[i];
            continue;
        }
        uint32_t s = src[i], d = dst[i], na = 255 - a;
        uint32_t rb = (((d & 0xFF00FF) * na + (s & 0xFF00FF) * a) >> 8) & 0xFF00FF;
        uint32_t g = (((d & 0xFF00) * na + (s & 0xFF00) * a) >> 8) & 0xFF00;
        dst[i] = rb | g;
    }
}

void Masked24Row(uint8_t* dst, const uint8_t* src, const uint8_t* alpha, int count)
{
    for (int i = 0; i < count; ++i) {
        uint32_t a = alpha[i];
        if (a == 0) continue;
        const uint8_t* s = src + 3 * i;
        uint8_t* d = dst + 3 * i;
        if (a == 255) {
            d[0] = s[0], d[1] = s[1], d[2] = s[2];
            continue;
        }
        for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>((s[c] * a + d[c] * (255 - a)) >> 8);
    }
}

void Masked16Row(uint16_t* dst, const uint16_t* src, const uint8_t* alpha, int count, bool is565)
{
    const uint32_t masks[3] = {is565 ? 0xF800u : 0x7C00u, is565 ? 0x07E0u : 0x03E0u, 0x001Fu};
    for (int i = 0; i < count; ++i) {
        uint32_t a = alpha[i];
        if (a == 0) continue;
        if (a == 255) {
            dst[i] = src[i];
            continue;
        }
        uint32_t s = src[i], d = dst[i], out = 0;
        for (uint32_t m : masks) out |= m & (((d & m) * (255 - a) + a * (s & m)) >> 8);
        dst[i] = static_cast<uint16_t>(out);
    }
}

void Widen16To32Row(uint32_t* dst, const uint16_t* src, int count, bool is565, bool replicate, uint32_t top)
{
    for (int i = 0; i < count; ++i) {
        uint32_t v = src[i], r, g, b;
        b = v & 0x1F;
        if (is565) {
            g = (v >> 5) & 0x3F;
            r = v >> 11;
        } else {
            g = (v >> 5) & 0x1F;
            r = (v >> 10) & 0x1F;
        }
        if (replicate) {
            b = b * 8 + b / 4;
            r = r * 8 + r / 4;
            g = is565 ? g * 4 + g / 16 : g * 8 + g / 4;
        } else {
            b <<= 3;
            r <<= 3;
            g <<= is565 ? 2 : 3;
        }
        dst[i] = top | r << 16 | g << 8 | b;
    }
}

void Narrow32To16Row(uint16_t* dst, const uint32_t* src, int count, bool is565)
{
    for (int i = 0; i < count; ++i) {
        uint32_t v = src[i];
        uint32_t r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
        dst[i] = static_cast<uint16_t>(is565 ? (r >> 3) << 11 | (g >> 2) << 5 | b >> 3
                                             : (r >> 3) << 10 | (g >> 3) << 5 | b >> 3);
    }
}

void Expand24To32Row(uint32_t* dst, const uint8_t* src, int count, uint32_t top)
{
    for (int i = 0; i < count; ++i)
        dst[i] = top | static_cast<uint32_t>(src[3 * i] | src[3 * i + 1] << 8 | src[3 * i + 2] << 16);
}

void Pack32To24Row(uint8_t* dst, const uint32_t* src, int count)
{
    for (int i = 0; i < count; ++i) {
        uint32_t v = src[i];
        dst[3 * i] = static_cast<uint8_t>(v);
        dst[3 * i + 1] = static_cast<uint8_t>(v >> 8);
        dst[3 * i + 2] = static_cast<uint8_t>(v >> 16);
    }
}

void BlurAddRow(uint32_t* sums, const uint32_t* row, int count)
{
    for (int i = 0; i < 4 * count; ++i) sums[i] += row[i];
}

void BlurSubRow(uint32_t* sums, const uint32_t* row, int count)
{
    for (int i = 0; i < 4 * count; ++i) sums[i] -= row[i];
}

void BlurDivideRow(uint32_t* out, const uint32_t* sums, const uint32_t* widths, uint32_t height_count, int count)
{
    for (int i = 0; i < count; ++i) {
        uint32_t n = widths[i] * height_count;
        uint32_t b = sums[4 * i] / n, g = sums[4 * i + 1] / n, r = sums[4 * i + 2] / n;
        out[i] = r << 16 | g << 8 | b;
    }
}

}  // namespace mobu::kernels::scalar

namespace mobu::kernels {

const TPixelKernels& ScalarKernels()
{
    static const TPixelKernels table = {
        "scalar",
        scalar::Blend32Row,
        scalar::Blend24Row,
        scalar::Blend16Row,
        scalar::Masked32Row,
        scalar::Masked24Row,
        scalar::Masked16Row,
        scalar::Widen16To32Row,
        scalar::Narrow32To16Row,
        scalar::Expand24To32Row,
        scalar::Pack32To24Row,
        scalar::BlurAddRow,
        scalar::BlurSubRow,
        scalar::BlurDivideRow,
    };
    return table;
}

}  // namespace mobu::kernels
