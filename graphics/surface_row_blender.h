// One row of a copy or blend between two surfaces: picks the packed row kernel when source
// and destination share a 16- or 32-bit format, and the exact per-pixel path otherwise
// (8- and 24-bit surfaces, sources of another format).
#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/kernels/surface_kernels.h"

namespace mobu {

class TCustomDIBX;

// What a drawing operation does with each source pixel.
enum class TBlendOp {
    Copy,       // d := s, skipping the key when there is one
    Alpha,      // keyed and equal pixels skipped; ((a·s + (255 − a)·d) >> 8) per channel
    Add,        // keyed pixels skipped; min(M, d + ((a·s >> 8) AND M)) per channel
    Mask,       // 8-bit mask m: 0 skip, 255 copy, else blend with m
    AlphaMask,  // m != 0: blend with (a·m) >> 8
    AddMask,    // m != 0: add with (a·m) >> 8
};

// Pixel layout of a surface as the drawing code sees it.
struct TSurfaceFormat {
    int bit_count = 0;  // 8, 15, 16, 24 or 32; anything else is not drawn on
    int bytes = 0;
    uint64_t masks[4] = {};  // the channels blended in place
    int mask_count = 0;
    kernels::TFormat16 format16{};

    static TSurfaceFormat Of(const TCustomDIBX& surface);
    bool Drawable() const { return bytes >= 1 && bytes <= 4 && bit_count >= 8; }
    bool SameAs(const TSurfaceFormat& other) const;
};

// Raw value of pixel `x` of a row of `bytes`-byte pixels, and its store.
uint32_t ReadRaw(const uint8_t* row, size_t x, int bytes);
void WriteRaw(uint8_t* row, size_t x, int bytes, uint32_t value);

class TRowBlender {
public:
    TRowBlender(const TSurfaceFormat& dst, const TSurfaceFormat& src, TBlendOp op, uint32_t amount, int64_t key);
    // dst and src point at the first pixel; the source row is in the source format, read left
    // to right; mask (for the mask operations) holds one byte per source pixel.
    void Run(uint8_t* dst, const uint8_t* src, const uint8_t* mask, size_t count) const;

private:
    void RunPerPixel(uint8_t* dst, const uint8_t* src, const uint8_t* mask, size_t count) const;
    uint32_t Convert(uint32_t source_value) const;

    TSurfaceFormat dst_, src_;
    TBlendOp op_;
    uint32_t amount_;
    int64_t key_;
    bool packed_;
};

}  // namespace mobu
