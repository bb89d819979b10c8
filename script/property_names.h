// The script names (PR_ names) and declared types of the 165 component properties, the one
// list of them: the page tools and creation commands read it, and the component property
// table takes its names and types from it.
#pragma once

#include <cstdint>
#include <string_view>

namespace mobu {

inline constexpr int kPropertyCount = 165;

struct TPropertyName {
    const char* name;  // "PR_LEFT"
    uint8_t type;      // PT_INT, PT_FLOAT, PT_BOOL or PT_STR
};

// The property of that id, or null outside 0-164.
const TPropertyName* PropertyNameOf(int id);
// Id of the property with that exact name, or -1.
int PropertyIdOf(std::string_view name);

}  // namespace mobu
