// Where the game's files come from: the archives and the base folder registered with the
// virtual file manager at window creation.
#pragma once

#include <string>
#include <vector>

namespace mobu {

// Registers the in-memory archive (number 0), then locates the game data:
//  - without arguments, the player's folder is the base folder, and the player itself is
//    an archive when one is appended to it;
//  - with arguments (folders or files, UTF-8), the first names the base folder (its own
//    folder when it is a file); then for each argument in order, "game.dat" in the folder
//    it names is registered, and the argument itself when it is an archive file.
// A damaged archive throws EMobuError with the archive's message.
void LocateGameData(const std::vector<std::string>& arguments, const std::string& executable_path);

}  // namespace mobu
