#include "text/tag_parser.h"

#include <charconv>

#include "core/cp932_chars.h"

namespace mobu {

namespace {

bool StartsNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && JSameText(text.substr(0, prefix.size()), prefix);
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

bool TTag::IsNamed(std::string_view name) const { return JSameText(Name, name); }

const TTag::Attribute* TTag::Find(std::string_view name) const
{
    for (const Attribute& attribute : Attributes)
        if (JSameText(attribute.Name, name)) return &attribute;
    return nullptr;
}

std::optional<std::string> TTag::Value(std::string_view name) const
{
    const Attribute* attribute = Find(name);
    if (attribute == nullptr || !attribute->HasValue) return std::nullopt;
    return attribute->Value;
}

bool IsTagToken(std::string_view token)
{
    if (token.size() < 2 || token.front() != '<' || token.back() != '>') return false;
    return !StartsNoCase(token, "<!--") && !StartsNoCase(token, "<SCRIPT") && !StartsNoCase(token, "<STYLE");
}

TTag ParseTag(std::string_view token)
{
    TTag tag;
    std::string_view inside = token.substr(1, token.size() - 2);
    size_t i = 0;
    auto skip_blanks = [&] {
        while (i < inside.size() && IsBlank(inside[i])) ++i;
    };
    auto read_word = [&](std::string& out) {
        while (i < inside.size() && !IsBlank(inside[i])) {
            const size_t length = Cp932CharLength(inside, i);
            out.append(inside.substr(i, length));
            i += length;
        }
    };
    skip_blanks();
    read_word(tag.Name);
    while (true) {
        skip_blanks();
        if (i >= inside.size()) break;
        TTag::Attribute attribute;
        while (i < inside.size() && !IsBlank(inside[i]) && inside[i] != '=') {
            const size_t length = Cp932CharLength(inside, i);
            attribute.Name.append(inside.substr(i, length));
            i += length;
        }
        if (i < inside.size() && inside[i] == '=') {
            attribute.HasValue = true;
            ++i;
            if (i < inside.size() && (inside[i] == '"' || inside[i] == '\'')) {
                const char quote = inside[i];
                size_t j = i + 1;
                bool closed = false;
                std::string value;
                while (j < inside.size()) {
                    if (inside[j] == '\\' && j + 1 < inside.size()) {
                        value.append(inside.substr(j, 2));  // unescaped later where it applies
                        j += 2;
                        continue;
                    }
                    if (inside[j] == quote) {
                        closed = true;
                        break;
                    }
                    const size_t length = Cp932CharLength(inside, j);
                    value.append(inside.substr(j, length));
                    j += length;
                }
                if (closed) {
                    attribute.Value = std::move(value);
                    i = j + 1;
                } else {
                    // No closing quote: the value runs to the next blank.
                    ++i;
                    read_word(attribute.Value);
                }
            } else {
                read_word(attribute.Value);
            }
        }
        if (!attribute.Name.empty()) tag.Attributes.push_back(std::move(attribute));
        else if (i < inside.size() && !IsBlank(inside[i]))
            ++i;  // a stray "=": skip it
    }
    return tag;
}

std::optional<int32_t> ParseTagColor(std::string_view value)
{
    if (value.size() != 7 || value[0] != '#') return std::nullopt;
    uint32_t rgb = 0;
    for (size_t i = 1; i < 7; ++i) {
        const char c = value[i];
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return std::nullopt;
        rgb = rgb << 4 | static_cast<uint32_t>(digit);
    }
    const uint32_t r = rgb >> 16 & 0xFF, g = rgb >> 8 & 0xFF, b = rgb & 0xFF;
    return static_cast<int32_t>(b << 16 | g << 8 | r);
}

std::optional<int32_t> ParseTagInt(std::string_view value)
{
    if (!value.empty() && value[0] == '+') value.remove_prefix(1);
    int32_t result = 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), result);
    if (value.empty() || error != std::errc() || end != value.data() + value.size()) return std::nullopt;
    return result;
}

std::string UnescapeTagValue(std::string_view value)
{
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[i + 1];
            if (next == '"' || next == '\\') {
                out.push_back(next);
                ++i;
                continue;
            }
            if (next == 'n') {
                out += "\r\n";
                ++i;
                continue;
            }
        }
        const size_t length = Cp932CharLength(value, i);
        out.append(value.substr(i, length));
        i += length - 1;
    }
    return out;
}

}  // namespace mobu
