// Programs the process-level benchmarks start: one run to its end with its wall time and
// peak memory, or a start in the background with its CPU time read while it runs; and the
// SDL video driver that opens a window on this machine.
#pragma once

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace bench_children {

struct TChild {
    int status = -1;
    double seconds = 0;
    long peak_kib = 0;  // ru_maxrss
};

using TEnvironment = std::map<std::string, std::string>;

// Starts a program with extra environment variables, its output discarded; the pid, or -1.
inline pid_t Start(const std::vector<std::string>& arguments, const TEnvironment& environment = {})
{
    const pid_t child = fork();
    if (child == 0) {
        for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
        if (std::freopen("/dev/null", "w", stdout) == nullptr || std::freopen("/dev/null", "w", stderr) == nullptr)
            _exit(126);
        std::vector<char*> argv;
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return child;
}

// Waits for a started program; `start` is when it was started.
inline TChild Finish(pid_t child, std::chrono::steady_clock::time_point start)
{
    TChild result;
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) return result;
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    result.peak_kib = usage.ru_maxrss;
    return result;
}

// Runs a program to its end.
inline TChild Run(const std::vector<std::string>& arguments, const TEnvironment& environment = {})
{
    const auto start = std::chrono::steady_clock::now();
    return Finish(Start(arguments, environment), start);
}

// The CPU time (user + system) a running program has used so far, in seconds; -1 when it
// cannot be read.
inline double CpuSeconds(pid_t child)
{
    std::ifstream in("/proc/" + std::to_string(child) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t close = text.rfind(')');  // the command name may hold blanks
    if (close == std::string::npos) return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    unsigned long long user = 0, system = 0;
    for (int index = 3; fields >> field; ++index) {  // field 3 is the state
        if (index == 14) user = std::stoull(field);
        if (index == 15) {
            system = std::stoull(field);
            return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
        }
    }
    return -1;
}

inline std::string Binary(const std::string& name) { return std::string(MOBU_BINARY_DIR) + "/" + name; }

// The SDL video driver with which the bare program opens a window of the size here, or empty.
inline const std::string& WindowDriver(int width, int height)
{
    static const std::string driver = [&] {
        for (const char* candidate : {"offscreen", "dummy"}) {
            TChild probe = Run({Binary("bench/bare_sdl_window"), std::to_string(width), std::to_string(height)},
                               {{"SDL_VIDEODRIVER", candidate}});
            if (probe.status == 0) return std::string(candidate);
        }
        return std::string();
    }();
    return driver;
}

}  // namespace bench_children
