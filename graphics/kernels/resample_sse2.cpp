// SSE2 smooth resampling (filled in below).
#include "graphics/kernels/resample_kernels.h"

namespace mobu::kernels {

const TResampleKernels* Sse2ResampleKernels() { return nullptr; }

}  // namespace mobu::kernels
