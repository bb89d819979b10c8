// The interpreter against Lua 5.4 on the same loop (a While loop of Calc commands, all with
// the continue flag, so the whole loop runs in one frame; Lua keeps its variables as
// globals, looked up by name like script variables), and loading a page of 10,000
// commands from a game archive against reading the same bytes alone. Both loops are set up
// outside the timed loop: the interpreter, its variables and the loaded page as Lua's state
// and compiled chunk; a timed run sets the variables to 0 and runs the loop.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>
#include <string>

#include "archive/big_file_stream.h"
#include "archive/vr_file_collection.h"
#include "archive/vr_file_manager.h"
#include "bench/lua_chunks.h"
#include "bench/script_loop.h"
#include "script/page.h"
#include "script/page_source.h"

namespace mobu {
namespace {

constexpr int kLoopCount = 100000;

void InterpreterWhileLoop(benchmark::State& state)
{
    bench::TScriptLoop loop("Calc expr: s = 0; continue: yes\n"
                            "WhileInit expr: i = 0; continue: yes\n"
                            "While cond: i < " + std::to_string(kLoopCount) + "; continue: yes\n"
                            "  Calc expr: s = s + i; continue: yes\n"
                            "  Calc expr: i = i + 1; continue: yes\n"
                            "WhileLoop\n");
    TCustomParam& i = loop.Variable("i", PT_INT);
    loop.Variable("s", PT_INT);
    for (auto _ : state) loop.Run();
    if (i.GetInteger() != kLoopCount) state.SkipWithError("loop did not finish");
    state.SetItemsProcessed(state.iterations() * kLoopCount);
}
BENCHMARK(InterpreterWhileLoop)->Unit(benchmark::kMillisecond);

void LuaWhileLoop(benchmark::State& state)
{
    bench::TLuaChunks lua;
    const int loop = lua.Compile("s = 0 i = 0 while i < " + std::to_string(kLoopCount) + " do s = s + i i = i + 1 end");
    for (auto _ : state) lua.Run(loop);
    if (lua.Integer("i") != kLoopCount) state.SkipWithError("loop did not finish");
    state.SetItemsProcessed(state.iterations() * kLoopCount);
}
BENCHMARK(LuaWhileLoop)->Unit(benchmark::kMillisecond);

// A page of 10,000 commands in a game archive registered with the file manager.
struct TBigPageArchive {
    std::string bytes;
    std::filesystem::path folder;
    TBigPageArchive()
    {
        std::string source;
        for (int i = 0; i < 10000; ++i) {
            source += i % 4 == 0 ? "Calc expr: s = s + i * 2; continue: yes\n"
                    : i % 4 == 1 ? "If cond: i < 10\n"
                    : i % 4 == 2 ? "  Wait time: 100; hold: TRUE\n"
                                 : "Label name: l" + std::to_string(i) + "\n";
        }
        bytes = AssemblePage(source);
        folder = std::filesystem::temp_directory_path() / ("mobu-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        TVrFileCollection collection;
        collection.AddMemoryFile("big.msb")->MemData->Data() = bytes;
        {
            TKsBigFileStream target((folder / "game.dat").string(), TKsBigFileStream::Mode::Create);
            collection.WriteArchive(target);
        }
        ResetVrFileManager();
        VrFileManager().AddArchive((folder / "game.dat").string());
    }
    ~TBigPageArchive() { std::filesystem::remove_all(folder); }
};

TBigPageArchive& BigPage()
{
    static TBigPageArchive archive;
    return archive;
}

void PageLoadFromArchive(benchmark::State& state)
{
    BigPage();
    for (auto _ : state) {
        TPage page;
        page.Load("big.msb");
        benchmark::DoNotOptimize(page.Count());
    }
}
BENCHMARK(PageLoadFromArchive)->Unit(benchmark::kMicrosecond);

void PageBytesReadAlone(benchmark::State& state)
{
    BigPage();
    for (auto _ : state) {
        std::string bytes = VrFileManager().ReadFile("big.msb");
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(PageBytesReadAlone)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace mobu

BENCHMARK_MAIN();
