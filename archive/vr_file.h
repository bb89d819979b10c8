// TVrFile: one entry of an archive, named by its virtual path as stored (cp932, "\").
#pragma once

#include <cstdint>
#include <memory>

#include "archive/big_stream.h"
#include "core/hash_collection.h"

namespace mobu {

class TVrFile : public THashCollectionItem {
public:
    int64_t DataOffset = 0;                   // absolute position of the bytes in the source
    std::unique_ptr<TKsMemoryStream> MemData;  // in-memory entries only: the file's bytes
    int64_t DataSize = 0;                     // number of stored bytes
    bool Stored = false;                      // true: the bytes are the file; false: zlib stream
    int32_t FileTime = 0;                     // date-time stamp of the source file
    uint32_t Crc32 = 0;
    bool CrcOfRaw = false;                    // Crc32 covers the uncompressed bytes

    bool IsMemory() const { return MemData != nullptr; }
    // Bytes an in-memory entry holds, or the stored size of an archive entry.
    int64_t Size() const { return MemData ? MemData->Size() : DataSize; }
};

// Name of the sentinel entry every parsed archive ends with.
inline const char kEofEntryName[] = "\\EOF\\";

}  // namespace mobu
