// The film source: printing a film as text and reading it back.
#include "graphics/film_source.h"

#include <cerrno>
#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include "core/byte_reader.h"
#include "core/mobu_error.h"
#include "graphics/film_layout.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

// ---------------- printing ----------------

std::string QuoteText(const std::string& cp932)
{
    std::string utf8;
    bool readable = true;
    try {
        utf8 = Cp932ToUtf8(cp932);
        readable = Utf8ToCp932(utf8) == cp932;
    } catch (const std::exception&) {
        readable = false;
    }
    const std::string& text = readable ? utf8 : cp932;
    std::string out = "\"";
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20 || c == 0x7F || (!readable && c >= 0x80)) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

class TPrinterIo {
public:
    explicit TPrinterIo(std::string& out) : out_(out) {}
    void I32(int32_t& v, const char* name) { Line(name, std::to_string(v)); }
    void U8(uint8_t& v, const char* name) { Line(name, std::to_string(v)); }
    void F64(double& v, const char* name)
    {
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", v);
        Line(name, text);
    }
    void Str(std::string& v, const char* name) { Line(name, QuoteText(v)); }
    void Pt(int32_t& x, int32_t& y, const char* name) { Line(name, std::to_string(x) + ", " + std::to_string(y)); }
    void Line(const char* name, const std::string& value) { out_ += std::string(name) + " = " + value + "\n"; }

private:
    std::string& out_;
};

// ---------------- reading ----------------

struct TSection {
    std::string name;
    int line = 0;
    std::map<std::string, std::pair<std::string, int>> values;  // key -> value, line
};

[[noreturn]] void Refuse(std::string* reason, int line, const std::string& why)
{
    if (reason) *reason = "line " + std::to_string(line) + ": " + why;
    throw EMobuError(ByteReader::DefaultFailureMessage());
}

std::string Trim(std::string_view text)
{
    size_t a = 0, b = text.size();
    while (a < b && (text[a] == ' ' || text[a] == '\t' || text[a] == '\r')) ++a;
    while (b > a && (text[b - 1] == ' ' || text[b - 1] == '\t' || text[b - 1] == '\r')) --b;
    return std::string(text.substr(a, b - a));
}

std::vector<TSection> Sections(std::string_view text, std::string* reason)
{
    std::vector<TSection> sections;
    int number = 0;
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        const std::string line = Trim(text.substr(at, end - at));
        at = end + 1;
        ++number;
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[') {
            if (line.back() != ']') Refuse(reason, number, "a section name is not closed");
            sections.push_back({line.substr(1, line.size() - 2), number, {}});
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string::npos) Refuse(reason, number, "expected key = value");
        if (sections.empty()) Refuse(reason, number, "a value before the first section");
        const std::string key = Trim(std::string_view(line).substr(0, eq));
        if (!sections.back().values.emplace(key, std::make_pair(Trim(std::string_view(line).substr(eq + 1)), number)).second)
            Refuse(reason, number, "\"" + key + "\" is given twice");
    }
    return sections;
}

class TSourceIo {
public:
    TSourceIo(const TSection& section, std::string* reason) : section_(section), reason_(reason) {}

