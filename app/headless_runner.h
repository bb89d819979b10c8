// The headless front end: the same TFormView core with a virtual clock (every frame lasts
// exactly --tick-ms), no window and no sound, scripted input and PNG screenshots. Used by
// the tests and by `make run` without a display.
#pragma once

#include <string>

#include "app/command_line.h"

namespace mobu {

// The exit status of a run the watchdog stopped (a frame whose script never ended).
inline constexpr int kSpinStoppedStatus = 3;

// Runs the game; returns the process exit status (0 after the frames or the game's end,
// 1 when start-up failed, with the reason on standard error, kSpinStoppedStatus when the
// watchdog stopped the script).
int RunHeadless(const TCommandLine& line, const std::string& executable_path);

}  // namespace mobu
