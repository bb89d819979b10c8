// Game saves: GameSave of a state with 2,000 variables and a 500-entry laid-out history into
// a save.dat already holding 30 slots of that size, against the floor of writing the same
// number of bytes durably (write, fsync, rename) with no archive work; GameLoad of one such
// slot against reading and inflating its entry alone. The component list is empty (the
// components' share is measured by the component benchmarks).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "archive/save_file.h"
#include "components/base_list_call_components.h"
#include "components/game_save_data.h"
#include "components/mobu_base_list.h"
#include "components/mobu_history.h"
#include "expr/param_collection.h"
#include "expr/sys_func_man.h"
#include "platform/durable_files.h"
#include "platform/real_files.h"
#include "script/call_man.h"

namespace {

using namespace mobu;
namespace fs = std::filesystem;

struct TSaveFixture {
    TSaveFixture()
    {
        for (int i = 0; i < 2000; ++i) table.AddVariable("Var_" + std::to_string(i), PT_INT)->Value()->SetInteger(i * 7);
        TMobuHistoryFormat& log = HistoryFormats().GetFormat("log");
        log.Layout.Width = 400;
        log.History.Engine = log.Layout;
        for (int g = 0; g < 100; ++g) {
            log.History.Groups.emplace_back();
            for (int e = 0; e < 5; ++e) log.History.Groups.back().Add("story.msb", g * 5 + e, 0, 40, 24, "name=hero");
            log.History.Groups.back().TotalHeight = 120;
        }
        dir = fs::temp_directory_path() / ("mobu_save_bench_" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = (dir / "save.dat").string();
        entry = data.BuildGameEntry("caption", "", 0);
        std::vector<TSaveEntryChange> slots;
        for (int i = 0; i < 30; ++i) slots.push_back({"GAMESAVEDATA" + std::to_string(i), entry, 1});
        ReplaceSaveEntries(path, slots);
    }
    ~TSaveFixture()
    {
        HistoryFormats().Reset();
        fs::remove_all(dir);
    }
    TMobuBaseList list;
    TParamCollection table;
    TSysFuncMan functions{table};
    TBaseListCallComponents components{list};
    TCallMan calls{&functions, &components};
    TGameSaveData data{TGameSaveParts{&list, [this] { return &calls; }, [this] { return &table; }}};
    fs::path dir;
    std::string path;
    std::string entry;
};

void BM_GameSave(benchmark::State& state)
{
    TSaveFixture fixture;
    for (auto _ : state) {
        const std::string bytes = fixture.data.BuildGameEntry("caption", "", 0);
        ReplaceSaveEntries(fixture.path, {{"GAMESAVEDATA7", bytes, 1}});
    }
    state.counters["file_bytes"] = static_cast<double>(fs::file_size(fixture.path));
    state.counters["entry_bytes"] = static_cast<double>(fixture.entry.size());
}
BENCHMARK(BM_GameSave)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_DurableWriteFloor(benchmark::State& state)
{
    TSaveFixture fixture;
    const std::string bytes = *ReadRealFile(fixture.path);
    const std::string target = (fixture.dir / "floor.dat").string();
    for (auto _ : state) ReplaceFileAtomically(target, bytes);
}
BENCHMARK(BM_DurableWriteFloor)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_GameLoad(benchmark::State& state)
{
    TSaveFixture fixture;
    for (auto _ : state) {
        TVrFileCollection files;
        ReadSaveFile(fixture.path, files);
        std::string bytes;
        files.ReadEntry(*files.Find("GAMESAVEDATA7"), bytes);
        fixture.data.LoadGameEntry(bytes);
    }
}
BENCHMARK(BM_GameLoad)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ReadAndInflateEntryFloor(benchmark::State& state)
{
    TSaveFixture fixture;
    for (auto _ : state) {
        TVrFileCollection files;
        ReadSaveFile(fixture.path, files);
        std::string bytes;
        files.ReadEntry(*files.Find("GAMESAVEDATA7"), bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_ReadAndInflateEntryFloor)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
