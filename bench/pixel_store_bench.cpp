// Pixel store hot loops at 1280 × 720 against memcpy of the same bytes: 16↔32-bit conversion,
// the box blur, smooth resampling and the blended / alpha-plane copies, each through the
// active (widest) kernel table and through the scalar reference.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "graphics/dib_surface.h"
#include "graphics/kernels/pixel_kernels.h"
#include "graphics/kernels/resample_kernels.h"

using namespace mobu;
using namespace mobu::kernels;

namespace {

const int kWidth = 1280, kHeight = 720;

TDIBSurface RandomStore(int bits, unsigned seed)
{
    TDIBSurface s(kWidth, kHeight, bits);
    std::mt19937 random(seed);
    uint8_t* p = s.Bits();
    for (size_t i = 0; i < s.ImageSize(); ++i) p[i] = static_cast<uint8_t>(random());
    return s;
}

const TPixelKernels& Table(int which) { return which ? ActiveKernels() : ScalarKernels(); }

void Label(benchmark::State& state, int which) { state.SetLabel(Table(which).Name); }

void BM_Memcpy32(benchmark::State& state)
{
    std::vector<uint8_t> a(static_cast<size_t>(kWidth) * kHeight * 4, 1), b(a.size());
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), a.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(a.size()));
}
BENCHMARK(BM_Memcpy32);

void BM_Widen16To32(benchmark::State& state)
{
    TDIBSurface from = RandomStore(16, 1);
    std::vector<uint32_t> to(static_cast<size_t>(kWidth) * kHeight);
    const TPixelKernels& k = Table(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (int y = 0; y < kHeight; ++y)
            k.Widen16To32Row(to.data() + static_cast<size_t>(y) * kWidth, reinterpret_cast<const uint16_t*>(from.ScanLine(y)), kWidth, true, true, 0);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight * 4);
    Label(state, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_Widen16To32)->Arg(0)->Arg(1);

void BM_Narrow32To16(benchmark::State& state)
{
    TDIBSurface from = RandomStore(32, 2);
    std::vector<uint16_t> to(static_cast<size_t>(kWidth) * kHeight);
    const TPixelKernels& k = Table(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (int y = 0; y < kHeight; ++y)
            k.Narrow32To16Row(to.data() + static_cast<size_t>(y) * kWidth, reinterpret_cast<const uint32_t*>(from.ScanLine(y)), kWidth, true);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight * 4);
    Label(state, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_Narrow32To16)->Arg(0)->Arg(1);

// The whole store operation, allocation included.
void BM_SetBitCount16To32(benchmark::State& state)
{
    TDIBSurface from = RandomStore(16, 3);
    for (auto _ : state) {
        TDIBSurface s = from;
        s.SetBitCount(32);
        benchmark::DoNotOptimize(s.Bits());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight * 4);
}
BENCHMARK(BM_SetBitCount16To32);

void BM_Blend32(benchmark::State& state)
{
    TDIBSurface src = RandomStore(32, 4), dst = RandomStore(32, 5);
    const TPixelKernels& k = Table(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (int y = 0; y < kHeight; ++y)
            k.Blend32Row(reinterpret_cast<uint32_t*>(dst.ScanLine(y)), reinterpret_cast<const uint32_t*>(src.ScanLine(y)), kWidth, 100, -1);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight * 4);
    Label(state, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_Blend32)->Arg(0)->Arg(1);

void BM_Masked32(benchmark::State& state)
{
    TDIBSurface src = RandomStore(32, 6), dst = RandomStore(32, 7), alpha = RandomStore(8, 8);
    const TPixelKernels& k = Table(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (int y = 0; y < kHeight; ++y)
            k.Masked32Row(reinterpret_cast<uint32_t*>(dst.ScanLine(y)), reinterpret_cast<const uint32_t*>(src.ScanLine(y)), alpha.ScanLine(y), kWidth);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight * 4);
    Label(state, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_Masked32)->Arg(0)->Arg(1);

void BM_Blend16(benchmark::State& state)
{
    TDIBSurface src = RandomStore(16, 9), dst = RandomStore(16, 10);
    const TPixelKernels& k = Table(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (int y = 0; y < kHeight; ++y)
            k.Blend16Row(reinterpret_cast<uint16_t*>(dst.ScanLine(y)), reinterpret_cast<const uint16_t*>(src.ScanLine(y)), kWidth, 100, -1, true);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight * 2);
    Label(state, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_Blend16)->Arg(0)->Arg(1);

// The whole box blur of a 32-bit store (radius 4), allocation included.
void BM_Blur32(benchmark::State& state)
{
    TDIBSurface from = RandomStore(32, 11);
    for (auto _ : state) {
        TDIBSurface s = from;
        s.Blur(32, 4);
        benchmark::DoNotOptimize(s.Bits());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight * 4);
    state.SetLabel(ActiveKernels().Name);
}
BENCHMARK(BM_Blur32);

// Smooth resampling of the 24-bit image to 2/3 of its size (area averaging) and to 3/2
// (bilinear), kernels only.
void BM_ResampleAreaAverage(benchmark::State& state)
{
    TDIBSurface from = RandomStore(24, 12), to(kWidth * 2 / 3, kHeight * 2 / 3, 24);
    TResampleImage f{from.ScanLine(0), from.Pitch(), kWidth, kHeight}, t{to.ScanLine(0), to.Pitch(), to.Width(), to.Height()};
    const TResampleKernels& k = state.range(0) ? ActiveResampleKernels() : ScalarResampleKernels();
    for (auto _ : state) {
        k.AreaAverage(t, f, -1);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight * 4);
    state.SetLabel(k.Name);
}
BENCHMARK(BM_ResampleAreaAverage)->Arg(0)->Arg(1);

void BM_ResampleBilinear(benchmark::State& state)
{
    TDIBSurface from = RandomStore(24, 13), to(kWidth * 3 / 2, kHeight * 3 / 2, 24);
    TResampleImage f{from.ScanLine(0), from.Pitch(), kWidth, kHeight}, t{to.ScanLine(0), to.Pitch(), to.Width(), to.Height()};
    const TResampleKernels& k = state.range(0) ? ActiveResampleKernels() : ScalarResampleKernels();
    for (auto _ : state) {
        k.Bilinear(t, f, -1);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight * 4);
    state.SetLabel(k.Name);
}
BENCHMARK(BM_ResampleBilinear)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
