// SSE2 row kernels (filled in below; the table falls back to scalar where none pays).
#include "graphics/kernels/pixel_kernels.h"
#include "graphics/kernels/pixel_kernels_scalar.h"

namespace mobu::kernels {

const TPixelKernels* Sse2Kernels()
{
    return nullptr;
}

}  // namespace mobu::kernels
