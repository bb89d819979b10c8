// Tab-separated text of the table database: lines, unescaping and splitting, all aware of
// two-byte characters (a trail byte is never taken for a TAB or a backslash).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mobu {

// Lines ending at CR LF, LF or CR (the last line needs no end).
std::vector<std::string> SplitTsvLines(std::string_view text);
// Removes a backslash before a double quote or a second backslash; backslash-n becomes CR LF.
std::string TsvUnescape(std::string_view line);
// Pieces between TABs; an empty piece between two TABs counts, a trailing TAB adds none.
std::vector<std::string> SplitTsvPieces(std::string_view line);

}  // namespace mobu
