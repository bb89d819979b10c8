// Chooses the row kernels once from the processor's features.
#include <algorithm>
#include <atomic>

#include "graphics/kernels/surface_kernel_levels.h"

namespace mobu::kernels {
namespace {

TKernelLevel DetectBestLevel()
{
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) return TKernelLevel::Avx2;
    if (__builtin_cpu_supports("sse2")) return TKernelLevel::Sse2;
    return TKernelLevel::Scalar;
}

std::atomic<int>& ActiveLevelStore()
{
    static std::atomic<int> level{static_cast<int>(DetectBestLevel())};
    return level;
}

}  // namespace

TKernelLevel BestKernelLevel()
{
    static const TKernelLevel best = DetectBestLevel();
    return best;
}

TKernelLevel ActiveKernelLevel() { return static_cast<TKernelLevel>(ActiveLevelStore().load(std::memory_order_relaxed)); }

TKernelLevel ForceKernelLevel(TKernelLevel level)
{
    if (static_cast<int>(level) > static_cast<int>(BestKernelLevel())) level = BestKernelLevel();
    ActiveLevelStore().store(static_cast<int>(level), std::memory_order_relaxed);
    return level;
}

const TKernelTable& KernelsAt(TKernelLevel level)
{
    if (static_cast<int>(level) > static_cast<int>(BestKernelLevel())) level = BestKernelLevel();
    switch (level) {
    case TKernelLevel::Avx2: return kAvx2Kernels;
    case TKernelLevel::Sse2: return kSse2Kernels;
    default: return kScalarKernels;
    }
}

const TKernelTable& Kernels() { return KernelsAt(ActiveKernelLevel()); }

namespace {

// The packed sampler steps coordinates and byte offsets in 32-bit lanes.
bool FitsIn32BitLanes(const TRotateSpan& span, size_t n)
{
    constexpr int64_t kLimit = int64_t{1} << 31;
    if (n == 0) return true;
    int64_t last = static_cast<int64_t>(n - 1);
    int64_t u_end = span.u0 + last * span.du, v_end = span.v0 + last * span.dv;
    for (int64_t value : {span.u0, span.v0, u_end, v_end})
        if (value < 0 || value >= kLimit) return false;
    int64_t rows = (std::max(span.v0, v_end) >> 16) + 1;
    if (span.mirror_rows >= 0) rows = std::max<int64_t>(rows, span.mirror_rows + 1);
    int64_t columns = (std::max(span.u0, u_end) >> 16) + 1;
    if (span.mirror_columns >= 0) columns = std::max<int64_t>(columns, span.mirror_columns + 1);
    int64_t pitch = span.pitch < 0 ? -span.pitch : span.pitch;
    return rows * pitch + columns * 4 < kLimit;
}

}  // namespace

void RotateGather32(uint32_t* dst, const TRotateSpan& span, size_t n)
{
    if (ActiveKernelLevel() == TKernelLevel::Avx2 && n >= 8 && FitsIn32BitLanes(span, n))
        RotateGather32Avx2(dst, span, n);
    else
        RotateGather32Scalar(dst, span, n);
}

}  // namespace mobu::kernels
