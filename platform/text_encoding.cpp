#include "platform/text_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>
#include <stdexcept>

#include "core/cp932_chars.h"

namespace mobu {
namespace {

// One iconv descriptor per direction, reused under a lock (iconv_t is not thread-safe).
class Converter {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from))
    {
        if (handle_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert CP932");
    }
    ~Converter() { iconv_close(handle_); }

    // Converts as much as it can; returns the number of input bytes consumed.
    size_t Convert(const char* in, size_t in_size, std::string& out)
    {
        std::lock_guard lock(mutex_);
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        char* in_ptr = const_cast<char*>(in);
        size_t in_left = in_size;
        char buffer[4096];
        while (in_left > 0) {
            char* out_ptr = buffer;
            size_t out_left = sizeof buffer;
            size_t result = iconv(handle_, &in_ptr, &in_left, &out_ptr, &out_left);
            out.append(buffer, out_ptr - buffer);
            if (result == static_cast<size_t>(-1) && errno != E2BIG) break;
        }
        return in_size - in_left;
    }

private:
    iconv_t handle_;
    std::mutex mutex_;
};

Converter& FromCp932()
{
    static Converter converter("UTF-8", "CP932");
    return converter;
}

Converter& ToCp932()
{
    static Converter converter("CP932", "UTF-8");
    return converter;
}

void AppendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// Code points for the single bytes cp932 leaves undefined.
char32_t FallbackFor(unsigned char c)
{
    switch (c) {
    case 0x80: return 0x0080;
    case 0xA0: return 0xF8F0;
    case 0xFD: return 0xF8F1;
    case 0xFE: return 0xF8F2;
    case 0xFF: return 0xF8F3;
    default: return 0xFFFD;
    }
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932)
{
    std::string out;
    out.reserve(cp932.size() * 3 / 2);
    size_t i = 0;
    while (i < cp932.size()) {
        // Convert the longest run iconv accepts, then handle the one character it refused.
        size_t used = FromCp932().Convert(cp932.data() + i, cp932.size() - i, out);
        i += used;
        if (i >= cp932.size()) break;
        unsigned char c = static_cast<unsigned char>(cp932[i]);
        if (IsLeadByte(c) && i + 1 < cp932.size()) {
            AppendUtf8(out, 0xFFFD);
            i += 2;
        } else {
            AppendUtf8(out, FallbackFor(c));
            i += 1;
        }
    }
    return out;
}

std::string Utf8ToCp932(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        size_t used = ToCp932().Convert(utf8.data() + i, utf8.size() - i, out);
        i += used;
        if (i >= utf8.size()) break;
        // Decode the refused character to see whether it is one of our fallback code points.
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        if (c >= 0x80 && c < 0xC0) length = 1;
        if (i + length > utf8.size()) length = utf8.size() - i;
        char32_t code = 0xFFFD;
        if (length == 2) code = ((c & 0x1F) << 6) | (utf8[i + 1] & 0x3F);
        if (length == 3) code = ((c & 0x0F) << 12) | ((utf8[i + 1] & 0x3F) << 6) | (utf8[i + 2] & 0x3F);
        switch (code) {
        case 0x0080: out.push_back('\x80'); break;
        case 0xF8F0: out.push_back('\xA0'); break;
        case 0xF8F1: out.push_back('\xFD'); break;
        case 0xF8F2: out.push_back('\xFE'); break;
        case 0xF8F3: out.push_back('\xFF'); break;
        default: out.push_back('?'); break;
        }
        i += length;
    }
    return out;
}

std::optional<std::string> Utf8ToCp932Exact(std::string_view utf8)
{
    std::string cp932 = Utf8ToCp932(utf8);
    if (Cp932ToUtf8(cp932) != utf8) return std::nullopt;
    return cp932;
}

}  // namespace mobu
