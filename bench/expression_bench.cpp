// Compiled expressions against Lua 5.4 on the same two loops: counting to N (a condition and
// an increment per step) and building a string one piece at a time. Lua keeps its variables
// as globals here, looked up by name like script variables.
#include <benchmark/benchmark.h>

#include <string>

#if __has_include(<lua5.4/lua.hpp>)
#include <lua5.4/lua.hpp>
#else
#include <lua.hpp>
#endif

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

void ExpressionCountingLoop(benchmark::State& state)
{
    TParamCollection table;
    TSysFuncMan functions(table);
    TCustomParam& i = *table.AddVariable("i", PT_INT)->Value();
    table.AddVariable("n", PT_INT)->Value()->SetInteger(kCount);
    auto condition = Compiled("i < n");
    auto step = Compiled("i = i + 1");
    for (auto _ : state) {
        i.SetInteger(0);
        for (;;) {
            condition->Execute(functions);
            if (!condition->Result() || !condition->Result()->GetFlag()) break;
            step->Execute(functions);
        }
        benchmark::DoNotOptimize(i.GetInteger());
    }
    if (i.GetInteger() != kCount) state.SkipWithError("wrong count");
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(ExpressionCountingLoop);

void ExpressionStringLoop(benchmark::State& state)
{
    TParamCollection table;
    TSysFuncMan functions(table);
    TCustomParam& i = *table.AddVariable("i", PT_INT)->Value();
    TCustomParam& s = *table.AddVariable("s", PT_STR)->Value();
    table.AddVariable("n", PT_INT)->Value()->SetInteger(kCount);
    auto condition = Compiled("i < n");
    auto step = Compiled("i = i + 1");
    auto append = Compiled("s = s ++ \"x\" ++ IntToStr(i % 10)");
    for (auto _ : state) {
        i.SetInteger(0);
        s.SetString("");
        for (;;) {
            condition->Execute(functions);
            if (!condition->Result() || !condition->Result()->GetFlag()) break;
            append->Execute(functions);
            step->Execute(functions);
        }
        benchmark::DoNotOptimize(s.GetString().size());
    }
    if (s.GetString().size() != 2 * kCount) state.SkipWithError("wrong length");
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(ExpressionStringLoop);

void RunLua(benchmark::State& state, const char* setup, const char* loop, const char* check_global, size_t expected)
{
    lua_State* lua = luaL_newstate();
    luaL_openlibs(lua);
    luaL_dostring(lua, setup);
    luaL_loadstring(lua, loop);
    int chunk = luaL_ref(lua, LUA_REGISTRYINDEX);
    for (auto _ : state) {
        lua_rawgeti(lua, LUA_REGISTRYINDEX, chunk);
        lua_call(lua, 0, 0);
    }
    lua_getglobal(lua, check_global);
    size_t actual = lua_isstring(lua, -1) && !lua_isnumber(lua, -1) ? lua_rawlen(lua, -1) : static_cast<size_t>(lua_tointeger(lua, -1));
    if (actual != expected) state.SkipWithError("wrong Lua result");
    lua_close(lua);
    state.SetItemsProcessed(state.iterations() * kCount);
}

void LuaCountingLoop(benchmark::State& state)
{
    RunLua(state, "n = 1000", "i = 0 while i < n do i = i + 1 end", "i", kCount);
}
BENCHMARK(LuaCountingLoop);

void LuaStringLoop(benchmark::State& state)
{
    RunLua(state, "n = 1000", "i = 0 s = '' while i < n do s = s .. 'x' .. tostring(i % 10) i = i + 1 end", "s", 2 * kCount);
}
BENCHMARK(LuaStringLoop);

}  // namespace

BENCHMARK_MAIN();
