// `mobupack build` of the staged demo (project, pages compiled, images converted, the game
// checked, the archive written) against `mobupack create` of the same folder (packing
// alone), run the same way: the checks and compilation should cost at most twice the packing.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench/child_process.h"

namespace {

namespace fs = std::filesystem;
using bench_children::Binary;
using bench_children::Run;

const fs::path kDemo = fs::path(MOBU_BINARY_DIR) / "demo-src";
const fs::path kScratch = fs::temp_directory_path() / ("mobu-build-bench-" + std::to_string(getpid()));

void Measure(benchmark::State& state, const std::vector<std::string>& arguments)
{
    if (!fs::exists(kDemo / "project.ini")) {
        state.SkipWithError("the demo is not staged (build the demo target)");
        return;
    }
    fs::create_directories(kScratch);
    for (auto _ : state) {
        const bench_children::TChild child = Run(arguments);
        if (child.status != 0) state.SkipWithError("the tool failed");
        state.SetIterationTime(child.seconds);
    }
    fs::remove_all(kScratch);
}

void BM_BuildDemo(benchmark::State& state)
{
    Measure(state, {Binary("mobupack"), "build", kDemo.string(), (kScratch / "out").string()});
}
BENCHMARK(BM_BuildDemo)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_CreateDemo(benchmark::State& state)
{
    Measure(state, {Binary("mobupack"), "create", kDemo.string(), (kScratch / "game.dat").string()});
}
BENCHMARK(BM_CreateDemo)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
