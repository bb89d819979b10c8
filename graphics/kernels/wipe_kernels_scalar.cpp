// The transitions' row kernels, one pixel at a time: the reference the packed tables match,
// and the table chosen by the kernel level.
#include <algorithm>

#include "graphics/kernels/wipe_kernels.h"

namespace mobu::kernels {
namespace {

void Select32(uint32_t* dst, const uint32_t* from, const uint32_t* to, const uint8_t* mask, size_t n)
{
    for (size_t i = 0; i < n; ++i) dst[i] = mask[i] ? to[i] : from[i];
}

void Blend32(uint32_t* dst, const uint32_t* from, const uint32_t* to, const uint8_t* mask, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        const uint32_t m = mask[i];
        if (m == 0 || m == 255) {
            dst[i] = m ? to[i] : from[i];
            continue;
        }
        uint32_t out = 0;
        for (int shift = 0; shift < 32; shift += 8)
            out |= ((m * ((to[i] >> shift) & 0xFFu) + (255 - m) * ((from[i] >> shift) & 0xFFu)) >> 8) << shift;
        dst[i] = out;
    }
}

void ShiftLevels8(uint8_t* out, const uint8_t* levels, size_t n, int shift)
{
    for (size_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(std::clamp(levels[i] + shift, 0, 255));
}

// The pixel with grey g added to (or taken from) each of blue, green and red.
uint32_t Grey(uint32_t pixel, int g, bool subtract)
{
    uint32_t out = pixel & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const int c = static_cast<int>((pixel >> shift) & 0xFFu);
        out |= static_cast<uint32_t>(subtract ? std::max(c - g, 0) : std::min(c + g, 255)) << shift;
    }
    return out;
}

uint32_t Through(uint32_t from, uint32_t to, int v, bool subtract)
{
    return v <= 255 ? Grey(from, v, subtract) : Grey(to, 511 - v, subtract);
}

void ThroughGrey32(uint32_t* dst, const uint32_t* from, const uint32_t* to, const uint8_t* levels, size_t n, int shift,
                   bool subtract)
{
    for (size_t i = 0; i < n; ++i) dst[i] = Through(from[i], to[i], std::clamp(levels[i] + shift, 0, 511), subtract);
}

void ThroughWhiteStarts32(uint32_t* dst, const uint32_t* from, const uint32_t* to, const int32_t* starts, size_t n,
                          int32_t base)
{
    for (size_t i = 0; i < n; ++i) dst[i] = Through(from[i], to[i], std::clamp(base - starts[i], 0, 511), false);
}

}  // namespace

const TWipeKernels kScalarWipeKernels = {"scalar", Select32, Blend32, ShiftLevels8, ThroughGrey32, ThroughWhiteStarts32};

const TWipeKernels& WipeKernelsAt(TKernelLevel level)
{
    if (static_cast<int>(level) > static_cast<int>(BestKernelLevel())) level = BestKernelLevel();
    switch (level) {
    case TKernelLevel::Avx2: return kAvx2WipeKernels;
    case TKernelLevel::Sse2: return kSse2WipeKernels;
    default: return kScalarWipeKernels;
    }
}

const TWipeKernels& WipeKernels() { return WipeKernelsAt(ActiveKernelLevel()); }

}  // namespace mobu::kernels
