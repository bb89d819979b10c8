#include "expr/expr_chars.h"

namespace mobu {

std::u32string ToCharCodes(std::string_view bytes)
{
    std::u32string codes;
    codes.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(bytes[i]);
        if (IsCp932LeadByte(byte)) {
            if (i + 1 < bytes.size()) {
                codes.push_back(static_cast<char32_t>(byte << 8 | static_cast<unsigned char>(bytes[i + 1])));
                ++i;
            } else {
                codes.push_back(static_cast<char32_t>(0x10000 | byte));
            }
        } else {
            codes.push_back(byte);
        }
    }
    return codes;
}

std::string FromCharCodes(std::u32string_view codes)
{
    std::string bytes;
    bytes.reserve(codes.size());
    for (char32_t code : codes) {
        if (code >= 0x10000) {
            bytes.push_back(static_cast<char>(code & 0xFF));
        } else if (code >= 0x100) {
            bytes.push_back(static_cast<char>(code >> 8));
            bytes.push_back(static_cast<char>(code & 0xFF));
        } else {
            bytes.push_back(static_cast<char>(code));
        }
    }
    return bytes;
}

}  // namespace mobu
