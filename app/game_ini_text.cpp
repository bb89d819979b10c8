#include "app/game_ini_text.h"

#include "core/name_case.h"

namespace mobu {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text)
{
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) return {};
    size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

// The section name of a header line, or nothing for another line.
std::optional<std::string_view> HeaderName(std::string_view line)
{
    std::string_view text = Trim(line);
    if (text.empty() || text.front() != '[') return std::nullopt;
    size_t close = text.find(']');
    if (close == std::string_view::npos) return Trim(text.substr(1));
    return Trim(text.substr(1, close - 1));
}

bool IsComment(std::string_view line)
{
    std::string_view text = Trim(line);
    return !text.empty() && (text.front() == ';' || text.front() == '#');
}

// The key name of a key line, or nothing.
std::optional<std::string_view> KeyName(std::string_view line)
{
    if (IsComment(line) || HeaderName(line)) return std::nullopt;
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(0, equals));
}

}  // namespace

// A line without a line feed: the file's last line, perhaps closed by a lone CR, which a
// line added after it must not run on from.
bool TIniText::Unterminated(const TLine& line) { return line.end.empty() || line.end == "\r"; }

// Gives an unterminated line the file's line end. A text that itself ends in CR (its closing
// CR was read as the line end, or the value holds one) takes a CR LF, so that the CR before
// the new line feed is read back as the line end and the value keeps its own.
void TIniText::Terminate(TLine& line, const std::string& end)
{
    line.end = end == "\n" && !line.text.empty() && line.text.back() == '\r' ? "\r\n" : end;
}

TIniText::TIniText(std::string_view bytes)
{
    if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
        bom_ = kUtf8Mark;
        bytes.remove_prefix(kUtf8Mark.size());
    }
    while (!bytes.empty()) {
        size_t newline = bytes.find('\n');
        TLine line;
        if (newline == std::string_view::npos) {
            // A CR closing the file is the last line's end, not part of its value.
            const bool closing_cr = bytes.back() == '\r';
            line.text = bytes.substr(0, bytes.size() - (closing_cr ? 1 : 0));
            if (closing_cr) line.end = "\r";
            bytes = {};
        } else {
            size_t text_end = newline > 0 && bytes[newline - 1] == '\r' ? newline - 1 : newline;
            line.text = bytes.substr(0, text_end);
            line.end = bytes.substr(text_end, newline + 1 - text_end);
            bytes.remove_prefix(newline + 1);
        }
        lines_.push_back(std::move(line));
    }
}

size_t TIniText::FindSection(std::string_view section) const
{
    for (size_t i = 0; i < lines_.size(); ++i) {
        std::optional<std::string_view> name = HeaderName(lines_[i].text);
        if (name && SameCp932Name(*name, section)) return i;
    }
    return std::string::npos;
}

size_t TIniText::FindKey(size_t header, std::string_view key) const
{
    for (size_t i = header + 1; i < lines_.size() && !HeaderName(lines_[i].text); ++i) {
        std::optional<std::string_view> name = KeyName(lines_[i].text);
        if (name && SameCp932Name(*name, key)) return i;
    }
    return std::string::npos;
}

std::string TIniText::NewLineEnd() const
{
    for (const TLine& line : lines_)
        if (!Unterminated(line)) return line.end;
    return "\r\n";
}

std::optional<std::string> TIniText::Get(std::string_view section, std::string_view key) const
{
    size_t header = FindSection(section);
    if (header == std::string::npos) return std::nullopt;
    size_t line = FindKey(header, key);
    if (line == std::string::npos) return std::nullopt;
    const std::string& text = lines_[line].text;
    return std::string(Trim(std::string_view(text).substr(text.find('=') + 1)));
}

void TIniText::Set(std::string_view section, std::string_view key, std::string_view value)
{
    std::string end = NewLineEnd();
    std::string key_line = std::string(key) + "=" + std::string(value);
    size_t header = FindSection(section);
    if (header == std::string::npos) {
        if (!lines_.empty() && Unterminated(lines_.back())) Terminate(lines_.back(), end);
        lines_.push_back({"[" + std::string(section) + "]", end});
        lines_.push_back({key_line, end});
        return;
    }
    size_t found = FindKey(header, key);
    if (found != std::string::npos) {
        std::string& text = lines_[found].text;
        size_t start = text.find('=') + 1;
        while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
        text = text.substr(0, start) + std::string(value);
        return;
    }
    size_t last = header;  // the last non-blank line of the section
    for (size_t i = header + 1; i < lines_.size() && !HeaderName(lines_[i].text); ++i)
        if (!Trim(lines_[i].text).empty()) last = i;
    std::string new_end = end;
    if (Unterminated(lines_[last])) {  // the file's last line without a final newline stays so
        Terminate(lines_[last], end);
        new_end.clear();
    }
    lines_.insert(lines_.begin() + static_cast<ptrdiff_t>(last) + 1, TLine{key_line, new_end});
}

std::string TIniText::Bytes() const
{
    std::string bytes = bom_;
    for (const TLine& line : lines_) bytes += line.text + line.end;
    return bytes;
}

}  // namespace mobu
