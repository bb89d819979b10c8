// Font lookup through fontconfig. Games name Windows fonts ("ＭＳ ゴシック", "MS PMincho");
// the player ships a fontconfig configuration that maps those names to the IPA fonts, and a
// name that fontconfig cannot match to a font of that family counts as not installed.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace mobu {

struct TFontFile {
    std::string path;  // real file path (UTF-8)
    int index = 0;     // face index inside the file
    std::string family;  // family name fontconfig matched (UTF-8)
};

// The font file for a cp932 font name, or nothing when no installed font has that family
// (after the shipped Windows-name aliases).
std::optional<TFontFile> LookupFont(const std::string& cp932_name);

// Whatever font fontconfig would use for a sans-serif Japanese text: the last resort when
// even the default font is missing.
std::optional<TFontFile> LookupAnyFont();

// The installed font families (every name of each family, in every language it is named in)
// and the Windows names of the shipped aliases whose target is installed, as UTF-8. With
// `fixed_only`, only families of mono, dual or char-cell spacing and their aliases.
std::vector<std::string> ListFontFamilies(bool fixed_only);

// The fontconfig rules shipped with the player (the XML text), for tools and tests.
const char* ShippedFontConfiguration();

}  // namespace mobu
