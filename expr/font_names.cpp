#include "expr/font_names.h"

#include <algorithm>
#include <vector>

#include "platform/font_lookup.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

std::string BuildText(bool fixed_only)
{
    std::vector<std::string> names;
    for (const std::string& utf8 : ListFontFamilies(fixed_only)) {
        if (auto cp932 = Utf8ToCp932Exact(utf8); cp932 && !cp932->empty()) names.push_back(std::move(*cp932));
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    std::string text;
    for (const std::string& name : names) {
        if (!text.empty()) text += "\r\n";
        text += name;
    }
    return text;
}

}  // namespace

const std::string& FontNamesText(bool fixed_only)
{
    static const std::string all = BuildText(false);
    static const std::string fixed = BuildText(true);
    return fixed_only ? fixed : all;
}

}  // namespace mobu
