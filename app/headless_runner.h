// The headless front end: the same TFormView core with a virtual clock (every frame lasts
// exactly --tick-ms), no window and no sound, scripted input and PNG screenshots. Used by
// the tests and by `make run` without a display.
#pragma once

#include <string>

#include "app/command_line.h"

namespace mobu {

// Runs the game; returns the process exit status (0 after the frames or the game's end,
// 1 when start-up failed, with the reason on standard error).
int RunHeadless(const TCommandLine& line, const std::string& executable_path);

}  // namespace mobu
