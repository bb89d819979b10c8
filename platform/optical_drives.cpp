#include "platform/optical_drives.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace mobu {
namespace {

std::string DecodeOctalEscapes(const std::string& field)
{
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3' &&
            field[i + 2] >= '0' && field[i + 2] <= '7' && field[i + 3] >= '0' && field[i + 3] <= '7') {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

bool IsOpticalType(const std::string& type) { return type == "iso9660" || type == "udf"; }

bool Contains(const std::string& mount_point, const std::string& path)
{
    if (mount_point == "/") return !path.empty() && path[0] == '/';
    return path.compare(0, mount_point.size(), mount_point) == 0 &&
           (path.size() == mount_point.size() || path[mount_point.size()] == '/');
}

}  // namespace

std::vector<TMountEntry> ParseMountTable(const std::string& text)
{
    std::vector<TMountEntry> mounts;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, mount_point, type;
        if (!(fields >> device >> mount_point >> type)) continue;
        mount_point = DecodeOctalEscapes(mount_point);
        while (mount_point.size() > 1 && mount_point.back() == '/') mount_point.pop_back();
        mounts.push_back({mount_point, type});
    }
    return mounts;
}

std::vector<TMountEntry> ReadMountTable()
{
    std::ifstream in("/proc/self/mounts");
    std::stringstream text;
    text << in.rdbuf();
    return ParseMountTable(text.str());
}

bool IsOnOpticalDisc(const std::string& path, const std::vector<TMountEntry>& mounts)
{
    const TMountEntry* best = nullptr;
    for (const auto& mount : mounts) {
        if (Contains(mount.mount_point, path) && (!best || mount.mount_point.size() >= best->mount_point.size()))
            best = &mount;  // later entries of the same point hide earlier ones
    }
    return best && IsOpticalType(best->type);
}

bool IsOnOpticalDisc(const std::string& path)
{
    std::error_code error;
    auto canonical = std::filesystem::weakly_canonical(std::filesystem::absolute(path, error), error);
    return IsOnOpticalDisc(error ? path : canonical.string(), ReadMountTable());
}

}  // namespace mobu
