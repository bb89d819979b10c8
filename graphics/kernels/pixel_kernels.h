// Row kernels of the pixel store's hot loops. Each has a scalar reference; the SSE2 and AVX2
// tables replace the ones that pay with packed versions giving exactly the same results.
// ActiveKernels picks the widest table the processor supports, once.
#pragma once

#include <cstdint>

namespace mobu::kernels {

struct TPixelKernels {
    const char* Name;
    // Opacity blend of one row, skipping source pixels equal to the key (the whole word for
    // 32 bits; 24 bits compare the three bytes only when key >= 0; 16 bits the 16-bit value).
    // 32 bits: each of blue, green, red := (d·(255 − a) + s·a) shr 8, fourth byte 0.
    void (*Blend32Row)(uint32_t* dst, const uint32_t* src, int count, int alpha, int32_t key);
    // 24 bits: each byte := ((255 − a)·d + a·s) div 255.
    void (*Blend24Row)(uint8_t* dst, const uint8_t* src, int count, int alpha, int32_t key);
    // 15/16 bits, per channel in place: ((255 − a)·(d and m) + a·(s and m)) div 255 and m.
    void (*Blend16Row)(uint16_t* dst, const uint16_t* src, int count, int alpha, int32_t key, bool is565);
    // Alpha-plane blends: α = 0 skips, α = 255 copies, else (d·(255 − α) + s·α) shr 8.
    void (*Masked32Row)(uint32_t* dst, const uint32_t* src, const uint8_t* alpha, int count);
    void (*Masked24Row)(uint8_t* dst, const uint8_t* src, const uint8_t* alpha, int count);
    void (*Masked16Row)(uint16_t* dst, const uint16_t* src, const uint8_t* alpha, int count, bool is565);
    // 16 → 32 bits: channels widened to bytes, either by repeating their top bits into the
    // vacated low bits (replicate) or with the low bits 0; `top` is ORed into every word.
    void (*Widen16To32Row)(uint32_t* dst, const uint16_t* src, int count, bool is565, bool replicate, uint32_t top);
    // 32 → 16 bits: each channel keeps its top bits.
    void (*Narrow32To16Row)(uint16_t* dst, const uint32_t* src, int count, bool is565);
    // 24 ↔ 32 bits: bytes copied, the fourth byte set to `top`.
    void (*Expand24To32Row)(uint32_t* dst, const uint8_t* src, int count, uint32_t top);
    void (*Pack32To24Row)(uint8_t* dst, const uint32_t* src, int count);
    // Box blur: sums[4·x + c] += row[4·x + c] (add) or −= (subtract), over count pixels.
    void (*BlurAddRow)(uint32_t* sums, const uint32_t* row, int count);
    void (*BlurSubRow)(uint32_t* sums, const uint32_t* row, int count);
    // Box blur result: out[x] = (B, G, R of sums[4·x ..] each div (widths[x]·height_count))
    // packed as 0x00RRGGBB. Every count is below 65793 so division can be done in floats.
    void (*BlurDivideRow)(uint32_t* out, const uint32_t* sums, const uint32_t* widths, uint32_t height_count,
                          int count);
};

const TPixelKernels& ScalarKernels();
// Null when the processor lacks the instruction set.
const TPixelKernels* Sse2Kernels();
const TPixelKernels* Avx2Kernels();
// The widest supported table, chosen once.
const TPixelKernels& ActiveKernels();

}  // namespace mobu::kernels
