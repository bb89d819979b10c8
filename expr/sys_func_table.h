// The built-in function table: one row per function with its name, argument counts, result
// type and the handler that runs it. The row index is the function id stored in compiled
// expressions, so rows are only ever appended. Adding a function is adding one row here and
// one handler in the file of its family (expr/sys_funcs.h lists them).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace mobu {

struct TSysFuncCall;

// Runs one built-in function: reads the call's arguments and writes its result.
using TSysFuncBody = void (*)(TSysFuncCall& call);

struct TSysFuncInfo {
    const char* name;       // matched exactly (case-sensitive) when compiling
    int8_t min_args;
    int8_t max_args;        // -1: no maximum
    uint8_t result_type;    // PT_INT 1, PT_FLOAT 2, PT_BOOL 3, PT_STR 4; 0 for GetProp (the property's type)
    // The handler; none for a function that belongs to a subsystem not built yet or installed
    // by a higher floor (TSysFuncMan::SetHandler): it fails as unavailable until installed.
    TSysFuncBody body;
    // Whether the handler only reads its arguments as values and writes its result: it looks
    // up no names, changes no variable and does not care whether an argument is a variable.
    bool values_only;
};

extern const std::span<const TSysFuncInfo> kSysFuncTable;
extern const int kSysFuncCount;

// Ids other code names; the table checks at compile time that its rows carry these names.
inline constexpr int kSysFuncGetProp = 2;
inline constexpr int kSysFuncSetProp = 3;
inline constexpr int kSysFuncExists = 19;
inline constexpr int kSysFuncGetCheck = 24;
inline constexpr int kSysFuncSetCheck = 25;
inline constexpr int kSysFuncListCompo = 32;
inline constexpr int kSysFuncToClientX = 33;
inline constexpr int kSysFuncToClientY = 34;
inline constexpr int kSysFuncToScreenX = 35;
inline constexpr int kSysFuncToScreenY = 36;
inline constexpr int kSysFuncIndexOfMenu = 47;
inline constexpr int kSysFuncGetDisplayMode = 65;
inline constexpr int kSysFuncInPrimary = 69;
inline constexpr int kSysFuncGetEnabled = 131;
inline constexpr int kSysFuncSetEnabled = 132;
inline constexpr int kSysFuncCalc = 136;
inline constexpr int kSysFuncSaveScreen = 137;
inline constexpr int kSysFuncGetVisible = 140;
inline constexpr int kSysFuncSetVisible = 141;
inline constexpr int kSysFuncGetGroupIndex = 145;
inline constexpr int kSysFuncGetSelected = 146;
inline constexpr int kSysFuncSetSelected = 147;
inline constexpr int kSysFuncInCabinet = 154;
inline constexpr int kSysFuncDeleteStack = 157;

// Index of the function of that exact name, or -1.
int FindSysFunc(std::string_view name);

// Whether `count` arguments are allowed for function `id`.
bool SysFuncAcceptsArgCount(int id, int count);

}  // namespace mobu
