#include "components/http_response_text.h"

namespace mobu {

std::string EucJpToShiftJis(std::string_view euc)
{
    std::string out;
    out.reserve(euc.size());
    size_t i = 0;
    while (i < euc.size()) {
        const unsigned b = static_cast<unsigned char>(euc[i]);
        if (b == 0) {
            out.push_back(' ');
            ++i;
        } else if (b <= 128 || b == 255) {
            out.push_back(static_cast<char>(b));
            ++i;
        } else if (i + 1 >= euc.size()) {
            break;  // a lead byte at the very end has no partner
        } else if (b == 0x8E) {
            out.push_back(euc[i + 1]);
            i += 2;
        } else {
            const unsigned a = b & 0x7F, c = static_cast<unsigned char>(euc[i + 1]) & 0x7F;
            const unsigned trail = (a % 2 == 0) ? c + 126 : (c < 96 ? c + 31 : c + 32);
            const unsigned lead = (a + 1) / 2 + (a <= 94 ? 112 : 176);
            out.push_back(static_cast<char>(lead & 0xFF));
            out.push_back(static_cast<char>(trail & 0xFF));
            i += 2;
        }
    }
    return out;
}

std::string JoinLines(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            if (i < text.size()) out.push_back('\x01');
        } else {
            out.push_back(c);
            ++i;
        }
    }
    return out;
}

}  // namespace mobu
