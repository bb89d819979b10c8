#include "core/cp932_chars.h"

namespace mobu {

void JLowerCaseInPlace(std::string& text)
{
    for (size_t index = 0; index < text.size(); index += CharByteLength(text, index)) {
        char& c = text[index];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    }
}

std::string JLowerCase(std::string_view text)
{
    std::string out(text);
    JLowerCaseInPlace(out);
    return out;
}

bool JSameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    size_t index = 0;
    while (index < a.size()) {
        char x = a[index];
        char y = b[index];
        if (IsLeadByte(x)) {
            if (x != y) return false;
            if (index + 1 < a.size() && a[index + 1] != b[index + 1]) return false;
            index += 2;
            continue;
        }
        if (x != y) {
            if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + ('a' - 'A'));
            if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + ('a' - 'A'));
            if (x != y) return false;
        }
        index += 1;
    }
    return true;
}

}  // namespace mobu
