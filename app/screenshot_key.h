// The screenshot key ([Player] ScreenshotKey of game.ini, default F12): the player takes the
// key for itself and writes the current game frame (game size, no strip, no scaling) as PNG
// to <pictures>/mobu/<title>_<YYYYMMDD>_<HHMMSS>.png (local time; _2, _3... when the name is
// taken; files created exclusively). <pictures> is XDG_PICTURES_DIR of
// $XDG_CONFIG_HOME/user-dirs.dirs (~/.config/user-dirs.dirs), else $HOME/Pictures.
#pragma once

#include <ctime>
#include <string>

#include "app/game_ini_text.h"
#include "platform/frame_buffer.h"

namespace mobu {

constexpr int kDefaultScreenshotKey = 0x7B;  // F12

// The virtual-key code of [Player] ScreenshotKey: F12 when absent; 0 (off) for "none" or an
// empty value; F12 with a line on standard error for a name the key table does not know.
int ScreenshotKeyOf(const TIniText& ini);

// The key table's name of virtual-key code `key`; "none" for 0.
std::string ScreenshotKeyName(int key);

// The user's pictures folder, without a trailing "/"; "" when no home folder is known.
std::string PicturesFolder();

// Writes `frame` for the game titled `title_cp932` at local time `when`. The path written,
// or "" with the reason in `error`.
std::string WriteScreenshot(const FrameBuffer& frame, const std::string& title_cp932, std::time_t when,
                            std::string& error);

}  // namespace mobu
