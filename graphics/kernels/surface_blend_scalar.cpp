// Scalar reference kernels: the per-channel formulas on each channel's bits in place
// (value AND channel mask, not shifted down). Products are taken in 64 bits: a channel at
// the top of a 32-bit word times an amount does not fit in 32 bits.
#include "graphics/kernels/surface_kernel_levels.h"

#include <algorithm>

namespace mobu::kernels {
namespace {

constexpr uint64_t kMasks32[4] = {0x000000FFu, 0x0000FF00u, 0x00FF0000u, 0xFF000000u};

struct TMasks16 {
    uint64_t m[3];
};

TMasks16 MasksOf(const TFormat16& f)
{
    return {{((1u << f.red_bits) - 1u) << f.red_shift, ((1u << f.green_bits) - 1u) << f.green_shift,
             ((1u << f.blue_bits) - 1u) << f.blue_shift}};
}

bool IsKey(uint32_t value, int64_t key) { return key >= 0 && value == static_cast<uint32_t>(key); }

template <size_t N>
uint32_t Blend(uint64_t s, uint64_t d, uint64_t a, const uint64_t (&masks)[N])
{
    uint64_t r = 0;
    for (uint64_t m : masks) r |= ((a * (s & m) + (255 - a) * (d & m)) >> 8) & m;
    return static_cast<uint32_t>(r);
}

template <size_t N>
uint32_t AddScaled(uint64_t s, uint64_t d, uint64_t a, const uint64_t (&masks)[N])
{
    uint64_t r = 0;
    for (uint64_t m : masks) r |= std::min(m, (d & m) + (((a * (s & m)) >> 8) & m));
    return static_cast<uint32_t>(r);
}

template <size_t N>
uint32_t AddSat(uint64_t c, uint64_t d, const uint64_t (&masks)[N])
{
    uint64_t r = 0;
    for (uint64_t m : masks) r |= std::min(m, (d & m) + (c & m));
    return static_cast<uint32_t>(r);
}

template <size_t N>
uint32_t SubSat(uint64_t c, uint64_t d, const uint64_t (&masks)[N])
{
    uint64_t r = 0;
    for (uint64_t m : masks) r |= (d & m) > (c & m) ? (d & m) - (c & m) : 0;
    return static_cast<uint32_t>(r);
}

// ---- 32-bit ----

void Alpha32(uint32_t* dst, const uint32_t* src, size_t n, uint32_t alpha, int64_t key)
{
    for (size_t i = 0; i < n; ++i) {
        uint32_t s = src[i], d = dst[i];
        if (IsKey(s, key) || s == d) continue;
        dst[i] = Blend(s, d, alpha, kMasks32);
    }
}

void Add32(uint32_t* dst, const uint32_t* src, size_t n, uint32_t amount, int64_t key)
{
    for (size_t i = 0; i < n; ++i) {
        if (IsKey(src[i], key)) continue;
        dst[i] = AddScaled(src[i], dst[i], amount, kMasks32);
    }
}

void Mask32(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        uint32_t m = mask[i];
        if (m == 0) continue;
        dst[i] = m == 255 ? src[i] : Blend(src[i], dst[i], m, kMasks32);
    }
}

void AlphaMask32(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n, uint32_t alpha)
{
    for (size_t i = 0; i < n; ++i) {
        uint32_t m = mask[i];
        if (m == 0) continue;
        dst[i] = Blend(src[i], dst[i], (alpha * m) >> 8, kMasks32);
    }
}

void AddMask32(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n, uint32_t amount)
{
    for (size_t i = 0; i < n; ++i) {
        uint32_t m = mask[i];
        if (m == 0) continue;
        dst[i] = AddScaled(src[i], dst[i], (amount * m) >> 8, kMasks32);
    }
}

void Keyed32(uint32_t* dst, const uint32_t* src, size_t n, int64_t key)
{
    for (size_t i = 0; i < n; ++i)
        if (!IsKey(src[i], key)) dst[i] = src[i];
}

void FillAlpha32(uint32_t* dst, size_t n, uint32_t colour, uint32_t alpha)
{
    for (size_t i = 0; i < n; ++i)
        if (dst[i] != colour) dst[i] = Blend(colour, dst[i], alpha, kMasks32);
}

void FillAdd32(uint32_t* dst, size_t n, uint32_t colour)
{
    for (size_t i = 0; i < n; ++i) dst[i] = AddSat(colour, dst[i], kMasks32);
}

void FillSub32(uint32_t* dst, size_t n, uint32_t colour)
{
    for (size_t i = 0; i < n; ++i) dst[i] = SubSat(colour, dst[i], kMasks32);
}

void ColourMask32(uint32_t* dst, const uint8_t* mask, size_t n, uint32_t colour, uint32_t alpha)
{
    for (size_t i = 0; i < n; ++i) {
        uint32_t m = mask[i];
        if (m == 0 || dst[i] == colour) continue;
        uint32_t b = alpha >= 255 ? m : (alpha * m) >> 8;
        dst[i] = Blend(colour, dst[i], b, kMasks32);
    }
}

void Gather32(uint32_t* dst, const uint32_t* row, size_t, const int32_t* offsets, size_t n)
{
    for (size_t i = 0; i < n; ++i) dst[i] = row[offsets[i]];
}

// ---- 16-bit ----

void Alpha16(uint16_t* dst, const uint16_t* src, size_t n, uint32_t alpha, int64_t key,
             const TFormat16& f)
{
    TMasks16 k = MasksOf(f);
    for (size_t i = 0; i < n; ++i) {
        uint16_t s = src[i], d = dst[i];
        if (IsKey(s, key) || s == d) continue;
        dst[i] = static_cast<uint16_t>(Blend(s, d, alpha, k.m));
    }
}

void Add16(uint16_t* dst, const uint16_t* src, size_t n, uint32_t amount, int64_t key,
           const TFormat16& f)
{
    TMasks16 k = MasksOf(f);
    for (size_t i = 0; i < n; ++i) {
        if (IsKey(src[i], key)) continue;
        dst[i] = static_cast<uint16_t>(AddScaled(src[i], dst[i], amount, k.m));
    }
}

void Mask16(uint16_t* dst, const uint16_t* src, const uint8_t* mask, size_t n, const TFormat16& f)
{
    TMasks16 k = MasksOf(f);
    for (size_t i = 0; i < n; ++i) {
        uint32_t m = mask[i];
        if (m == 0) continue;
        dst[i] = m == 255 ? src[i] : static_cast<uint16_t>(Blend(src[i], dst[i], m, k.m));
    }
}

void AlphaMask16(uint16_t* dst, const uint16_t* src, const uint8_t* mask, size_t n, uint32_t alpha,
                 const TFormat16& f)
{
    TMasks16 k = MasksOf(f);
    for (size_t i = 0; i < n; ++i) {
        uint32_t m = mask[i];
        if (m == 0) continue;
        dst[i] = static_cast<uint16_t>(Blend(src[i], dst[i], (alpha * m) >> 8, k.m));
    }
}

void AddMask16(uint16_t* dst, const uint16_t* src, const uint8_t* mask, size_t n, uint32_t amount,
               const TFormat16& f)
{
    TMasks16 k = MasksOf(f);
    for (size_t i = 0; i < n; ++i) {
        uint32_t m = mask[i];
        if (m == 0) continue;
        dst[i] = static_cast<uint16_t>(AddScaled(src[i], dst[i], (amount * m) >> 8, k.m));
    }
}

void Keyed16(uint16_t* dst, const uint16_t* src, size_t n, int64_t key)
{
    for (size_t i = 0; i < n; ++i)
        if (!IsKey(src[i], key)) dst[i] = src[i];
}

void FillAlpha16(uint16_t* dst, size_t n, uint32_t colour, uint32_t alpha, const TFormat16& f)
{
    TMasks16 k = MasksOf(f);
    uint16_t c = static_cast<uint16_t>(colour);
    for (size_t i = 0; i < n; ++i)
        if (dst[i] != c) dst[i] = static_cast<uint16_t>(Blend(c, dst[i], alpha, k.m));
}

void FillAdd16(uint16_t* dst, size_t n, uint32_t colour, const TFormat16& f)
{
    TMasks16 k = MasksOf(f);
    for (size_t i = 0; i < n; ++i) dst[i] = static_cast<uint16_t>(AddSat(colour, dst[i], k.m));
}

void FillSub16(uint16_t* dst, size_t n, uint32_t colour, const TFormat16& f)
{
    TMasks16 k = MasksOf(f);
    for (size_t i = 0; i < n; ++i) dst[i] = static_cast<uint16_t>(SubSat(colour, dst[i], k.m));
}

void ColourMask16(uint16_t* dst, const uint8_t* mask, size_t n, uint32_t colour, uint32_t alpha,
                  const TFormat16& f)
{
    TMasks16 k = MasksOf(f);
    uint16_t c = static_cast<uint16_t>(colour);
    for (size_t i = 0; i < n; ++i) {
        uint32_t m = mask[i];
        if (m == 0 || dst[i] == c) continue;
        uint32_t b = alpha >= 255 ? m : (alpha * m) >> 8;
        dst[i] = static_cast<uint16_t>(Blend(c, dst[i], b, k.m));
    }
}

void Gather16(uint16_t* dst, const uint16_t* row, size_t, const int32_t* offsets, size_t n)
{
    for (size_t i = 0; i < n; ++i) dst[i] = row[offsets[i]];
}

// A channel of `bits` bits widened to 8 by repeating its top bits.
uint32_t Widen(uint32_t value, int bits)
{
    uint32_t v = value << (8 - bits);
    return v | (v >> bits);
}

void Widen16To32(uint32_t* dst, const uint16_t* src, size_t n, const TFormat16& f)
{
    for (size_t i = 0; i < n; ++i) {
        uint32_t v = src[i];
        uint32_t r = Widen((v >> f.red_shift) & ((1u << f.red_bits) - 1), f.red_bits);
        uint32_t g = Widen((v >> f.green_shift) & ((1u << f.green_bits) - 1), f.green_bits);
        uint32_t b = Widen((v >> f.blue_shift) & ((1u << f.blue_bits) - 1), f.blue_bits);
        dst[i] = r << 16 | g << 8 | b;
    }
}

void Narrow32To16(uint16_t* dst, const uint32_t* src, size_t n, const TFormat16& f)
{
    for (size_t i = 0; i < n; ++i) {
        uint32_t v = src[i];
        uint32_t r = ((v >> 16) & 0xFF) >> (8 - f.red_bits);
        uint32_t g = ((v >> 8) & 0xFF) >> (8 - f.green_bits);
        uint32_t b = (v & 0xFF) >> (8 - f.blue_bits);
        dst[i] = static_cast<uint16_t>(r << f.red_shift | g << f.green_shift | b << f.blue_shift);
    }
}

template <typename T>
void RotateGather(T* dst, const TRotateSpan& span, size_t n)
{
    int64_t u = span.u0, v = span.v0;
    for (size_t i = 0; i < n; ++i, u += span.du, v += span.dv) {
        int64_t column = u >> 16, row = v >> 16;
        if (span.mirror_columns >= 0) column = span.mirror_columns - column;
        if (span.mirror_rows >= 0) row = span.mirror_rows - row;
        const uint8_t* p = span.base + row * span.pitch + column * static_cast<int64_t>(sizeof(T));
        dst[i] = *reinterpret_cast<const T*>(p);
    }
}

}  // namespace

void RotateGather32Scalar(uint32_t* dst, const TRotateSpan& span, size_t n) { RotateGather(dst, span, n); }
void RotateGather16Scalar(uint16_t* dst, const TRotateSpan& span, size_t n) { RotateGather(dst, span, n); }
void RotateGather8Scalar(uint8_t* dst, const TRotateSpan& span, size_t n) { RotateGather(dst, span, n); }

const TKernelTable kScalarKernels = {
    Alpha32,     Add32,        Mask32,    AlphaMask32, AddMask32, Keyed32,     FillAlpha32,
    FillAdd32,   FillSub32,    ColourMask32, Gather32,
    Alpha16,     Add16,        Mask16,    AlphaMask16, AddMask16, Keyed16,     FillAlpha16,
    FillAdd16,   FillSub16,    ColourMask16, Gather16,
    Widen16To32, Narrow32To16,
};

}  // namespace mobu::kernels
