// The kernel tables of each instruction-set level, filled by their own source files.
#pragma once

#include "graphics/kernels/surface_kernels.h"

namespace mobu::kernels {

extern const TKernelTable kScalarKernels;
extern const TKernelTable kSse2Kernels;
extern const TKernelTable kAvx2Kernels;

void RotateGather32Avx2(uint32_t* dst, const TRotateSpan& span, size_t n);

}  // namespace mobu::kernels
