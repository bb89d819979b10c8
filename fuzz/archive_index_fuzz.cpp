// Archive index parsing and entry reading on arbitrary bytes: every damaged index must be
// refused with the archive's message, and every entry read must stay inside its bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/mobu_error.h"
#include "archive/vr_file_collection.h"
#include "archive/vr_file_manager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace mobu;
    std::string bytes(reinterpret_cast<const char*>(data), size);
    TVrFileCollection archive;
    try {
        archive.OpenFromMemory(bytes, "fuzz.dat");
    } catch (const EMobuError&) {
        return 0;
    }
    for (int i = 0; i < archive.Count(); ++i) {
        const TVrFile& entry = *archive.Item(i);
        if (entry.DataOffset < 0 || entry.DataSize < 0 || entry.DataOffset + entry.DataSize > static_cast<int64_t>(size)) {
            if (entry.Name() != kEofEntryName) __builtin_trap();
        }
        try {
            std::string out;
            archive.ReadEntry(entry, out);
        } catch (const EMobuError&) {
        }
        TVrFileManager::FolderOf(entry.Name());
    }
    return 0;
}
