// Screen transitions at 1280 × 720, 32 bits: every effect stepped through its duration at
// positions that change its level on each step (16 positions a cycle; the mask-picture
// effects with a full-screen gradient mask, the random ones seeded), and the one-time cost
// of creating and preparing it (tables, blurred copies, chips). The floor, measured in the
// same run, is one full-screen DrawAlpha of the same two pictures; the table gives every
// effect's step and creation as ratios to it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/time_table_reporter.h"
#include "expr/script_random.h"
#include "graphics/dibx.h"
#include "graphics/wipes/wipe_shadows.h"
#include "graphics/wipes/wipe_table.h"

namespace {

using namespace mobu;

constexpr int kWidth = 1280, kHeight = 720;
constexpr int32_t kDuration = 1 << 20;
constexpr int kPositions = 16;

struct TPictures {
    TDIBX from, to, target;
    TPictures()
    {
        for (TDIBX* s : {&from, &to, &target}) s->SetSize(kWidth, kHeight, 32);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                from.SetPixel(x, y, static_cast<uint32_t>((x * 255 / kWidth) | ((y * 255 / kHeight) << 8)));
                to.SetPixel(x, y, static_cast<uint32_t>(((x ^ y) & 0xFF) << 16 | 0x3020));
            }
        target.Assign(from);
    }
};

TPictures& Pictures()
{
    static TPictures pictures;
    return pictures;
}

bool GradientMask(const std::string&, TWipeMaskPlane& levels)
{
    levels.SetSize(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) levels.Row(y)[x] = static_cast<uint8_t>((x + y) * 255 / (kWidth + kHeight));
    return true;
}

std::unique_ptr<TCustomWipe> Make(int id)
{
    TPictures& p = Pictures();
    SeedScriptRandom(1);
    auto wipe = CreateWipe(id, &p.target, &p.from, &p.to);
    wipe->SetReverse(0);
    wipe->SetMaskName("gradient");
    wipe->Duration = kDuration;
    wipe->Prepare();
    return wipe;
}

void Floor(benchmark::State& state)
{
    TPictures& p = Pictures();
    for (auto _ : state) {
        p.target.DrawAlpha(0, 0, p.to, p.to.SurfaceRect(), false, false, false, 128);
        benchmark::DoNotOptimize(p.target.PixelAddress(0, 0));
        p.target.UnlockPixels();
    }
}

void Steps(benchmark::State& state, int id)
{
    auto wipe = Make(id);
    int k = 0;
    for (auto _ : state) {
        wipe->Position = static_cast<int32_t>(int64_t{kDuration} * k / kPositions);
        k = (k + 1) % kPositions;
        benchmark::DoNotOptimize(wipe->Step());
    }
}

void Creation(benchmark::State& state, int id)
{
    for (auto _ : state) benchmark::DoNotOptimize(Make(id));
}

class TRatioReporter : public mobu::bench::TTimeTableReporter {
public:
    void PrintTable() const
    {
        const double floor = Time("floor");
        std::printf("\n%-16s %10s %10s %10s\n", "effect", "step us", "step/flr", "create/flr");
        double worst = 0;
        std::string worst_name;
        for (const TWipeKind& kind : WipeKinds()) {
            if (!kind.Make) continue;
            const double step = Time(std::string("step/") + kind.Name);
            const double create = Time(std::string("create/") + kind.Name);
            std::printf("%-16s %10.0f %10.2f %10.2f\n", kind.Name, step, step / floor, create / floor);
            if (step / floor > worst) worst = step / floor, worst_name = kind.Name;
        }
        std::printf("floor (one full-screen DrawAlpha): %.0f us; worst step: %s at %.2f× the floor\n", floor,
                    worst_name.c_str(), worst);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    SetWipeMaskLoader(GradientMask);
    benchmark::RegisterBenchmark("floor", Floor)->Unit(benchmark::kMicrosecond);
    for (const TWipeKind& kind : WipeKinds()) {
        if (!kind.Make) continue;
        benchmark::RegisterBenchmark((std::string("step/") + kind.Name).c_str(), Steps, kind.Id)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("create/") + kind.Name).c_str(), Creation, kind.Id)
            ->Unit(benchmark::kMicrosecond);
    }
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintTable();
    benchmark::Shutdown();
    return 0;
}
