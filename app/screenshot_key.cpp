#include "app/screenshot_key.h"

#include <cstdio>
#include <cstdlib>

#include "platform/durable_files.h"
#include "platform/png_writer.h"
#include "platform/virtual_keys.h"
#include "script/save_location.h"

namespace mobu {
namespace {

std::string Home()
{
    const char* home = std::getenv("HOME");
    return home != nullptr && home[0] == '/' ? home : "";
}

// XDG_PICTURES_DIR="..." of a user-dirs.dirs file: "$HOME/..." or an absolute path.
std::string PicturesDirOf(const std::string& text)
{
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line.compare(first, 17, "XDG_PICTURES_DIR=") != 0) continue;
        std::string value = line.substr(first + 17);
        while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0) {
            std::string home = Home();
            if (home.empty()) return {};
            value = home + value.substr(5);
        }
        return !value.empty() && value.front() == '/' ? value : "";
    }
    return {};
}

}  // namespace

int ScreenshotKeyOf(const TIniText& ini)
{
    std::optional<std::string> name = ini.Get("Player", "ScreenshotKey");
    if (!name) return kDefaultScreenshotKey;
    if (name->empty() || *name == "none" || *name == "None" || *name == "NONE") return 0;
    if (int key = VirtualKeyFromName(*name)) return key;
    std::fprintf(stderr, "mobuplay: game.ini [Player] ScreenshotKey=%s: unknown key name; F12 takes screenshots\n",
                 name->c_str());
    return kDefaultScreenshotKey;
}

std::string ScreenshotKeyName(int key)
{
    if (key == 0) return "none";
    for (const std::string& name : VirtualKeyNames())
        if (VirtualKeyFromName(name) == key) return name;
    return "none";
}

std::string PicturesFolder()
{
    const char* config_home = std::getenv("XDG_CONFIG_HOME");
    std::string config = config_home != nullptr && config_home[0] == '/' ? std::string(config_home)
                         : Home().empty()                                ? std::string()
                                                                         : JoinRealPath(Home(), ".config");
    if (!config.empty()) {
        if (auto text = ReadSmallRealFile(JoinRealPath(config, "user-dirs.dirs"), 65536)) {
            std::string folder = PicturesDirOf(*text);
            if (!folder.empty()) {
                while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
                return folder;
            }
        }
    }
    return Home().empty() ? "" : JoinRealPath(Home(), "Pictures");
}

std::string WriteScreenshot(const FrameBuffer& frame, const std::string& title_cp932, std::time_t when,
                            std::string& error)
{
    std::string pictures = PicturesFolder();
    if (pictures.empty()) {
        error = "no home folder";
        return {};
    }
    std::string folder = JoinRealPath(pictures, "mobu");
    if (!CreateRealFolders(folder)) {
        error = "cannot create " + folder;
        return {};
    }
    std::tm local{};
    localtime_r(&when, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d_%H%M%S", &local);
    std::string base = JoinRealPath(folder, SaveFolderNameOfTitle(title_cp932) + "_" + stamp);
    for (int number = 1; number < 1000; ++number) {
        std::string path = base + (number == 1 ? "" : "_" + std::to_string(number)) + ".png";
        bool taken = false;
        if (!CreateFileExclusively(path, taken, error)) {
            if (taken) continue;
            error = path + ": " + error;
            return {};
        }
        if (!WritePngFile(path, frame, error)) {
            error = path + ": " + error;
            return {};
        }
        return path;
    }
    error = "every name is taken";
    return {};
}

}  // namespace mobu
