// Process-wide state of the application shell, shared by every subsystem. All of it is
// touched from the main thread only, except the three clock values, which the frame clock
// writes between frames.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mobu {

// The program is closing, or the script must not run any more.
extern bool QuitRequested;

// Milliseconds of active play (the sum of accepted ticks); wraps around like a 32-bit clock.
extern int32_t GameClockMs;
// Length of the last accepted tick in milliseconds.
extern int32_t FrameDeltaMs;
// Clock reading of the last accepted tick.
extern uint32_t LastTickMs;

// Real files to delete at the start of the next frame and at exit (UTF-8 paths).
extern std::vector<std::string> TempFileList;

// Deletes every file in TempFileList and empties it.
void DeleteTempFiles();

// Adds `delta` to GameClockMs with 32-bit wrap-around instead of signed overflow.
inline void AdvanceGameClock(int32_t delta)
{
    GameClockMs = static_cast<int32_t>(static_cast<uint32_t>(GameClockMs) + static_cast<uint32_t>(delta));
}

}  // namespace mobu
