#include "script/save_location.h"

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
    if (name.find_first_not_of('.') == std::string::npos) name.assign(name.empty() ? 1 : name.size(), '_');
    return Cp932ToUtf8(name);
}

std::string LocateSaveFile(const TSaveLocationRequest& request)
{
    // The game's folder: the one the first argument names, else the executable's.
    const std::string folder = request.arguments.empty() ? RealFolderOf(request.executable_path)
                                                         : GameFolderOfArgument(request.arguments.front());
    const std::string beside_game = JoinRealPath(folder, kSaveFileName);
    if (!IsUnderSystemPrefix(AbsoluteRealPath(beside_game)) && CanCreateFileIn(folder, kProbeFileName)) {
        return beside_game;
    }

    std::string data_folder = UserDataFolder();
    if (data_folder.empty()) throw EMobuError(CannotCreateDataFileMessage());
    std::string save_folder = JoinRealPath(data_folder, SaveFolderNameOfTitle(request.title));
    if (!CreateRealFolders(save_folder)) throw EMobuError(CannotCreateDataFileMessage());
    std::string save_file = JoinRealPath(save_folder, kSaveFileName);

    // Move an old save file along once: copied whole (through a temporary file) and only
    // when the new place holds none yet, so an existing save is never overwritten.
    if (RealFileExists(beside_game) && !RealFileExists(save_file)) {
        if (std::optional<std::string> old_save = ReadRealFile(beside_game)) {
            ReplaceFileAtomically(save_file, *old_save);
        }
    }
    return save_file;
}

}  // namespace mobu
