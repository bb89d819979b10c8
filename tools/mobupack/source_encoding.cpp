#include "tools/mobupack/source_encoding.h"

#include "core/mobu_error.h"
#include "platform/text_encoding.h"

namespace mobu::mobupack {

bool IsUtf8(std::string_view bytes)
{
    size_t at = 0;
    while (at < bytes.size()) {
        const auto lead = static_cast<uint8_t>(bytes[at]);
        if (lead < 0x80) {
            ++at;
            continue;
        }
        size_t length = 0;
        uint32_t code = 0;
        if (lead >= 0xC2 && lead <= 0xDF) length = 2, code = lead & 0x1F;
        else if (lead >= 0xE0 && lead <= 0xEF) length = 3, code = lead & 0x0F;
        else if (lead >= 0xF0 && lead <= 0xF4) length = 4, code = lead & 0x07;
        else return false;
        if (at + length > bytes.size()) return false;
        for (size_t i = 1; i < length; ++i) {
            const auto next = static_cast<uint8_t>(bytes[at + i]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        at += length;
    }
    return true;
}

bool IsCp932(std::string_view bytes)
{
    for (size_t at = 0; at < bytes.size(); ++at) {
        const auto byte = static_cast<uint8_t>(bytes[at]);
        if (byte < 0x80 || (byte >= 0xA1 && byte <= 0xDF)) continue;
        const bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
        if (!lead || at + 1 >= bytes.size()) return false;
        const auto trail = static_cast<uint8_t>(bytes[++at]);
        if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return false;
    }
    // Every character must have a Unicode counterpart (it comes back the same).
    return Utf8ToCp932Exact(Cp932ToUtf8(bytes)) == std::string(bytes);
}

std::string SourceTextOf(const std::string& utf8_name, std::string bytes, TSourceEncoding encoding)
{
    // Text that is UTF-8 is read as UTF-8 even among cp932 sources: cp932 text with
    // characters above ASCII is hardly ever well-formed UTF-8.
    if (IsUtf8(bytes)) return bytes;
    if (IsCp932(bytes)) {
        if (encoding == TSourceEncoding::Cp932) return Cp932ToUtf8(bytes);
        throw EMobuError(Utf8ToCp932(utf8_name + ": this file is Shift_JIS (cp932); save it as UTF-8"));
    }
    throw EMobuError(Utf8ToCp932(utf8_name + ": this file is not UTF-8"));
}

}  // namespace mobu::mobupack
