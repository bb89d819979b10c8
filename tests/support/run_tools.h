// Running the built programs from tests: a command's exit status (its output discarded or
// captured) and a whole file's bytes.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace mobu::run_tools {

inline int RunCommand(const std::string& command)
{
    int raw = std::system((command + " > /dev/null 2>&1").c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// A command's exit status (-1 when it did not exit) and what it wrote to standard output
// and standard error together.
struct TCommandOutcome {
    int status;
    std::string output;
};

inline TCommandOutcome RunCapturing(const std::string& command)
{
    TCommandOutcome outcome{-1, {}};
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return outcome;
    char buffer[512];
    while (size_t count = std::fread(buffer, 1, sizeof buffer, pipe)) outcome.output.append(buffer, count);
    const int raw = ::pclose(pipe);
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return outcome;
}

inline std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace mobu::run_tools
