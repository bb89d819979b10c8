// Where the player itself lives.
#pragma once

#include <string>

namespace mobu {

// Full path of the running executable (UTF-8), from /proc/self/exe.
std::string ExecutablePath();
// Its folder with a trailing "/".
std::string ExecutableFolder();

}  // namespace mobu
