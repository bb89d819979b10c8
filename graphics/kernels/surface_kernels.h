// Row kernels of the drawing surfaces: every hot pixel loop works on one row of raw pixels.
//
// Each operation has a scalar reference (the definition of the result) and packed SSE2 and,
// where it pays, AVX2 versions that give exactly the same pixels. The dispatching entry points
// pick the best version once, from the processor's features; tests can force a level.
//
// 32-bit pixels: all four bytes go through the same per-byte formula (the top byte carries no
// colour but is blended like the others). 16-bit pixels: the three channels of a 5-6-5 or
// 5-5-5 word, each blended on its own bits.
//
// Keys: `key` is the raw source value that is skipped, or kNoKey.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mobu::kernels {

inline constexpr int64_t kNoKey = -1;

// Channel layout of a 16-bit store.
struct TFormat16 {
    int red_shift, red_bits;
    int green_shift, green_bits;
    int blue_shift, blue_bits;
};
inline constexpr TFormat16 kFormat565{11, 5, 5, 6, 0, 5};
inline constexpr TFormat16 kFormat555{10, 5, 5, 5, 0, 5};

enum class TKernelLevel { Scalar = 0, Sse2 = 1, Avx2 = 2 };

// The level the dispatching entry points use: the best the processor has, unless forced.
TKernelLevel ActiveKernelLevel();
TKernelLevel BestKernelLevel();
// Forces a level (clamped to what the processor supports); returns the level now in use.
TKernelLevel ForceKernelLevel(TKernelLevel level);

// One table of row kernels. Counts are pixels; `alpha` is 0..255, additive `amount` 0..256.
struct TKernelTable {
    // 32-bit rows.
    // d := ((a*s + (255-a)*d) >> 8) per byte; skipped where s == key or s == d.
    void (*alpha32)(uint32_t* dst, const uint32_t* src, size_t n, uint32_t alpha, int64_t key);
    // d := min(255, d + ((a*s) >> 8)) per byte; skipped where s == key.
    void (*add32)(uint32_t* dst, const uint32_t* src, size_t n, uint32_t amount, int64_t key);
    // m = mask: 0 skip, 255 copy, else d := (m*s + (255-m)*d) >> 8 per byte.
    void (*mask32)(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n);
    // m != 0: b = (a*m) >> 8; d := (b*s + (255-b)*d) >> 8 per byte.
    void (*alpha_mask32)(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n,
                         uint32_t alpha);
    // m != 0: b = (a*m) >> 8; d := min(255, d + ((b*s) >> 8)) per byte.
    void (*add_mask32)(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n,
                       uint32_t amount);
    // d := s where s != key.
    void (*keyed32)(uint32_t* dst, const uint32_t* src, size_t n, int64_t key);
    // d != c: d := (a*c + (255-a)*d) >> 8 per byte.
    void (*fill_alpha32)(uint32_t* dst, size_t n, uint32_t colour, uint32_t alpha);
    // d := min(255, d + c) / max(0, d - c) per byte.
    void (*fill_add32)(uint32_t* dst, size_t n, uint32_t colour);
    void (*fill_sub32)(uint32_t* dst, size_t n, uint32_t colour);
    // Glyph colour through a mask: m != 0, d != c: b = alpha >= 255 ? m : (alpha*m) >> 8;
    // d := ((255-b)*d + b*c) >> 8 per byte.
    void (*colour_mask32)(uint32_t* dst, const uint8_t* mask, size_t n, uint32_t colour,
                          uint32_t alpha);
    // dst[i] := row[offsets[i]] (nearest-neighbour stretch of one row); every offset lies in
    // [0, row_length).
    void (*gather32)(uint32_t* dst, const uint32_t* row, size_t row_length, const int32_t* offsets, size_t n);

    // 16-bit rows: the same operations per channel of the format.
    void (*alpha16)(uint16_t* dst, const uint16_t* src, size_t n, uint32_t alpha, int64_t key,
                    const TFormat16& format);
    void (*add16)(uint16_t* dst, const uint16_t* src, size_t n, uint32_t amount, int64_t key,
                  const TFormat16& format);
    void (*mask16)(uint16_t* dst, const uint16_t* src, const uint8_t* mask, size_t n,
                   const TFormat16& format);
    void (*alpha_mask16)(uint16_t* dst, const uint16_t* src, const uint8_t* mask, size_t n,
                         uint32_t alpha, const TFormat16& format);
    void (*add_mask16)(uint16_t* dst, const uint16_t* src, const uint8_t* mask, size_t n,
                       uint32_t amount, const TFormat16& format);
    void (*keyed16)(uint16_t* dst, const uint16_t* src, size_t n, int64_t key);
    void (*fill_alpha16)(uint16_t* dst, size_t n, uint32_t colour, uint32_t alpha,
                         const TFormat16& format);
    void (*fill_add16)(uint16_t* dst, size_t n, uint32_t colour, const TFormat16& format);
    void (*fill_sub16)(uint16_t* dst, size_t n, uint32_t colour, const TFormat16& format);
    void (*colour_mask16)(uint16_t* dst, const uint8_t* mask, size_t n, uint32_t colour,
                          uint32_t alpha, const TFormat16& format);
    void (*gather16)(uint16_t* dst, const uint16_t* row, size_t row_length, const int32_t* offsets, size_t n);

    // Format conversion of one row: 16 -> 32 widens each channel to 8 bits by repeating its
    // top bits into the vacated low bits (top byte 0); 32 -> 16 keeps each channel's top bits.
    void (*widen16to32)(uint32_t* dst, const uint16_t* src, size_t n, const TFormat16& format);
    void (*narrow32to16)(uint16_t* dst, const uint32_t* src, size_t n, const TFormat16& format);
};

// The kernels of one level (levels the processor lacks fall back to the best it has).
const TKernelTable& KernelsAt(TKernelLevel level);
// The kernels in use.
const TKernelTable& Kernels();

// Rotation sampling of one destination row: for i in 0..n-1 with u = u0 + i*du and
// v = v0 + i*dv (16.16 fixed point, already known to fall inside the source), dst[i] :=
// the source pixel at (u >> 16, v >> 16), columns and rows mirrored inside the source
// rectangle when flipped. The source is addressed as base + row * pitch + column * size.
struct TRotateSpan {
    const uint8_t* base;
    std::ptrdiff_t pitch;
    int64_t u0, v0, du, dv;
    int32_t mirror_columns;  // left + right - 1 when flipped horizontally, else -1
    int32_t mirror_rows;     // top + bottom - 1 when flipped vertically, else -1
};
void RotateGather32Scalar(uint32_t* dst, const TRotateSpan& span, size_t n);
void RotateGather16Scalar(uint16_t* dst, const TRotateSpan& span, size_t n);
void RotateGather8Scalar(uint8_t* dst, const TRotateSpan& span, size_t n);
void RotateGather32(uint32_t* dst, const TRotateSpan& span, size_t n);  // dispatching

}  // namespace mobu::kernels
