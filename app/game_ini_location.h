// Where game.ini is, for the player and the settings dialog alike (reading and writing use
// this one rule):
//  - the file `--ini` names;
//  - else "game.ini" in the game's folder (the folder the first game argument names, or
//    holding it; the player's own folder without one) when that file is writable, or can
//    be created there, and the folder is not under /usr or /opt;
//  - else the per-user, per-game $XDG_CONFIG_HOME/mobu/<title>/game.ini (~/.config when
//    unset; <title> by the save folder's naming rule). While that file does not exist yet,
//    the game folder's file is read in its place, so a read-only shipped file still gives
//    the starting values (and a first save copies it with the edits).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace mobu {

struct TGameIniPlace {
    std::string path;     // the file written, and read when it exists
    std::string shipped;  // read instead while `path` does not exist ("" when none)
};

// `title` gives the game's cp932 title; it is asked only when the per-user file is used.
TGameIniPlace LocateGameIni(const std::string& ini_option, const std::vector<std::string>& games,
                            const std::string& executable_path, const std::function<std::string()>& title);

// The file to read for `place`.
std::string GameIniReadPath(const TGameIniPlace& place);

// The title in the project file of the archives registered now ("" when there is none or
// it cannot be read).
std::string RegisteredProjectTitle();

// The user's configuration folder: $XDG_CONFIG_HOME when absolute, else $HOME/.config.
std::string UserConfigFolder();

}  // namespace mobu
