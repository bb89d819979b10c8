// Running another program: argv[0] looked up in PATH, run directly (never through a
// shell), its standard input on /dev/null.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace mobu {

// Where the started program's standard output goes: this process's own, nowhere, or a
// descriptor given as a number >= 0.
inline constexpr int kOwnOutput = -1;
inline constexpr int kDiscardOutput = -2;

// Starts the program; its process id, or -1 when it cannot be started. The caller waits
// for it.
pid_t StartProgram(const std::vector<std::string>& argv, int output = kOwnOutput);

// Waits for a started program; its exit status, -1 when it did not exit normally.
int WaitForProgram(pid_t pid);

// Runs the program to its end with its output passed through; its exit status, -1 when it
// cannot be started or did not exit normally.
int RunProgram(const std::vector<std::string>& argv);

}  // namespace mobu
