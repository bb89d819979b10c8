// Tab-separated text of the table database: unescaping and splitting, aware of two-byte
// characters (a trail byte is never taken for a TAB or a backslash). Lines are split by
// script_text::SplitLines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mobu {

// Removes a backslash before a double quote or a second backslash; backslash-n becomes CR LF.
std::string TsvUnescape(std::string_view line);
// Pieces between TABs; an empty piece between two TABs counts, a trailing TAB adds none.
std::vector<std::string> SplitTsvPieces(std::string_view line);

}  // namespace mobu
