// CD-ROM and DVD drives as Linux shows them: mounted file systems of type iso9660 or udf.
#pragma once

#include <string>
#include <vector>

namespace mobu {

struct TMountEntry {
    std::string mount_point;  // UTF-8, no trailing "/" except for the root
    std::string type;         // "ext4", "iso9660", ...
};

// Parses a mount table in the format of /proc/self/mounts (octal escapes such as \040
// decoded).
std::vector<TMountEntry> ParseMountTable(const std::string& text);

// The mount table of this process (empty when it cannot be read).
std::vector<TMountEntry> ReadMountTable();

// Whether the file system holding `path` (the longest mount point that contains it) is an
// optical disc.
bool IsOnOpticalDisc(const std::string& path, const std::vector<TMountEntry>& mounts);
bool IsOnOpticalDisc(const std::string& path);

}  // namespace mobu
