// Where the game keeps "save.dat": beside the game when that folder is writable, else in
// the user's data folder under the game's title. Real paths here are UTF-8.
#pragma once

#include <string>
#include <vector>

namespace mobu {

// The game folder a command-line argument names: the folder itself, or, when the argument
// names a file (an archive, or an executable with an appended archive), that file's folder.
std::string GameFolderOfArgument(const std::string& argument);

// The folder name made from a cp932 game title (returned in UTF-8): each of \ / : , ; * ?
// " < > | and every control character becomes "_" (only where it is a character of its
// own, never a trail byte of a double-byte character); a title that is empty or made only
// of dots becomes underscores, so the name always stays one folder below the data folder.
std::string SaveFolderNameOfTitle(const std::string& title);

struct TSaveLocationRequest {
    std::vector<std::string> arguments;  // UTF-8 command-line game arguments
    std::string executable_path;         // UTF-8
    std::string title;                   // cp932 project title
};

// Where the save file goes, or why it cannot go anywhere.
struct TSaveLocation {
    std::string file;     // UTF-8 path of save.dat; empty when no folder takes it
    std::string failure;  // cp932: "セーブできません: PATH" and the system's reason, when `file` is empty
    // The per-user folder of `file` does not exist yet and is made by the first write.
    bool folder_to_create = false;
};

// As LocateSaveFile, but a per-user folder that cannot be made gives an empty file and the
// failure to tell the player, so the game can run with saving off.
TSaveLocation LocateSaveLocation(const TSaveLocationRequest& request);

// Makes the folder of the save file when the location left it to the first write; true
// when the folder exists afterwards. A folder that was there and has gone is not made
// again: the write then fails and says so.
bool CreateSaveFolder(const TSaveLocation& location);

// The save file path: "save.dat" in the game's folder (the folder the first argument
// names, else the executable's folder) when a file can be created there and the folder
// is not under a system prefix (/usr, /opt); otherwise
// <user data folder>/mobu/<title folder>/save.dat, copying an old "save.dat" from the
// game's folder once when none is there yet (the folder is made only for that copy). Raises
// "データファイルを作成することができません" when the folder cannot be created.
std::string LocateSaveFile(const TSaveLocationRequest& request);

}  // namespace mobu
