// A Lua 5.4 state with its standard libraries and chunks compiled once, run from C++: the
// peer side of the benchmarks that set their work up outside the timed loop.
#pragma once

#include <cstddef>
#include <string>

#if __has_include(<lua5.4/lua.hpp>)
#include <lua5.4/lua.hpp>
#else
#include <lua.hpp>
#endif

namespace mobu::bench {

class TLuaChunks {
public:
    TLuaChunks() : lua_(luaL_newstate()) { luaL_openlibs(lua_); }
    ~TLuaChunks() { lua_close(lua_); }
    TLuaChunks(const TLuaChunks&) = delete;
    TLuaChunks& operator=(const TLuaChunks&) = delete;

    // Compiles a chunk; returns its handle (the chunk stays in the registry).
    int Compile(const std::string& text)
    {
        luaL_loadstring(lua_, text.c_str());
        return luaL_ref(lua_, LUA_REGISTRYINDEX);
    }
    // Runs a chunk for its effects.
    void Run(int chunk)
    {
        lua_rawgeti(lua_, LUA_REGISTRYINDEX, chunk);
        lua_call(lua_, 0, 0);
    }
    // Runs a chunk that returns one value: whether it is true.
    bool Test(int chunk)
    {
        lua_rawgeti(lua_, LUA_REGISTRYINDEX, chunk);
        lua_call(lua_, 0, 1);
        const bool result = lua_toboolean(lua_, -1);
        lua_pop(lua_, 1);
        return result;
    }
    // A global as an integer, and the length of a string global.
    long long Integer(const char* global)
    {
        lua_getglobal(lua_, global);
        const long long value = lua_tointeger(lua_, -1);
        lua_pop(lua_, 1);
        return value;
    }
    size_t Length(const char* global)
    {
        lua_getglobal(lua_, global);
        const size_t length = lua_isstring(lua_, -1) ? lua_rawlen(lua_, -1) : 0;
        lua_pop(lua_, 1);
        return length;
    }

private:
    lua_State* lua_;
};

}  // namespace mobu::bench
