// The text of an INI file ("game.ini") held as bytes, read and edited line by line so that an
// edit changes only the value lines it must. Every other byte stays: comments, blank lines,
// unknown sections and keys, cp932 bytes, a UTF-8 byte-order mark, CRLF or LF line ends and a
// missing final newline.
//   [Section]          a section header (names compare without ASCII case)
//   Key = value        a key line: the name and the value are trimmed of blanks and tabs
//   ; comment          lines starting with ";" or "#", and lines without "=", are kept as they are
// Lookups and edits use the first section of a name and the first key of a name inside it,
// as the Windows INI functions do.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mobu {

class TIniText {
public:
    TIniText() = default;
    explicit TIniText(std::string_view bytes);

    // The value of `key` in `section`, or nothing when either is missing.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;

    // Sets `key` in `section` to `value` (which must hold no line end):
    //  - an existing key keeps its line, its spelling and its line end; only the text after
    //    "=" (past the blanks that follow it) changes;
    //  - a missing key goes after the last non-blank line of its section;
    //  - a missing section is appended at the end of the file.
    void Set(std::string_view section, std::string_view key, std::string_view value);

    // The whole file.
    std::string Bytes() const;

private:
    struct TLine {
        std::string text;  // without its line end
        std::string end;   // "\r\n", "\n", or for the file's last line "\r" or ""
    };
    static bool Unterminated(const TLine& line);
    static void Terminate(TLine& line, const std::string& end);
    // Index of the first header line of `section`, or npos.
    size_t FindSection(std::string_view section) const;
    // Index of the first key line `key` after the header at `header`, or npos.
    size_t FindKey(size_t header, std::string_view key) const;
    // The line end new lines get: the first one of the file, else CRLF.
    std::string NewLineEnd() const;

    std::string bom_;
    std::vector<TLine> lines_;
};

}  // namespace mobu
