// The window front end: an SDL window holding the toolbar strip and the game screen, the
// event handling that feeds TFormView, full screen, and message boxes through SDL.
#pragma once

#include <string>

#include "app/command_line.h"

namespace mobu {

// Runs the game in a window until it closes; returns the process exit status.
int RunWindow(const TCommandLine& line, const std::string& executable_path);

}  // namespace mobu
