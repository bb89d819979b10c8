// The disk map of a multi-disk game: which disk holds each folder of the game data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/byte_reader.h"
#include "core/byte_writer.h"

namespace mobu {

class TFolderDiskList {
public:
    struct Entry {
        std::string folder;  // cp932, relative to the game root, "\" separated
        int32_t disk = 0;    // 1-based; 0 = not assigned to a disk
    };

    void Add(std::string folder, int32_t disk) { entries_.push_back({std::move(folder), disk}); }
    void Clear() { entries_.clear(); }
    const std::vector<Entry>& Entries() const { return entries_; }
    bool Empty() const { return entries_.empty(); }

    // The disk that holds `file_name` (a virtual path): the entry of the innermost folder
    // that contains it, compared without case; 0 when no folder contains it.
    int32_t DiskOf(const std::string& file_name) const;

    // Stored form: int32 count, then per entry the folder (int32 length + bytes) and the
    // int32 disk number.
    void Read(ByteReader& reader);
    void Write(ByteWriter& writer) const;

private:
    std::vector<Entry> entries_;
};

}  // namespace mobu
