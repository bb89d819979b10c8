// The mouse pointer's costs. (1) A frame of a 640 × 480 scene of 100 boxes (input pass,
// update pass, draw pass) in which the mouse alternates between two boxes with different
// cursor files, so the pointer changes on every frame between two cached cursors, against
// the same frame with the mouse alternating between two points of one box (no change).
// Goal: the change costs at most 2 % of a frame. (2) Loading a 32 × 32 cursor file cold
// (read through the virtual file manager and decoded) against reading its bytes from the
// file. Goal: at most 5 times the read.
//
// The pointer device is the headless runner's record: what is measured is the component
// side (the choice, the cache, the decoded shape), not the window system's cursor switch.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "app/pointer_record.h"
#include "archive/vr_file_manager.h"
#include "bench/time_table_reporter.h"
#include "components/mobu_base_list.h"
#include "graphics/image_files.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRepetitions = 5;

fs::path Folder()
{
    static const fs::path folder = [] {
        fs::path f = fs::temp_directory_path() / ("mobu_pointer_bench_" + std::to_string(::getpid()));
        fs::create_directories(f);
        for (int i = 0; i < 2; ++i) {
            mobu::TDIBSurface store;
            store.SetSize(32, 32, 24);
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x) store.SetPixel(x, y, static_cast<uint32_t>((x * 8) << 16 | (y * 8) << 8 | i * 200));
            mobu::TDIBSurface alpha;
            alpha.SetSize(32, 32, 8);
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x) alpha.SetPixel(x, y, x + y < 40 ? 255 : 0);
            mobu::TImageSaveParams params;
            params.Alpha = &alpha;
            params.HotSpotX = 3;
            params.HotSpotY = 4;
            std::ofstream(f / (i == 0 ? "a.cur" : "b.cur"), std::ios::binary) << mobu::SaveImageBytes(store, ".cur", params);
        }
        mobu::VrFileManager().SetBaseFolder(f.string());
        return f;
    }();
    return folder;
}

struct TScene {
    mobu::TMobuBaseList list;
    mobu::TPointerRecord record;
    TScene()
    {
        Folder();
        mobu::SetPointerDevice(&record);
        list.SetSize(640, 480);
        for (int i = 0; i < 100; ++i) {
            mobu::TMobuControl* box = list.CreateComponent(mobu::LT_BOX)->AsControl();
            box->SetBounds((i % 10) * 64, (i / 10) * 48, 60, 44);
            box->SetColor(0x102030 * (i % 7));
            box->Cursor = i % 2 ? "b.cur" : "a.cur";
        }
    }
    void Frame(int32_t x, int32_t y)
    {
        list.MousePosition(x, y);
        list.ProcessInput(15);
        list.UpdatePass();
        list.DrawPass();
        list.ClearDirty();
    }
};

TScene& Scene()
{
    static TScene scene;
    return scene;
}

// The mouse alternates between (10, 10) in box 0 (a.cur) and (X, 10): X = 74 lies in box 1
// (b.cur), so the pointer changes on every frame; X = 40 lies in box 0, so it stays.
template <int32_t X>
void AlternatingFrame(benchmark::State& state)
{
    TScene& s = Scene();
    bool flip = false;
    for (auto _ : state) {
        s.Frame(flip ? 10 : X, 10);
        flip = !flip;
    }
}

void ColdLoad(benchmark::State& state)
{
    Folder();
    mobu::TPointerRecord record;
    mobu::SetPointerDevice(&record);
    for (auto _ : state) {
        mobu::TPanelPointer pointer;
        pointer.Choose("a.cur", "");
        benchmark::DoNotOptimize(pointer.Shape());
    }
    mobu::SetPointerDevice(nullptr);
}

void ReadBytes(benchmark::State& state)
{
    const fs::path file = Folder() / "a.cur";
    for (auto _ : state) {
        std::ifstream in(file, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        benchmark::DoNotOptimize(bytes.data());
    }
}

class TRatioReporter : public mobu::bench::TTimeTableReporter {
public:
    void PrintTable() const
    {
        double changing = Time("frame/pointer_changes"), steady = Time("frame/pointer_stays");
        double cold = Time("load/cursor_cold"), read = Time("load/read_bytes");
        double change_share = (changing - steady) / steady;
        std::printf("\n%-36s %12s %10s   %s\n", "pointer", "ns", "ratio", "goal");
        std::printf("%-36s %12.0f %10s   -\n", "(a) frame, pointer stays", steady, "");
        std::printf("%-36s %12.0f %9.2f%%   <= 2%% of (a): %s\n", "(b) frame, pointer changes", changing,
                    change_share * 100, change_share <= 0.02 ? "met" : "MISSED");
        std::printf("%-36s %12.0f %10s   -\n", "(c) reading a 32x32 .cur's bytes", read, "");
        std::printf("%-36s %12.0f %9.2fx   <= 5 x (c): %s\n", "(d) loading it cold", cold, cold / read,
                    cold / read <= 5 ? "met" : "MISSED");
        std::printf("(process CPU time, median of %d runs)\n", kRepetitions);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    const std::pair<const char*, void (*)(benchmark::State&)> rows[] = {{"frame/pointer_stays", AlternatingFrame<40>},
                                                                        {"frame/pointer_changes", AlternatingFrame<74>},
                                                                        {"load/read_bytes", ReadBytes},
                                                                        {"load/cursor_cold", ColdLoad}};
    for (const auto& [name, fn] : rows)
        benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kNanosecond)->Repetitions(kRepetitions);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintTable();
    mobu::SetPointerDevice(nullptr);
    std::error_code ignored;
    fs::remove_all(Folder(), ignored);
    benchmark::Shutdown();
    return 0;
}
