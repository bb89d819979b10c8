// The demo game as a player runs it, against a bare SDL2 program (bare_sdl_window) that
// opens a window of the same size:
//   - the busiest screen (the field: background, scrolling tiled floor, a turning and
//     swelling animated star, a turning translucent emblem, a blended and an additive box,
//     a picture button) headless, 1,000 frames: frames per second. Measured as the run that
//     clicks through to the field and plays 1,000 more frames minus the same run without
//     those frames, so that start-up and the title do not count;
//   - start-up: from process start until the first frame has been presented and the program
//     has closed again (`mobuplay --window-frames 1` against the bare program's one frame);
//   - peak resident memory after 1,000 presented frames in the window, against the bare
//     program presenting 1,000 frames (and the headless run for comparison).
// Windows need a display: both programs use SDL's offscreen video driver (or its dummy one);
// when neither opens a window those benchmarks are skipped with a message.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/child_process.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 640, kHeight = 480;  // the demo's screen (examples/demo/project.ini)
constexpr int kFrames = 1000;
constexpr int kLead = 60;  // frames until the field is on the screen (the click comes at 40)

using bench_children::Binary;
using bench_children::Run;
using bench_children::TChild;

// A private copy of the packed demo (the player writes its status data beside the game) and
// the scripted clicks that lead to the field.
struct TDemo {
    fs::path root = fs::temp_directory_path() / ("mobu-demo-bench-" + std::to_string(getpid()));
    fs::path game = root / "game";
    fs::path input = root / "to-the-field.txt";
    bool ready = false;

    TDemo()
    {
        const fs::path packed = fs::path(MOBU_BINARY_DIR) / "demo";
        if (!fs::exists(packed / "game.dat")) return;
        fs::remove_all(root);
        fs::create_directories(root);
        fs::copy(packed, game, fs::copy_options::recursive);
        std::ofstream(input) << "30 mouse move 300 320\n40 mouse down 300 320 left\n41 mouse up 300 320 left\n";
        ready = true;
    }
    ~TDemo() { fs::remove_all(root); }
};

TDemo& Demo()
{
    static TDemo demo;
    return demo;
}

const std::string& WindowDriver() { return bench_children::WindowDriver(kWidth, kHeight); }

std::map<std::string, std::string> WindowEnvironment()
{
    return {{"SDL_VIDEODRIVER", WindowDriver()}, {"SDL_AUDIODRIVER", "dummy"}};
}

// The figures the summary compares.
std::map<std::string, double>& Figures()
{
    static std::map<std::string, double> figures;
    return figures;
}

void BM_FieldScreenHeadless(benchmark::State& state)
{
    TDemo& demo = Demo();
    if (!demo.ready) return state.SkipWithError("the demo game is not packed in this build");
    const fs::path components = demo.root / "components.json";
    auto headless = [&](int frames, bool dump) {
        std::vector<std::string> arguments = {Binary("mobuplay"), "--headless", "--frames", std::to_string(frames),
                                              "--input", demo.input.string()};
        if (dump) arguments.insert(arguments.end(), {"--dump-components", components.string()});
        arguments.push_back(demo.game.string());
        return Run(arguments);
    };
    double fps = 0;
    for (auto _ : state) {
        TChild lead = headless(kLead, false);
        TChild full = headless(kLead + kFrames, true);
        if (lead.status != 0 || full.status != 0) return state.SkipWithError("mobuplay --headless failed");
        const double seconds = std::max(full.seconds - lead.seconds, 1e-6);
        state.SetIterationTime(seconds);
        fps = kFrames / seconds;
    }
    std::ifstream in(components);
    std::stringstream listed;
    listed << in.rdbuf();
    const bool field = listed.str().find("\"name\": \"big_star\"") != std::string::npos;
    state.SetLabel(field ? "field screen" : "title screen: the click found no picture button (no image components)");
    state.counters["fps"] = fps;
    Figures()["fps"] = fps;
}
BENCHMARK(BM_FieldScreenHeadless)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_StartUpToFirstFrame(benchmark::State& state)
{
    TDemo& demo = Demo();
    if (!demo.ready) return state.SkipWithError("the demo game is not packed in this build");
    if (WindowDriver().empty()) return state.SkipWithError("no SDL video driver opens a window here (offscreen, dummy)");
    const bool player = state.range(0) == 1;
    const std::vector<std::string> arguments =
        player ? std::vector<std::string>{Binary("mobuplay"), "--window-frames", "1", demo.game.string()}
               : std::vector<std::string>{Binary("bench/bare_sdl_window"), std::to_string(kWidth), std::to_string(kHeight), "1"};
    double total = 0;
    int runs = 0;
    for (auto _ : state) {
        TChild child = Run(arguments, WindowEnvironment());
        if (child.status != 0) return state.SkipWithError("the program did not open its window");
        state.SetIterationTime(child.seconds);
        total += child.seconds;
        ++runs;
    }
    state.SetLabel(std::string(player ? "mobuplay on the demo" : "bare SDL2 window") + ", video driver " + WindowDriver());
    Figures()[player ? "start_player" : "start_bare"] = total / std::max(runs, 1);
}
BENCHMARK(BM_StartUpToFirstFrame)->ArgName("player")->Arg(1)->Arg(0)->UseManualTime()->Iterations(10)->Unit(
    benchmark::kMillisecond);

