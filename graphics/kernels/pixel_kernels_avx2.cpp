// AVX2 row kernels, compiled with a per-function target so the library needs no -mavx2.
#include "graphics/kernels/pixel_kernels.h"
#include "graphics/kernels/pixel_kernels_scalar.h"

namespace mobu::kernels {

const TPixelKernels* Avx2Kernels()
{
    return nullptr;
}

}  // namespace mobu::kernels
