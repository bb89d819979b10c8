// Choice of the kernel table by a processor check made once.
#include "graphics/kernels/pixel_kernels.h"

namespace mobu::kernels {

const TPixelKernels& ActiveKernels()
{
    static const TPixelKernels& chosen = [] () -> const TPixelKernels& {
        if (const TPixelKernels* avx2 = Avx2Kernels()) return *avx2;
        if (const TPixelKernels* sse2 = Sse2Kernels()) return *sse2;
        return ScalarKernels();
    }();
    return chosen;
}

}  // namespace mobu::kernels
