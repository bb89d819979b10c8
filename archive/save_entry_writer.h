// Where a "save:" file written by the script also goes: the save file, through the save
// container once it exists. The container installs the writer; without one, writes stay in
// the in-memory archive for this run, the write answers false and the script log says the
// save file is not there.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace mobu {

// Writes the entry `cp932_name` ("save:..." ) with `bytes` into the save file, crash-safe;
// false when it could not be written.
using TSaveEntryWriter = std::function<bool(const std::string& cp932_name, std::string_view bytes)>;

void SetSaveEntryWriter(TSaveEntryWriter writer);

// Whether the name begins with "mem:" or "save:" (letters without case).
bool IsMemoryFileName(std::string_view cp932_name);
bool IsSaveFileName(std::string_view cp932_name);

// Stores `bytes` as the memory file `cp932_name` of the in-memory archive (emptied or
// created), and for a "save:" name also passes it to the save file. False when the save
// file refused it or no save file is there yet (the memory file is written all the same).
bool WriteMemoryFile(const std::string& cp932_name, std::string_view bytes);

}  // namespace mobu
