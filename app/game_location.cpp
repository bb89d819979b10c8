#include "app/game_location.h"

#include <set>

#include "archive/vr_file_collection.h"
#include "archive/vr_file_manager.h"
#include "platform/real_files.h"

namespace mobu {
namespace {

// The folder an argument names: itself when it is a folder, else the folder of the file.
std::string FolderNamedBy(const std::string& argument)
{
    std::string absolute = AbsoluteRealPath(argument);
    if (RealFolderExists(absolute)) return absolute.back() == '/' ? absolute : absolute + "/";
    std::string folder = RealFolderOf(absolute);
    return folder.empty() ? std::string("./") : folder;
}

}  // namespace

void LocateGameData(const std::vector<std::string>& arguments, const std::string& executable_path)
{
    TVrFileManager& files = VrFileManager();
    files.AddArchive("");  // the in-memory archive for "mem:" and "save:" files

    if (arguments.empty()) {
        files.SetBaseFolder(RealFolderOf(executable_path));
        if (HasArchiveTrailer(executable_path)) files.AddArchive(executable_path);
        return;
    }

    files.SetBaseFolder(FolderNamedBy(arguments.front()));
    std::set<std::string> registered;
    auto add = [&](const std::string& path) {
        std::string absolute = AbsoluteRealPath(path);
        for (const auto& done : registered)
            if (SameRealFile(done, absolute)) return;
        registered.insert(absolute);
        files.AddArchive(absolute);
    };
    for (const auto& argument : arguments) {
        if (auto game_dat = FindRealSibling(FolderNamedBy(argument), "game.dat")) add(*game_dat);
        // A file named on the command line is the game's archive: one appended to an
        // executable ("mb" trailer), or a packed archive under any name.
        std::string absolute = AbsoluteRealPath(argument);
        if (RealFileExists(absolute)) add(absolute);
    }
}

}  // namespace mobu
