#include "script/save_location.h"

#include <cerrno>
#include <cstring>

#include "core/mobu_error.h"
#include "platform/durable_files.h"
#include "platform/real_files.h"
#include "platform/text_encoding.h"
#include "core/cp932_chars.h"
#include "script/project_messages.h"

namespace mobu {
namespace {

const char kSaveFileName[] = "save.dat";
const char kProbeFileName[] = "save.dat.$$$";
// The player's own folder in the user's data folder; each game has a folder inside it.
const char kPlayerDataFolder[] = "mobu";

bool IsForbiddenInFolderName(char c)
{
    static const std::string forbidden = "\\/:,;*?\"<>|";
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F || forbidden.find(c) != std::string::npos;
}

// Executables installed under these prefixes are never beside their save file, even when
// the folder happens to be writable (for example when the player runs as root).
bool IsUnderSystemPrefix(const std::string& path)
{
    return path.rfind("/usr/", 0) == 0 || path.rfind("/opt/", 0) == 0;
}

}  // namespace

std::string GameFolderOfArgument(const std::string& argument)
{
    std::string absolute = AbsoluteRealPath(argument);
    if (RealFileExists(absolute)) return RealFolderOf(absolute);
    return absolute;
}

std::string SaveFolderNameOfTitle(const std::string& title)
{
    std::string name = title;
    for (size_t i = 0; i < name.size();) {
        size_t length = Cp932CharLength(name, i);
        if (length == 1 && IsForbiddenInFolderName(name[i])) name[i] = '_';
        i += length;
    }
    // "." and ".." name no folder of their own; other names made only of dots keep their length.
    if (name.empty() || name == "." || name == "..") name.assign(1, '_');
    else if (name.find_first_not_of('.') == std::string::npos) name.assign(name.size(), '_');
    return Cp932ToUtf8(name);
}

TSaveLocation LocateSaveLocation(const TSaveLocationRequest& request)
{
    // The game's folder: the one the first argument names, else the executable's.
    const std::string folder = request.arguments.empty() ? RealFolderOf(request.executable_path)
                                                         : GameFolderOfArgument(request.arguments.front());
    const std::string beside_game = JoinRealPath(folder, kSaveFileName);
    if (!IsUnderSystemPrefix(AbsoluteRealPath(beside_game)) && CanCreateFileIn(folder, kProbeFileName)) {
        return {beside_game, {}};
    }

    // The per-user folder: the game's own folder under "mobu" in the user's data folder, so a
    // game titled like another program ("fonts", "applications") never writes into its folder.
    auto cannot_save = [](const std::string& path, const std::string& reason) {
        return TSaveLocation{{}, SavingOffMessage(Utf8ToCp932(path), Utf8ToCp932(reason))};
    };
    std::string data_folder = UserDataFolder();
    if (data_folder.empty()) return cannot_save(beside_game, "no home folder is known");
    const std::string folder_name = SaveFolderNameOfTitle(request.title);
    std::string save_folder = JoinRealPath(JoinRealPath(data_folder, kPlayerDataFolder), folder_name);
    // The folder is made only when something is written into it: a game that never saves
    // leaves no folder behind. Until then, the nearest folder that exists must take new
    // folders, and nothing but folders may stand on the way down.
    std::string existing = save_folder;
    while (!existing.empty() && existing != "/" && !RealFolderExists(existing) && !RealFileExists(existing)) {
        existing = RealFolderOf(existing);
        while (existing.size() > 1 && existing.back() == '/') existing.pop_back();
    }
    if (!RealFolderExists(existing)) return cannot_save(save_folder, std::strerror(ENOTDIR));
    // A folder that exists but takes no new files (a read-only home): the usual reason.
    if (!CanCreateFileIn(existing, kProbeFileName)) return cannot_save(save_folder, std::strerror(EACCES));
    std::string save_file = JoinRealPath(save_folder, kSaveFileName);
    const bool folder_exists = existing == save_folder;
    auto make_folder = [&] { return folder_exists || CreateRealFolders(save_folder); };

    // Earlier players kept it directly in the user's data folder: a save found there moves
    // once, atomically, when the new place holds none; the old folder is left alone otherwise.
    const std::string earlier_save = JoinRealPath(JoinRealPath(data_folder, folder_name), kSaveFileName);
    if (!RealFileExists(save_file) && RealFileExists(earlier_save) && make_folder()) {
        MoveFileIfAbsent(earlier_save, save_file);
    }

    // A save shipped beside a read-only game is copied along once: whole (through a temporary
    // file) and only when the new place holds none yet, so an existing save is never overwritten.
    if (RealFileExists(beside_game) && !RealFileExists(save_file) && make_folder()) {
        if (std::optional<std::string> old_save = ReadRealFile(beside_game)) {
            ReplaceFileAtomically(save_file, *old_save);
        }
    }
    return {save_file, {}, !RealFolderExists(save_folder)};
}

bool CreateSaveFolder(const TSaveLocation& location)
{
    if (location.file.empty()) return false;
    const std::string folder = RealFolderOf(location.file);
    if (RealFolderExists(folder)) return true;
    return location.folder_to_create && CreateRealFolders(folder);
}

std::string LocateSaveFile(const TSaveLocationRequest& request)
{
    TSaveLocation location = LocateSaveLocation(request);
    if (location.file.empty()) throw EMobuError(CannotCreateDataFileMessage());
    return location.file;
}

}  // namespace mobu
