// The source text of a preview-menu file (UTF-8): a [menu] section with version, width and
// height, then one [button] section per record in file order with its fields as
// "key = value" lines (paths as stored with "\", yes/no flags, a value in double quotes when
// it has outer spaces). Printing holds exactly the fields of the file's version, empty
// strings as "key ="; reading takes missing keys as empty or 0 and ignores the version.
#pragma once

#include <string>

#include "components/prev_menu_file.h"

namespace mobu {

std::string PrevMenuSourceText(const TPrevMenuFile& file);
// Reads a source into a file of the newest version; a malformed line raises EMobuError
// whose message names the line.
TPrevMenuFile ReadPrevMenuSource(const std::string& utf8);

}  // namespace mobu