void BM_PeakMemoryAfterFrames(benchmark::State& state)
{
    TDemo& demo = Demo();
    if (!demo.ready) return state.SkipWithError("the demo game is not packed in this build");
    const int which = static_cast<int>(state.range(0));  // 0 bare window, 1 player window, 2 player headless
    if (which != 2 && WindowDriver().empty())
        return state.SkipWithError("no SDL video driver opens a window here (offscreen, dummy)");
    std::vector<std::string> arguments;
    if (which == 0) arguments = {Binary("bench/bare_sdl_window"), std::to_string(kWidth), std::to_string(kHeight),
                                 std::to_string(kFrames)};
    if (which == 1) arguments = {Binary("mobuplay"), "--window-frames", std::to_string(kFrames), demo.game.string()};
    if (which == 2)
        arguments = {Binary("mobuplay"), "--headless", "--frames", std::to_string(kFrames), "--input",
                     demo.input.string(), demo.game.string()};
    long peak = 0;
    for (auto _ : state) {
        TChild child = Run(arguments, WindowEnvironment());
        if (child.status != 0) return state.SkipWithError("the program failed");
        state.SetIterationTime(child.seconds);
        peak = child.peak_kib;
    }
    static const char* const kNames[] = {"bare SDL2 window", "mobuplay window", "mobuplay headless"};
    state.SetLabel(kNames[which]);
    state.counters["peak_MiB"] = peak / 1024.0;
    static const char* const kKeys[] = {"rss_bare", "rss_player", "rss_headless"};
    Figures()[kKeys[which]] = peak / 1024.0;
}
BENCHMARK(BM_PeakMemoryAfterFrames)->ArgName("program")->Arg(0)->Arg(1)->Arg(2)->UseManualTime()->Iterations(1)->Unit(
    benchmark::kMillisecond);

void PrintRatios()
{
    auto& f = Figures();
    std::printf("\ndemo against a bare SDL2 window of %dx%d:\n", kWidth, kHeight);
    if (f.count("fps")) std::printf("  busiest screen headless:     %.0f frames per second\n", f["fps"]);
    if (f.count("start_player") && f.count("start_bare"))
        std::printf("  start-up to the first frame: %.1f ms against %.1f ms: %.2f times\n", f["start_player"] * 1e3,
                    f["start_bare"] * 1e3, f["start_player"] / f["start_bare"]);
    if (f.count("rss_player") && f.count("rss_bare"))
        std::printf("  peak memory after %d frames: %.1f MiB against %.1f MiB: %.2f times\n", kFrames, f["rss_player"],
                    f["rss_bare"], f["rss_player"] / f["rss_bare"]);
    if (f.count("rss_headless") && f.count("rss_bare"))
        std::printf("  (headless: %.1f MiB, %.2f times the bare window)\n", f["rss_headless"],
                    f["rss_headless"] / f["rss_bare"]);
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
