// The save file on disk ("save.dat"): read as an archive, and changed only through
// ReplaceSaveEntries, which holds an exclusive lock on "save.dat.lock" for the whole
// read-modify-write, keeps the current file as "save.dat.bak" and replaces the file
// atomically (temporary file, fsync, rename, folder fsync). At any instant the last good
// save file exists. Paths are UTF-8.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/vr_file_collection.h"

namespace mobu {

// Writes a whole file crash-safely; false with the reason on failure (the target is then
// untouched). The default is ReplaceFileAtomically; tests install failing ones.
using TSaveFileReplacer = std::function<bool(const std::string& path, std::string_view bytes, std::string* reason)>;
// An empty replacer restores the default.
void SetSaveFileReplacer(TSaveFileReplacer replacer);

inline constexpr char kSaveBackupSuffix[] = ".bak";
inline constexpr char kSaveLockSuffix[] = ".lock";

// One entry to put into the save file (it goes to the end of the index).
struct TSaveEntryChange {
    std::string name;   // cp932
    std::string bytes;  // the entry's content
    int32_t time = 0;   // the entry's stamp (seconds since 1970)
};

// Reads the save file into `files`. A missing file gives an empty collection (true); a file
// that is not a readable archive gives false with the reason.
bool ReadSaveFile(const std::string& path, TVrFileCollection& files, std::string* reason = nullptr);

// Under the lock: reads the save file, replaces the named entries (others are carried over
// with their stamps), keeps the current file as the backup and writes the new file. A save
// file that exists but cannot be read is never overwritten. False, with the reason, when
// nothing was changed.
bool ReplaceSaveEntries(const std::string& path, const std::vector<TSaveEntryChange>& changes,
                        std::string* reason = nullptr);

// Under the lock: removes temporaries "save.dat.XXXXXXXX.tmp" an interrupted write left.
void RemoveStaleSaveTemporaries(const std::string& path);

// At start-up: a save file that exists but cannot be read is renamed
// "save.dat.damaged-YYYYMMDD-HHMMSS" (local time); a readable backup is then copied into
// place. Nothing is ever deleted.
struct TSaveRecovery {
    bool damaged = false;        // the save file could not be read
    bool restored = false;       // the backup took its place
    std::string kept_path;       // where the damaged file is kept ("" when it could not be moved)
};
TSaveRecovery RecoverDamagedSaveFile(const std::string& path);

// The current time as an entry stamp.
int32_t SaveEntryTimeNow();

}  // namespace mobu
