// The window front end: TFormView driven by the platform's SDL window. Events become the
// view's input, the view's host requests become window calls, and waiting for the next
// frame is handling window events.
#pragma once

#include <string>

#include "app/command_line.h"

namespace mobu {

// Runs the game in a window until it closes; returns the process exit status.
int RunWindow(const TCommandLine& line, const std::string& executable_path);

}  // namespace mobu
