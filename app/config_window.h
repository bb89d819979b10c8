// The settings dialog in a window of its own (`mobuplay /config`).
#pragma once

#include <string>

#include "app/command_line.h"
#include "app/game_ini_location.h"

namespace mobu {

// Shows the dialog for the game.ini at `place` until it closes. 0 when OK saved the file,
// 3 when it closed without writing, 1 when no window could be opened.
int RunConfigWindow(const TCommandLine& line, const TGameIniPlace& place);

}  // namespace mobu
