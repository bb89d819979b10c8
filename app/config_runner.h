// `mobuplay /config`: the settings dialog in a window or headless, and its non-interactive
// forms --set and --print.
#pragma once

#include <string>

#include "app/command_line.h"
#include "app/game_ini_location.h"

namespace mobu {

// Exit statuses of the headless dialog.
constexpr int kConfigSaved = 0;
constexpr int kConfigNotSaved = 3;
constexpr int kConfigStillOpen = 4;

// Runs whatever form of /config `line` asks for and returns the exit status. Nothing of the
// player (archives, project, media) is created.
int RunConfig(const TCommandLine& line, const std::string& executable_path);

// The forms without a window, for tests.
int RunConfigSet(const TCommandLine& line, const TGameIniPlace& place);
int RunConfigPrint(const TGameIniPlace& place);
int RunConfigHeadless(const TCommandLine& line, const TGameIniPlace& place);

}  // namespace mobu
