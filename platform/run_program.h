// Running another program to its end: argv[0] looked up in PATH, run directly (never
// through a shell), its standard input on /dev/null and its output passed through.
#pragma once

#include <string>
#include <vector>

namespace mobu {

// The program's exit status; -1 when it cannot be started or did not exit normally.
int RunProgram(const std::vector<std::string>& argv);

}  // namespace mobu
