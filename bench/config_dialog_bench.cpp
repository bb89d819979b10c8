// The settings dialog (`mobuplay /config`) in a window, against a bare SDL2 program
// (bare_sdl_window) opening a window of the dialog's client size:
//   - start-up: from process start until the first picture has been presented and the
//     program has closed again (`/config --window-frames 1` against the bare program's
//     one frame);
//   - idle: the CPU time the open, untouched dialog uses over 5 s, read from /proc after
//     its start-up, against the bare program waiting on events the same way. The goal is
//     under 1 % of a core: the dialog waits on events, it runs no frame loop.
// Start-up uses SDL's offscreen video driver (or its dummy one; when neither opens a window
// the benchmarks are skipped with a message); idle uses the X display when there is one.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/form_config.h"
#include "bench/child_process.h"

namespace {

namespace fs = std::filesystem;
using namespace bench_children;

constexpr int kWidth = mobu::TFormConfig::kClientWidth, kHeight = mobu::TFormConfig::kClientHeight;
constexpr double kIdleSeconds = 5;

std::map<std::string, double>& Figures()
{
    static std::map<std::string, double> figures;
    return figures;
}

TEnvironment WindowEnvironment() { return {{"SDL_VIDEODRIVER", WindowDriver(kWidth, kHeight)}, {"SDL_AUDIODRIVER", "dummy"}}; }

// Idle waiting is measured on an X display when there is one (e.g. under xvfb-run): SDL's
// offscreen driver cannot block in SDL_WaitEvent and polls every millisecond, for the bare
// program as much as for the dialog.
std::string IdleDriver() { return std::getenv("DISPLAY") ? "x11" : WindowDriver(kWidth, kHeight); }

// A game.ini of its own for the dialog, removed at the end.
struct TScratch {
    fs::path folder = fs::temp_directory_path() / ("mobu-config-bench-" + std::to_string(getpid()));
    fs::path ini = folder / "game.ini";
    TScratch() { fs::create_directories(folder); }
    ~TScratch() { fs::remove_all(folder); }
};

std::vector<std::string> Arguments(bool dialog, const TScratch& scratch, bool idle)
{
    if (dialog) {
        std::vector<std::string> arguments = {Binary("mobuplay"), "/config", "--ini", scratch.ini.string()};
        if (!idle) arguments.insert(arguments.end(), {"--window-frames", "1"});
        return arguments;
    }
    std::vector<std::string> arguments = {Binary("bench/bare_sdl_window"), std::to_string(kWidth),
                                          std::to_string(kHeight), "1"};
    if (idle) arguments.push_back("wait");
    return arguments;
}

void BM_ConfigStartUpToFirstPicture(benchmark::State& state)
{
    if (WindowDriver(kWidth, kHeight).empty())
        return state.SkipWithError("no SDL video driver opens a window here (offscreen, dummy)");
    const bool dialog = state.range(0) == 1;
    TScratch scratch;
    double total = 0;
    int runs = 0;
    for (auto _ : state) {
        TChild child = Run(Arguments(dialog, scratch, false), WindowEnvironment());
        // The dialog closed without OK answers 3 (nothing written).
        if (child.status != (dialog ? 3 : 0)) return state.SkipWithError("the program did not open its window");
        state.SetIterationTime(child.seconds);
        total += child.seconds;
        ++runs;
    }
    state.SetLabel(std::string(dialog ? "mobuplay /config" : "bare SDL2 window") + ", video driver " +
                   WindowDriver(kWidth, kHeight));
    Figures()[dialog ? "start_dialog" : "start_bare"] = total / std::max(runs, 1);
}
BENCHMARK(BM_ConfigStartUpToFirstPicture)->ArgName("dialog")->Arg(1)->Arg(0)->UseManualTime()->Iterations(10)->Unit(
    benchmark::kMillisecond);

void BM_ConfigIdleCpu(benchmark::State& state)
{
    if (WindowDriver(kWidth, kHeight).empty())
        return state.SkipWithError("no SDL video driver opens a window here (offscreen, dummy)");
    const bool dialog = state.range(0) == 1;
    TScratch scratch;
    double share = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        pid_t child = Start(Arguments(dialog, scratch, true), {{"SDL_VIDEODRIVER", IdleDriver()}, {"SDL_AUDIODRIVER", "dummy"}});
        std::this_thread::sleep_for(std::chrono::seconds(1));  // past its start-up
        const double before = CpuSeconds(child);
        const auto from = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::duration<double>(kIdleSeconds));
        const double after = CpuSeconds(child);
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
        kill(child, SIGTERM);  // SDL turns it into a quit request
        TChild ended = Finish(child, start);
        if (before < 0 || after < 0 || ended.status < 0) return state.SkipWithError("the program did not stay open");
        share = (after - before) / wall;
        state.SetIterationTime(after - before);
    }
    state.SetLabel(std::string(dialog ? "mobuplay /config, untouched" : "bare SDL2 window waiting on events") +
                   ", video driver " + IdleDriver());
    state.counters["core_percent"] = share * 100;
    Figures()[dialog ? "idle_dialog" : "idle_bare"] = share;
}
BENCHMARK(BM_ConfigIdleCpu)->ArgName("dialog")->Arg(1)->Arg(0)->UseManualTime()->Iterations(1)->Unit(
    benchmark::kMillisecond);

void PrintRatios()
{
    auto& f = Figures();
    std::printf("\nsettings dialog against a bare SDL2 window of %dx%d:\n", kWidth, kHeight);
    if (f.count("start_dialog") && f.count("start_bare"))
        std::printf("  start-up to the first picture: %.1f ms against %.1f ms: %.2f times (goal 1.5)\n",
                    f["start_dialog"] * 1e3, f["start_bare"] * 1e3, f["start_dialog"] / f["start_bare"]);
    if (f.count("idle_dialog") && f.count("idle_bare"))
        std::printf("  idle over %.0f s: %.3f %% of a core against %.3f %% (goal under 1 %%)\n", kIdleSeconds,
                    f["idle_dialog"] * 100, f["idle_bare"] * 100);
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintRatios();
    return 0;
}
