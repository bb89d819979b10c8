#include "expr/dbs/db_tsv.h"

#include "core/cp932_chars.h"
#include "expr/dbs/db_table.h"
#include "expr/param_conversion.h"

namespace mobu {

std::string TsvUnescape(std::string_view line)
{
    std::string out;
    out.reserve(line.size());
    for (size_t i = 0; i < line.size();) {
        if (IsLeadByte(line[i]) && i + 1 < line.size()) {
            out.append(line.substr(i, 2));
            i += 2;
        } else if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
            out += line[i + 1];
            i += 2;
        } else if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == 'n') {
            out += "\r\n";
            i += 2;
        } else {
            out += line[i++];
        }
    }
    return out;
}

std::vector<std::string> SplitTsvPieces(std::string_view line)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t i = 0; i < line.size();) {
        if (IsLeadByte(line[i])) {
            i += 2;
        } else if (line[i] == '\t') {
            pieces.emplace_back(line.substr(start, i - start));
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < line.size()) pieces.emplace_back(line.substr(start));
    return pieces;
}

namespace {

// One header piece: "name", "name type" or "name type length".
bool AddHeaderField(TDBCustomTable& table, std::string_view piece)
{
    const size_t blank = piece.find(' ');
    const std::string_view name = piece.substr(0, blank);
    if (name.empty()) return false;
    std::string_view type_word;
    std::string_view length_word;
    if (blank != std::string_view::npos) {
        const std::string_view rest = piece.substr(blank + 1);
        const size_t second = rest.find(' ');
        type_word = rest.substr(0, second);
        if (second != std::string_view::npos) length_word = rest.substr(second + 1);
    }
    uint8_t type = kDBString;
    if (type_word == "int") {
        type = kDBInteger;
    } else if (type_word == "float") {
        type = kDBReal;
    } else if (type_word == "bool") {
        type = kDBFlag;
    }
    int32_t length = kDBDefaultStringLength;
    if (!length_word.empty() && !TryTextToInteger(length_word, length)) length = kDBDefaultStringLength;
    return table.AddField(name, type, length);
}

}  // namespace

bool TDBCustomTable::LoadTsv(const std::vector<std::string>& lines)
{
    ClearAll();
    if (lines.empty()) return false;
    for (const std::string& piece : SplitTsvPieces(lines[0])) {
        // An empty name, a second field of one name or a length outside the cap.
        if (!AddHeaderField(*this, piece)) {
            ClearAll();
            return false;
        }
    }
    for (size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;
        const std::vector<std::string> pieces = SplitTsvPieces(TsvUnescape(lines[i]));
        if (!Append()) return false;
        const size_t count = std::min(pieces.size(), fields_.Count());
        for (size_t k = 0; k < count; ++k) DBWriteText(fields_[k], Record(current_), pieces[k]);
    }
    return true;
}

}  // namespace mobu
