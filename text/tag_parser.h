// One parsed tag of the story text: its name and attributes (NAME=VALUE, or a flag).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mobu {

class TTag {
public:
    struct Attribute {
        std::string Name;
        std::string Value;
        bool HasValue = false;  // false: a flag
    };

    std::string Name;  // as written, without the angle brackets
    std::vector<Attribute> Attributes;

    bool IsNamed(std::string_view name) const;
    const Attribute* Find(std::string_view name) const;
    bool HasFlag(std::string_view name) const { return Find(name) != nullptr; }
    // The value of an attribute written with "=" (nullopt when absent or a flag).
    std::optional<std::string> Value(std::string_view name) const;
};

// A token of at least two characters that begins with "<" and ends with ">" and is not a
// passive block.
bool IsTagToken(std::string_view token);
TTag ParseTag(std::string_view token);

// "#RRGGBB" as a colour value (red in the lowest byte); nullopt for anything else.
std::optional<int32_t> ParseTagColor(std::string_view value);
// A decimal integer with an optional sign; nullopt when invalid or out of range.
std::optional<int32_t> ParseTagInt(std::string_view value);
// HREF and EVENT VALUE: backslash before a double quote or a backslash is removed, and
// backslash-n gives CR LF.
std::string UnescapeTagValue(std::string_view value);

}  // namespace mobu
