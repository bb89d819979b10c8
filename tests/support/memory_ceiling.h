// Runs one step in a forked child and measures how far its resident memory rose above what
// it had at the start (the kernel's peak, VmHWM), so a test can put a ceiling on what reading
// a hostile file costs. The measure is the kernel's, not an allocator's: it sees libpng's and
// libjpeg's own allocations as well as ours, in the plain and in the sanitizer builds.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "core/mobu_error.h"

namespace mobu::memory_ceiling {

// Resident memory in bytes, "VmRSS" now or "VmHWM" at its peak (0 when not readable).
inline uint64_t StatusBytes(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) != 0) continue;
        return std::stoull(line.substr(field.size() + 1)) * 1024;
    }
    return 0;
}

struct TMeasuredRun {
    bool Finished = false;      // the child returned from the step (not killed, not aborted)
    int Result = -1;            // what the step returned
    uint64_t PeakGrowth = 0;    // bytes of resident memory above the child's start
};

// The step returns a small result code; it runs in a child so that whatever it allocates,
// and any abort, stays there.
template <class Step>
TMeasuredRun RunMeasured(Step step)
{
    int channel[2];
    if (::pipe(channel) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        // Forget the parent's peak, so the peak measured is the child's own.
        if (FILE* clear = std::fopen("/proc/self/clear_refs", "w")) {
            std::fputs("5", clear);
            std::fclose(clear);
        }
        const uint64_t start = StatusBytes("VmRSS");
        const int result = step();
        const uint64_t peak = StatusBytes("VmHWM");
        const uint64_t report[2] = {static_cast<uint64_t>(result), peak > start ? peak - start : 0};
        [[maybe_unused]] ssize_t written = ::write(channel[1], report, sizeof report);
        ::_exit(0);
    }
    ::close(channel[1]);
    TMeasuredRun run;
    uint64_t report[2] = {0, 0};
    const bool reported = child > 0 && ::read(channel[0], report, sizeof report) == static_cast<ssize_t>(sizeof report);
    ::close(channel[0]);
    int status = 0;
    if (child > 0) ::waitpid(child, &status, 0);
    if (reported && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        run.Finished = true;
        run.Result = static_cast<int>(report[0]);
        run.PeakGrowth = report[1];
    }
    return run;
}

// Reads in a measured child: Result 1 when reading throws EMobuError with `message` (the
// reader's own refusal), 2 with another message, 0 when it reads.
template <class Read>
TMeasuredRun RefusalMeasured(Read read, const std::string& message)
{
    return RunMeasured([&] {
        try {
            read();
        } catch (const EMobuError& e) {
            return e.what() == message ? 1 : 2;
        }
        return 0;
    });
}

}  // namespace mobu::memory_ceiling