    void I32(int32_t& v, const char* name)
    {
        if (const auto* value = Find(name)) v = static_cast<int32_t>(Integer(*value, INT32_MIN, INT32_MAX));
    }
    void U8(uint8_t& v, const char* name)
    {
        if (const auto* value = Find(name)) v = static_cast<uint8_t>(Integer(*value, 0, 255));
    }
    void F64(double& v, const char* name)
    {
        const auto* value = Find(name);
        if (!value) return;
        errno = 0;
        char* end = nullptr;
        v = std::strtod(value->first.c_str(), &end);
        if (value->first.empty() || *end != '\0') Refuse(reason_, value->second, "not a number: " + value->first);
    }
    void Pt(int32_t& x, int32_t& y, const char* name)
    {
        const auto* value = Find(name);
        if (!value) return;
        const size_t comma = value->first.find(',');
        if (comma == std::string::npos) Refuse(reason_, value->second, "expected x, y");
        x = static_cast<int32_t>(Integer({Trim(std::string_view(value->first).substr(0, comma)), value->second}, INT32_MIN, INT32_MAX));
        y = static_cast<int32_t>(Integer({Trim(std::string_view(value->first).substr(comma + 1)), value->second}, INT32_MIN, INT32_MAX));
    }
    void Str(std::string& v, const char* name)
    {
        const auto* value = Find(name);
        if (!value) return;
        const std::string& text = value->first;
        if (text.size() < 2 || text.front() != '"' || text.back() != '"')
            Refuse(reason_, value->second, "a text must stand in double quotes");
        std::string out, run;  // run: UTF-8 waiting for conversion
        auto flush = [&] {
            if (run.empty()) return;
            try {
                out += Utf8ToCp932(run);
            } catch (const std::exception&) {
                Refuse(reason_, value->second, "the text does not fit code page 932");
            }
            run.clear();
        };
        for (size_t i = 1; i + 1 < text.size(); ++i) {
            if (text[i] != '\\') {
                run += text[i];
                continue;
            }
            if (i + 2 >= text.size()) Refuse(reason_, value->second, "a text ends inside an escape");
            const char e = text[++i];
            if (e == '\\' || e == '"') {
                run += e;
            } else if (e == 'x' && i + 3 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
                       std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
                flush();
                out += static_cast<char>(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
                i += 2;
            } else {
                Refuse(reason_, value->second, "unknown escape in a text");
            }
        }
        flush();
        v = out;
    }
    const std::pair<std::string, int>* Find(const std::string& name)
    {
        auto it = section_.values.find(name);
        if (it == section_.values.end()) return nullptr;
        used_.insert(name);
        return &it->second;
    }
    // Every key of the section was taken by a field.
    void CheckAllUsed() const
    {
        for (const auto& [key, value] : section_.values)
            if (!used_.count(key)) Refuse(reason_, value.second, "unknown key \"" + key + "\" in [" + section_.name + "]");
    }
    int64_t Integer(const std::pair<std::string, int>& value, int64_t lo, int64_t hi) const
    {
        const std::string& text = value.first;
        const bool negative = !text.empty() && text[0] == '-';
        const std::string digits = negative ? text.substr(1) : text;
        const bool hex = digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
        errno = 0;
        char* end = nullptr;
        const std::string body = hex ? digits.substr(2) : digits;
        unsigned long long magnitude = std::strtoull(body.c_str(), &end, hex ? 16 : 10);
        if (body.empty() || *end != '\0' || errno == ERANGE || body[0] == '-' || body[0] == '+')
            Refuse(reason_, value.second, "not an integer: " + text);
        if (magnitude > 0xFFFFFFFFull) Refuse(reason_, value.second, "out of range: " + text);
        int64_t v = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
        // Hex values name bit patterns: 0xFFFFFFFF is -1.
        if (hex && !negative && hi == INT32_MAX && v > INT32_MAX) v -= int64_t{1} << 32;
        if (v < lo || v > hi) Refuse(reason_, value.second, "out of range: " + text);
        return v;
    }

private:
    const TSection& section_;
    std::string* reason_;
    std::set<std::string> used_;
};

int KindOfName(const std::string& name)
{
    for (int kind = 0; kind < kFrameListKinds; ++kind)
        if (name == FrameListKindName(kind)) return kind;
    return -1;
}

}  // namespace

std::string PrintFilmSource(const TFilmData& source)
{
    TFilmData& film = const_cast<TFilmData&>(source);  // the printer only reads the fields
    std::string out = "[film]\n";
    TPrinterIo io(out);
    io.Line("kind", film.Kind == kFilmCinema ? "cinema" : "motion");
    io.Line("version", std::to_string(film.Version));
    film_layout::Header(io, film, film.Version);
    for (auto& track : film.Tracks) {
        out += "\n[track]\n";
        io.Line("kind", FrameListKindName(track->Kind()));
        if (track->KindByte != track->Kind()) io.Line("kind_byte", std::to_string(track->KindByte));
        film_layout::Track(io, *track, film.Version);
    }
    return out;
}

TFilmData ReadFilmSource(std::string_view text, std::string* reason)
{
    std::vector<TSection> sections = Sections(text, reason);
    if (sections.empty() || sections[0].name != "film") Refuse(reason, sections.empty() ? 1 : sections[0].line, "the source begins with [film]");
    TFilmData film;
    {
        TSourceIo io(sections[0], reason);
        const auto* kind = io.Find("kind");
        if (!kind || (kind->first != "cinema" && kind->first != "motion"))
            Refuse(reason, kind ? kind->second : sections[0].line, "kind is cinema or motion");
        film.Kind = kind->first == "cinema" ? kFilmCinema : kFilmMotion;
        film.Version = kFilmNewestVersion;
        if (const auto* version = io.Find("version")) {
            film.Version = static_cast<int>(io.Integer(*version, kFilmOldestVersion, kFilmNewestVersion));
        }
        film_layout::Header(io, film, film.Version);
        io.CheckAllUsed();
    }
    for (size_t i = 1; i < sections.size(); ++i) {
        const TSection& section = sections[i];
        if (section.name != "track") Refuse(reason, section.line, "unknown section [" + section.name + "]");
        TSourceIo io(section, reason);
        const auto* kind_name = io.Find("kind");
        const int kind = kind_name ? KindOfName(kind_name->first) : -1;
        if (kind < 0) Refuse(reason, kind_name ? kind_name->second : section.line, "unknown or missing track kind");
        auto track = MakeFrameList(kind);
        if (const auto* byte = io.Find("kind_byte")) {
            track->KindByte = static_cast<uint8_t>(io.Integer(*byte, 0, 255));
            if ((track->KindByte & 0x7F) != kind) Refuse(reason, byte->second, "kind_byte does not match the kind");
        }
        film_layout::Track(io, *track, film.Version);
        io.CheckAllUsed();
        film.Tracks.push_back(std::move(track));
    }
    LinkFilm(film);
    return film;
}

}  // namespace mobu
