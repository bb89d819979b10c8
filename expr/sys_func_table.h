// The built-in function table: name, argument counts and result type of every function. The
// index is the function id stored in compiled expressions.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace mobu {

struct TSysFuncInfo {
    const char* name;       // matched exactly (case-sensitive) when compiling
    int8_t min_args;
    int8_t max_args;        // -1: no maximum
    uint8_t result_type;    // PT_INT 1, PT_FLOAT 2, PT_BOOL 3, PT_STR 4; 0 for GetProp (the property's type)
};

inline constexpr int kSysFuncCount = 161;
inline constexpr int kSysFuncGetProp = 2;
inline constexpr int kSysFuncCalc = 136;

extern const std::array<TSysFuncInfo, kSysFuncCount> kSysFuncTable;

// Index of the function of that exact name, or -1.
int FindSysFunc(std::string_view name);

// Whether `count` arguments are allowed for function `id`.
bool SysFuncAcceptsArgCount(int id, int count);

}  // namespace mobu
