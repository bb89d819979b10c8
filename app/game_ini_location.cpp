#include "app/game_ini_location.h"

#include <cstdlib>

#include "archive/vr_file_manager.h"
#include "core/mobu_error.h"
#include "platform/durable_files.h"
#include "platform/real_files.h"
#include "script/project_setting.h"
#include "script/save_location.h"

namespace mobu {
namespace {

bool IsUnderSystemPrefix(const std::string& path)
{
    return path.rfind("/usr/", 0) == 0 || path.rfind("/opt/", 0) == 0;
}

}  // namespace

std::string RegisteredProjectTitle()
{
    try {
        return TProjectSetting::Parse(VrFileManager().ReadFile("mobu.mpb")).title;
    } catch (const EMobuError&) {
        return {};
    }
}

std::string UserConfigFolder()
{
    const char* config_home = std::getenv("XDG_CONFIG_HOME");
    if (config_home != nullptr && config_home[0] == '/') return config_home;
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return JoinRealPath(home, ".config");
    return {};
}

TGameIniPlace LocateGameIni(const std::string& ini_option, const std::vector<std::string>& games,
                            const std::string& executable_path, const std::function<std::string()>& title)
{
    if (!ini_option.empty()) return {ini_option, ""};
    std::string folder = games.empty() ? RealFolderOf(executable_path) : GameFolderOfArgument(games.front());
    if (folder.empty()) folder.assign(1, '.');
    std::string beside_game = JoinRealPath(folder, "game.ini");
    // An installed game's folder is never written, nor probed.
    if (!IsUnderSystemPrefix(AbsoluteRealPath(beside_game))) {
        bool writable = RealFileExists(beside_game) ? RealFileWritable(beside_game)
                                                     : CanCreateFileIn(folder, ".mobu-ini-probe");
        if (writable) return {beside_game, ""};
    }
    std::string config = UserConfigFolder();
    if (config.empty()) return {beside_game, ""};  // nowhere else: a save says why it fails
    std::string user_file = JoinRealPath(JoinRealPath(JoinRealPath(config, "mobu"), SaveFolderNameOfTitle(title())),
                                         "game.ini");
    return {user_file, beside_game};
}

std::string GameIniReadPath(const TGameIniPlace& place)
{
    if (place.shipped.empty() || RealFileExists(place.path)) return place.path;
    return place.shipped;
}

}  // namespace mobu
