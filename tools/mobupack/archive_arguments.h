// Helpers the archive commands of mobupack share.
#pragma once

#include <memory>
#include <string>

#include "archive/vr_file_collection.h"

namespace mobu::mobupack {

// Opens an archive named on the command line: game.dat (split or with a ".ext" index), an
// executable with an appended archive, or save.dat. Throws EMobuError when it is not one.
std::unique_ptr<TVrFileCollection> OpenArchiveArgument(const std::string& path_utf8);

// Entry name as printed and typed (UTF-8, "\" kept).
std::string EntryNameForOutput(const std::string& cp932_name);

// Entry name typed on the command line (UTF-8, "/" or "\" separated) as stored (cp932, "\").
std::string EntryNameFromArgument(const std::string& utf8_name);

// Writes bytes to standard output; false on a write error.
bool WriteStdout(const std::string& bytes);

}  // namespace mobu::mobupack
