// The authors' reference (docs/authoring/reference.md), written from the project's own
// tables: the command table, the built-in function table, the system variables and the
// component properties. `mobupack doc` writes it; a test keeps the committed copy current.
#pragma once

#include <string>

namespace mobu::mobupack {

// The whole reference as Markdown (UTF-8).
std::string AuthoringReference();

}  // namespace mobu::mobupack
