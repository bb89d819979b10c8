// Case-insensitive handling of code page 932 names (variables, archive entries, tags).
// Only the ASCII letters A-Z fold; the walk steps over double-byte characters so that a
// trail byte which happens to look like a letter or a backslash is never touched.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/cp932_chars.h"

namespace mobu {

// The name with A-Z lowered, trail bytes untouched.
inline std::string LowerCp932Name(std::string_view name) { return JLowerCase(name); }

// Compares two names without regard to ASCII letter case.
inline bool SameCp932Name(std::string_view a, std::string_view b) { return JSameText(a, b); }

}  // namespace mobu
