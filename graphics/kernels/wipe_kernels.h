// Row kernels of the screen transitions' per-pixel loops. Each has a scalar reference; the
// SSE2 and AVX2 tables give exactly the same results with packed arithmetic. WipeKernels()
// follows the active kernel level (ForceKernelLevel), so tests and benchmarks can run each.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/kernels/surface_kernels.h"

namespace mobu::kernels {

struct TWipeKernels {
    const char* Name;
    // dst[i] := mask[i] != 0 ? to[i] : from[i].
    void (*select32)(uint32_t* dst, const uint32_t* from, const uint32_t* to, const uint8_t* mask, size_t n);
    // dst[i] := from[i] where mask[i] is 0, to[i] where it is 255, between them
    // (m·to + (255 − m)·from) >> 8 on every byte: the old picture with the new one drawn over
    // it through the mask, in one pass.
    void (*blend32)(uint32_t* dst, const uint32_t* from, const uint32_t* to, const uint8_t* mask, size_t n);
    // out[i] := clamp(levels[i] + shift, 0, 255), for shift in −256..256.
    void (*shift_levels8)(uint8_t* out, const uint8_t* levels, size_t n, int shift);
    // Through grey: v := clamp(levels[i] + shift, 0, 511), shift in −512..512; while v ≤ 255
    // dst[i] := from[i] with v added to blue, green and red (saturating at 255; subtracted,
    // floored at 0, when `subtract`), beyond it to[i] with 511 − v. The fourth byte is kept.
    void (*through_grey32)(uint32_t* dst, const uint32_t* from, const uint32_t* to, const uint8_t* levels, size_t n,
                           int shift, bool subtract);
    // The same added grey with v := clamp(base − starts[i], 0, 511), for base and starts
    // within ±2^30.
    void (*through_white_starts32)(uint32_t* dst, const uint32_t* from, const uint32_t* to, const int32_t* starts,
                                   size_t n, int32_t base);
};

const TWipeKernels& WipeKernelsAt(TKernelLevel level);
// The table of the active kernel level.
const TWipeKernels& WipeKernels();

extern const TWipeKernels kScalarWipeKernels;
extern const TWipeKernels kSse2WipeKernels;
extern const TWipeKernels kAvx2WipeKernels;

}  // namespace mobu::kernels
