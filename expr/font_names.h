// "@Fonts" and "@FixedFonts": the installed font names as the script sees them.
#pragma once

#include <string>

namespace mobu {

// The names (cp932; names cp932 cannot hold left out), sorted byte-wise without duplicates,
// CR LF between them. Built once per run.
const std::string& FontNamesText(bool fixed_only);

}  // namespace mobu
