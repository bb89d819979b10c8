// Running the built programs from tests: a command's exit status (its output discarded) and
// a whole file's bytes.
#pragma once

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

inline std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace mobu::run_tools
