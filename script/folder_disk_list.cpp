#include "script/folder_disk_list.h"

#include "core/cp932_chars.h"

namespace mobu {
namespace {

// Upper-cased, "/" read as "\", with exactly one trailing "\": the form in which folders
// and file paths are compared.
std::string FolderKey(const std::string& path)
{
    std::string key = Cp932Upper(path);
    bool ends_with_delimiter = false;
    for (size_t i = 0; i < key.size();) {
        size_t length = Cp932CharLength(key, i);
        if (length == 1 && key[i] == '/') key[i] = '\\';
        // A final 0x5C that is the trail byte of a double-byte character is no delimiter.
        ends_with_delimiter = length == 1 && key[i] == '\\';
        i += length;
    }
    if (!ends_with_delimiter) key += '\\';
    return key;
}

// Position of the last "\" that is a character of its own, or npos.
size_t LastDelimiter(const std::string& path)
{
    size_t found = std::string::npos;
    for (size_t i = 0; i < path.size();) {
        size_t length = Cp932CharLength(path, i);
        if (length == 1 && (path[i] == '\\' || path[i] == '/')) found = i;
        i += length;
    }
    return found;
}

}  // namespace

int32_t TFolderDiskList::DiskOf(const std::string& file_name) const
{
    std::vector<std::string> folders;
    folders.reserve(entries_.size());
    for (const auto& entry : entries_) folders.push_back(FolderKey(entry.folder));

    std::string path = file_name;
    while (!path.empty()) {
        std::string key = FolderKey(path);
        for (size_t i = 0; i < folders.size(); ++i) {
            if (folders[i] == key) return entries_[i].disk;
        }
        size_t delimiter = LastDelimiter(path);
        if (delimiter == std::string::npos) break;
        path.resize(delimiter);
    }
    return 0;
}

void TFolderDiskList::Read(ByteReader& reader)
{
    entries_.clear();
    size_t count = reader.Count(8);  // each entry holds at least a length and a disk number
    entries_.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        std::string folder = reader.String();
        int32_t disk = reader.I32();
        entries_.push_back({std::move(folder), disk});
    }
}

void TFolderDiskList::Write(ByteWriter& writer) const
{
    writer.I32(static_cast<int32_t>(entries_.size()));
    for (const auto& entry : entries_) {
        writer.String(entry.folder);
        writer.I32(entry.disk);
    }
}

}  // namespace mobu
