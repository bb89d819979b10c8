// Compiled expressions against Lua 5.4 on the same two loops: counting to N (a condition and
// an increment per step) and building a string one piece at a time. Lua keeps its variables
// as globals here, looked up by name like script variables. Each loop is driven in the same
// two ways on both sides:
//   - from C++: a C++ loop evaluates the condition and runs the steps, each a single
//     compiled expression (ours) or a compiled chunk (Lua's);
//   - whole in the language: the loop itself is script (a While page run by the
//     interpreter; a Lua while loop).
// Everything is compiled and set up before the timed loop. After the runs a table gives
// every Lua time as a ratio to ours.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "bench/lua_chunks.h"
#include "bench/script_loop.h"
#include "bench/time_table_reporter.h"
#include "expr/build_mobu_parser.h"
#include "expr/custom_param.h"
#include "expr/mobu_parser.h"
#include "expr/param_collection.h"
#include "expr/param_types.h"
#include "expr/sys_func_man.h"

namespace {

using namespace mobu;

constexpr int kCount = 1000;

std::unique_ptr<TMobuParser> Compiled(const std::string& text)
{
    TBuildMobuParser compiler;
    compiler.Compile(text);
    auto parser = std::make_unique<TMobuParser>();
    parser->LoadFromBytes(compiler.ToStream());
    return parser;
}

// ---- driven from C++ ----

void ExpressionCountingFromCpp(benchmark::State& state)
{
    TParamCollection table;
    TSysFuncMan functions(table);
    TCustomParam& i = *table.AddVariable("i", PT_INT)->Value();
    table.AddVariable("n", PT_INT)->Value()->SetInteger(kCount);
    auto start = Compiled("i = 0");
    auto condition = Compiled("i < n");
    auto step = Compiled("i = i + 1");
    for (auto _ : state) {
        start->Execute(functions);
        for (;;) {
            condition->Execute(functions);
            if (!condition->Result() || !condition->Result()->GetFlag()) break;
            step->Execute(functions);
        }
    }
    if (i.GetInteger() != kCount) state.SkipWithError("wrong count");
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(ExpressionCountingFromCpp);

void LuaCountingFromCpp(benchmark::State& state)
{
    bench::TLuaChunks lua;
    const int setup = lua.Compile("n = 1000"), start = lua.Compile("i = 0"), condition = lua.Compile("return i < n"),
              step = lua.Compile("i = i + 1");
    lua.Run(setup);
    for (auto _ : state) {
        lua.Run(start);
        while (lua.Test(condition)) lua.Run(step);
    }
    if (lua.Integer("i") != kCount) state.SkipWithError("wrong Lua result");
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(LuaCountingFromCpp);

void ExpressionStringFromCpp(benchmark::State& state)
{
    TParamCollection table;
    TSysFuncMan functions(table);
    table.AddVariable("i", PT_INT);
    TCustomParam& s = *table.AddVariable("s", PT_STR)->Value();
    table.AddVariable("n", PT_INT)->Value()->SetInteger(kCount);
    auto start = Compiled("s = \"\"");
    auto start_count = Compiled("i = 0");
    auto condition = Compiled("i < n");
    auto step = Compiled("i = i + 1");
    auto append = Compiled("s = s ++ \"x\" ++ IntToStr(i % 10)");
    for (auto _ : state) {
        start->Execute(functions);
        start_count->Execute(functions);
        for (;;) {
            condition->Execute(functions);
            if (!condition->Result() || !condition->Result()->GetFlag()) break;
            append->Execute(functions);
            step->Execute(functions);
        }
    }
    if (s.GetString().size() != 2 * kCount) state.SkipWithError("wrong length");
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(ExpressionStringFromCpp);

void LuaStringFromCpp(benchmark::State& state)
{
    bench::TLuaChunks lua;
    const int setup = lua.Compile("n = 1000"), start = lua.Compile("s = ''"), start_count = lua.Compile("i = 0"),
              condition = lua.Compile("return i < n"), append = lua.Compile("s = s .. 'x' .. tostring(i % 10)"),
              step = lua.Compile("i = i + 1");
    lua.Run(setup);
    for (auto _ : state) {
        lua.Run(start);
        lua.Run(start_count);
        while (lua.Test(condition)) {
            lua.Run(append);
            lua.Run(step);
        }
    }
    if (lua.Length("s") != 2 * kCount) state.SkipWithError("wrong Lua result");
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(LuaStringFromCpp);

// ---- whole loops in the language ----

// What a loop leaves: the count it reached or the length of the string it built.
enum class TLoopResult { Count, Length };
int64_t Expected(TLoopResult result) { return result == TLoopResult::Count ? kCount : 2 * kCount; }

// A page that runs `start`, then `body` in a While loop of i from 0 to n.
void ScriptWholeLoop(benchmark::State& state, const char* start, const char* body, TLoopResult result)
{
    bench::TScriptLoop loop(std::string(start) + "WhileInit expr: i = 0; continue: yes\n"
                            "While cond: i < n; continue: yes\n" + body + "WhileLoop\n");
    TCustomParam& i = loop.Variable("i", PT_INT);
    TCustomParam& s = loop.Variable("s", PT_STR);
    loop.Variable("n", PT_INT).SetInteger(kCount);
    for (auto _ : state) loop.Run();
    const int64_t reached = result == TLoopResult::Count ? i.GetInteger() : static_cast<int64_t>(s.GetString().size());
    if (reached != Expected(result)) state.SkipWithError("wrong result");
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK_CAPTURE(ScriptWholeLoop, Counting, "", "  Calc expr: i = i + 1; continue: yes\n", TLoopResult::Count);
BENCHMARK_CAPTURE(ScriptWholeLoop, String, "Calc expr: s = \"\"; continue: yes\n",
                  "  Calc expr: s = s ++ \"x\" ++ IntToStr(i % 10); continue: yes\n"
                  "  Calc expr: i = i + 1; continue: yes\n",
                  TLoopResult::Length);

void LuaWholeLoop(benchmark::State& state, const char* loop_text, TLoopResult result)
{
    bench::TLuaChunks lua;
    lua.Run(lua.Compile("n = 1000"));
    const int loop = lua.Compile(loop_text);
    for (auto _ : state) lua.Run(loop);
    const int64_t reached = result == TLoopResult::Count ? lua.Integer("i") : static_cast<int64_t>(lua.Length("s"));
    if (reached != Expected(result)) state.SkipWithError("wrong Lua result");
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK_CAPTURE(LuaWholeLoop, Counting, "i = 0 while i < n do i = i + 1 end", TLoopResult::Count);
BENCHMARK_CAPTURE(LuaWholeLoop, String, "s = '' i = 0 while i < n do s = s .. 'x' .. tostring(i % 10) i = i + 1 end",
                  TLoopResult::Length);

class TRatioReporter : public bench::TTimeTableReporter {
public:
    void PrintTable() const
    {
        std::printf("\n%-10s %-20s %12s %12s %12s\n", "loop", "driven", "mobu ns", "Lua ns", "mobu/Lua");
        const char* rows[][4] = {
            {"counting", "from C++", "ExpressionCountingFromCpp", "LuaCountingFromCpp"},
            {"counting", "whole in the language", "ScriptWholeLoop/Counting", "LuaWholeLoop/Counting"},
            {"string", "from C++", "ExpressionStringFromCpp", "LuaStringFromCpp"},
            {"string", "whole in the language", "ScriptWholeLoop/String", "LuaWholeLoop/String"},
        };
        for (const auto& row : rows) {
            const double ours = Time(row[2]), lua = Time(row[3]);
            std::printf("%-10s %-20s %12.0f %12.0f %12.2f\n", row[0], row[1], ours, lua, ours / lua);
        }
        std::printf("(thread CPU time per loop of %d steps; above 1 in the last column: Lua is faster)\n", kCount);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintTable();
    benchmark::Shutdown();
    return 0;
}
