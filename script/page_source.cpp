#include "script/page_source.h"

#include <map>
#include <memory>
#include <vector>

#include "core/mobu_error.h"
#include "core/byte_writer.h"
#include "platform/text_encoding.h"
#include "script/command_table.h"
#include "script/expression_text.h"
#include "script/named_operands.h"
#include "script/page.h"
#include "script/property_names.h"
#include "text/ks_word.h"

namespace mobu {
namespace {

// @TextDelay after a script reset: the wait of message text outside WAIT tags.
constexpr int32_t kDefaultTextDelay = 50;

const char* const kResultNames[] = {"none", "int", "real", "flag", "string"};
const char* const kTypeNames[] = {"", "int", "real", "flag", "string"};
const char* const kScopeNames[] = {"global", "auto", "local", "status"};

struct TSourceLine {
    int line = 0;  // 1-based line in the source
    int indent = 0;
    std::string head;  // first word
    std::string rest;  // text after the first word
};

struct TSourceCommand {
    int line = 0;
    const TCommandInfo* info = nullptr;
    int32_t depth = 0;
    int32_t line_no = 0;
    uint8_t disabled = 0;
    uint8_t continue_flag = 0;
    std::multimap<std::string, std::string> operands;  // key -> value, in source order per key
};

[[noreturn]] void FailAt(int line, const std::string& what)
{
    throw EMobuError(Utf8ToCp932("line " + std::to_string(line) + ": " + what));
}

std::string Trim(std::string_view text)
{
    size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos) return {};
    size_t end = text.find_last_not_of(" \t");
    return std::string(text.substr(start, end - start + 1));
}

std::vector<TSourceLine> SplitLines(std::string_view source)
{
    std::vector<TSourceLine> lines;
    int number = 0;
    size_t at = 0;
    if (source.substr(0, 3) == "\xEF\xBB\xBF") at = 3;  // a UTF-8 byte-order mark
    while (at <= source.size()) {
        size_t end = source.find('\n', at);
        if (end == std::string_view::npos) end = source.size();
        std::string_view text = source.substr(at, end - at);
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        ++number;
        at = end + 1;
        size_t indent = 0;
        while (indent < text.size() && text[indent] == ' ') ++indent;
        if (indent < text.size() && text[indent] == '\t') FailAt(number, "indent with spaces, not tabs");
        std::string_view body = text.substr(indent);
        if (body.empty() || body.substr(0, 2) == "//") continue;
        TSourceLine line;
        line.line = number;
        line.indent = static_cast<int>(indent);
        size_t word_end = body.find_first_of(" \t;");
        line.head = std::string(body.substr(0, word_end));
        line.rest = word_end == std::string_view::npos ? std::string() : std::string(body.substr(word_end));
        lines.push_back(std::move(line));
        if (end == source.size()) break;
    }
    return lines;
}

// "key: value; key: value" with values running to the next ';' outside double quotes.
std::vector<std::pair<std::string, std::string>> SplitOperands(const std::string& text, int line)
{
    std::vector<std::pair<std::string, std::string>> operands;
    size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == ';')) ++at;
        if (at >= text.size()) break;
        size_t colon = text.find(':', at);
        if (colon == std::string::npos) FailAt(line, "'key: value' expected at \"" + text.substr(at) + "\"");
        std::string key = Trim(std::string_view(text).substr(at, colon - at));
        at = colon + 1;
        size_t start = at;
        bool quoted = false;
        while (at < text.size()) {
            char c = text[at];
            if (quoted && c == '\\' && at + 1 < text.size()) {
                at += 2;
                continue;
            }
            if (c == '"') quoted = !quoted;
            if (!quoted && c == ';') break;
            ++at;
        }
        if (quoted) FailAt(line, "unterminated quoted text");
        operands.emplace_back(key, Trim(std::string_view(text).substr(start, at - start)));
        if (at < text.size()) ++at;  // the ';'
    }
    return operands;
}

bool ParseInteger(const std::string& text, int64_t& value)
{
    if (text.empty()) return false;
    size_t at = text[0] == '-' ? 1 : 0;
    if (at == text.size()) return false;
    for (size_t i = at; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    if (text.size() > 12) return false;
    value = std::stoll(text);
    return true;
}

int32_t ParseNumber(const std::string& text, int line, int64_t low, int64_t high)
{
    int64_t value = 0;
    if (!ParseInteger(text, value) || value < low || value > high) FailAt(line, "bad number \"" + text + "\"");
    return static_cast<int32_t>(value);
}

std::string ParseString(const std::string& value, int line, TUnquoting how = {})
{
    if (!value.empty() && value[0] == '"') {
        size_t at = 0;
        std::string text;
        try {
            text = UnquoteSourceText(value, at, how);
        } catch (const EMobuError& error) {
            FailAt(line, Cp932ToUtf8(error.what()));
        }
        if (at != value.size()) FailAt(line, "text after the quoted text");
        return text;
    }
    return Utf8ToCp932(value);
}

// Quoted message text: \n is a line break, and a character code page 932 cannot hold stops
// the build, since the player could never show it.
std::string ParseMessageText(const std::string& value, int line)
{
    return ParseString(value, line, TUnquoting{.line_breaks = true, .exact = true});
}

int32_t ParseNamed(const std::string& value, const char* const* names, int count, int line, int64_t high)
{
    for (int i = 0; i < count; ++i) {
        if (names[i][0] != '\0' && value == names[i]) return i;
    }
    return ParseNumber(value, line, 0, high);
}

int32_t ParseFlagByte(const std::string& value, int line)
{
    if (value == "yes") return 1;
    if (value == "no") return 0;
    return ParseNumber(value, line, 0, 255);
}

struct TParsedPage {
    int32_t version = kNewestPageVersion;
    int32_t result = 1;
    int32_t text_delay = kDefaultTextDelay;  // the wait of message text outside WAIT tags
    std::array<TPropertyMask, kMaskEntryCount> masks{};
    std::vector<TSourceCommand> commands;
};

TParsedPage ParsePage(std::string_view source)
{
    TParsedPage page;
    bool seen_command = false;
    for (TSourceLine& line : SplitLines(source)) {
        if (line.head == "page") {
            if (seen_command) FailAt(line.line, "the page line comes before the commands");
            for (auto& [key, value] : SplitOperands(line.rest, line.line)) {
                if (key == "version") page.version = ParseNumber(value, line.line, kOldestPageVersion, kNewestPageVersion);
                else if (key == "result") page.result = ParseNamed(value, kResultNames, 5, line.line, 255);
                else if (key == "text delay") page.text_delay = ParseNumber(value, line.line, 0, INT32_MAX);
                else FailAt(line.line, "unknown page setting \"" + key + "\"");
            }
            continue;
        }
        if (line.head == "mask") {
            size_t colon = line.rest.find(':');
            if (colon == std::string::npos) FailAt(line.line, "mask COMMAND: PR_... expected");
            const TCommandInfo* info = CommandInfoByName(Trim(std::string_view(line.rest).substr(0, colon)));
            if (!info) FailAt(line.line, "unknown command in mask");
            TPropertyMask& mask = page.masks[info->id];
            std::string list = line.rest.substr(colon + 1);
            size_t at = 0;
            while (at < list.size()) {
                size_t end = list.find_first_of(" \t", at);
                if (end == std::string::npos) end = list.size();
                std::string word = list.substr(at, end - at);
                at = end + 1;
                if (word.empty()) continue;
                int bit = PropertyIdOf(word);
                if (bit < 0) bit = ParseNumber(word, line.line, 0, kMaskEntrySize * 8 - 1);
                mask[static_cast<size_t>(bit / 8)] |= static_cast<uint8_t>(1u << (bit % 8));
            }
            continue;
        }
        seen_command = true;
        TSourceCommand command;
        command.line = line.line;
        command.info = CommandInfoByName(line.head);
        if (!command.info) FailAt(line.line, "unknown command \"" + line.head + "\"");
        if (line.indent % 2 != 0) FailAt(line.line, "indent by two spaces per level");
        command.depth = line.indent / 2;
        command.line_no = line.line;
        for (auto& [key, value] : SplitOperands(line.rest, line.line)) {
            if (key == "line") command.line_no = ParseNumber(value, line.line, INT32_MIN, INT32_MAX);
            else if (key == "depth") command.depth = ParseNumber(value, line.line, INT32_MIN, INT32_MAX);
            else if (key == "continue") command.continue_flag = static_cast<uint8_t>(ParseFlagByte(value, line.line));
            else if (key == "disabled") command.disabled = static_cast<uint8_t>(ParseFlagByte(value, line.line));
            else command.operands.emplace(key, value);
        }
        page.commands.push_back(std::move(command));
    }
    return page;
}

// Loop structure: While/WhileLoop pairs by nesting, and for every command the innermost
// loop around it.
struct TLoops {
    std::vector<int32_t> loop_end;      // per While: index of its WhileLoop (-1 if none)
    std::vector<int32_t> loop_head;     // per WhileLoop: index of its While (-1 if none)
    std::vector<int32_t> enclosing;     // per command: index of the innermost open While (-1)
};

TLoops FindLoops(const std::vector<int>& ids)
{
    const size_t n = ids.size();
    TLoops loops{std::vector<int32_t>(n, -1), std::vector<int32_t>(n, -1), std::vector<int32_t>(n, -1)};
    std::vector<int32_t> open;
    for (size_t i = 0; i < n; ++i) {
        if (ids[i] == CI_WHILELOOP && !open.empty()) {
            loops.loop_head[i] = open.back();
            loops.loop_end[static_cast<size_t>(open.back())] = static_cast<int32_t>(i);
            open.pop_back();
        }
        if (!open.empty()) loops.enclosing[i] = open.back();
        if (ids[i] == CI_WHILE) open.push_back(static_cast<int32_t>(i));
    }
    return loops;
}

int32_t ComputedRole(TFieldRole role, size_t index, const TLoops& loops, int32_t count)
{
    switch (role) {
    case TFieldRole::LoopExit: {
        int32_t end = loops.loop_end[index];
        return end < 0 ? count : end + 1;
    }
    case TFieldRole::LoopHead: return loops.loop_head[index];
    case TFieldRole::BreakTarget: {
        int32_t loop = loops.enclosing[index];
        if (loop < 0) return -1;
        int32_t end = loops.loop_end[static_cast<size_t>(loop)];
        return end < 0 ? count : end + 1;
    }
    case TFieldRole::ContinueTarget: {
        int32_t loop = loops.enclosing[index];
        return loop < 0 ? -1 : loops.loop_end[static_cast<size_t>(loop)];
    }
    default: return 0;
    }
}

std::vector<std::string> ValuesOf(const TSourceCommand& command, const std::string& key)
{
    std::vector<std::string> values;
    auto range = command.operands.equal_range(key);
    for (auto it = range.first; it != range.second; ++it) values.push_back(it->second);
    return values;
}

// Tagged message text (cp932) compiled by the text engine into the stored glyph list, with
// the page's text delay (by default that of @TextDelay after a reset) as the wait of every
// character. A conversion error stops the build at the line.
std::string CompileMessageText(const std::string& text, int line, int32_t text_delay)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (true) {
        const size_t end = text.find('\n', start);
        std::string part = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!part.empty() && part.back() == '\r') part.pop_back();
        lines.push_back(std::move(part));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    TKsWord engine;
    try {
        engine.SetText(lines, text_delay);
    } catch (const EMobuError& error) {
        FailAt(line, Cp932ToUtf8(error.what()));
    }
    ByteWriter out;
    engine.SaveGlyphs(out);
    return out.Take();
}

std::string HexBytes(const std::string& value, int line)
{
    // x"0A1B..."
    if (value.size() < 3 || value[0] != 'x' || value[1] != '"' || value.back() != '"') {
        return ParseString(value, line);
    }
    std::string hex = value.substr(2, value.size() - 3);
    if (hex.size() % 2 != 0) FailAt(line, "hex text needs pairs of digits");
    std::string out;
    for (size_t i = 0; i < hex.size(); i += 2) {
        try {
            out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
        } catch (const std::exception&) {
            FailAt(line, "bad hex digits");
        }
    }
    return out;
}

}  // namespace

std::function<int32_t(const std::string&)> SourceLabelIndex(std::string_view utf8_source)
{
    TParsedPage page = ParsePage(utf8_source);
    auto labels = std::make_shared<std::map<std::string, int32_t>>();
    for (size_t i = 0; i < page.commands.size(); ++i) {
        const TSourceCommand& command = page.commands[i];
        if (command.info->id != CI_LABEL && command.info->id != CI_COMMENT) continue;
        const std::string key = command.info->id == CI_LABEL ? "name" : "text";
        std::vector<std::string> values = ValuesOf(command, key);
        std::string name = values.empty() ? std::string() : ParseString(values.front(), command.line);
        labels->emplace(name, static_cast<int32_t>(i));
    }
    return [labels](const std::string& name) -> int32_t {
        auto found = labels->find(name);
        return found == labels->end() ? -1 : found->second;
    };
}

std::string AssemblePage(std::string_view utf8_source, const TPageSourceOptions& options)
{
    TParsedPage page = ParsePage(utf8_source);
    const auto own_label = SourceLabelIndex(utf8_source);
    const int32_t count = static_cast<int32_t>(page.commands.size());
    std::vector<int> ids;
    for (const auto& command : page.commands) ids.push_back(command.info->id);
    const TLoops loops = FindLoops(ids);

    // The mask of each component-creating command: the properties any command of the id uses.
    for (const auto& command : page.commands) {
        if (!command.info->HasProperties()) continue;
        for (const auto& [key, value] : command.operands) {
            int id = PropertyIdOf(key);
            if (id < 0) continue;
            page.masks[command.info->id][static_cast<size_t>(id / 8)] |= static_cast<uint8_t>(1u << (id % 8));
        }
    }

    ByteWriter out;
    out.I32(page.version);
    out.U8(static_cast<uint8_t>(page.result));
    out.I32(kMaskEntryCount);
    out.I32(kMaskEntrySize);
    for (const auto& mask : page.masks) out.Raw(mask.data(), mask.size());
    out.I32(count);
    for (size_t index = 0; index < page.commands.size(); ++index) {
        const TSourceCommand& command = page.commands[index];
        const TCommandInfo& info = *command.info;
        const int line = command.line;
        out.U8(info.id);
        out.I32(command.depth);
        out.U8(command.disabled);
        out.U8(command.continue_flag);
        out.I32(command.line_no);
        std::map<std::string, bool> known;
        std::string page_field;
        for (const TFieldInfo& field : info.fields) {
            known[field.name] = true;
            std::vector<std::string> values = ValuesOf(command, field.name);
            if (page.version <= field.after_version) {
                if (!values.empty()) FailAt(line, std::string(field.name) + " is not stored in pages of this version");
                continue;
            }
            if (field.kind != TFieldKind::ExprList && values.size() > 1) {
                FailAt(line, std::string(field.name) + " given twice");
            }
            const std::string value = values.empty() ? std::string() : values.front();
            try {
                switch (field.kind) {
                case TFieldKind::Expr: {
                    std::string expression = values.empty() && field.defaults_true ? "TRUE" : value;
                    // A property, transition or flip mode may be written by its name: the number is stored.
                    TNamedOperand named = ResolveNamedOperand(info.id, field.name, expression);
                    if (named.error) FailAt(line, *named.error);
                    expression = std::move(named.expression);
                    out.Raw(CompileExpressionSource(expression));
                    break;
                }
                case TFieldKind::String: {
                    std::string text = ParseString(value, line);
                    if (std::string(field.name) == "page") page_field = text;
                    out.String(text);
                    break;
                }
                case TFieldKind::Text:
                    if (info.id == CI_TEXTINS && value.size() >= 2 && value[0] == '"')
                        out.String(CompileMessageText(ParseMessageText(value, line), line, page.text_delay));
                    else
                        out.String(HexBytes(value, line));
                    break;
                case TFieldKind::Byte:
                    if (info.id == CI_VARNEW && std::string(field.name) == "type") {
                        out.U8(static_cast<uint8_t>(ParseNamed(value, kTypeNames, 5, line, 255)));
                    } else if (info.id == CI_VARNEW && std::string(field.name) == "scope") {
                        out.U8(static_cast<uint8_t>(value.empty() ? 0 : ParseNamed(value, kScopeNames, 4, line, 255)));
                    } else {
                        out.U8(static_cast<uint8_t>(value.empty() ? 0 : ParseFlagByte(value, line)));
                    }
                    break;
                case TFieldKind::Int32: {
                    int64_t number = 0;
                    if (field.role == TFieldRole::Plain || field.role == TFieldRole::JumpTarget) {
                        if (value.empty()) {
                            out.I32(0);
                        } else if (ParseInteger(value, number)) {
                            out.I32(ParseNumber(value, line, INT32_MIN, INT32_MAX));
                        } else if (field.role == TFieldRole::JumpTarget) {
                            const std::string label = ParseString(value, line);
                            int32_t target = -1;
                            if (page_field.empty() || page_field == options.page_name) target = own_label(label);
                            else if (options.resolve_label) target = options.resolve_label(page_field, label);
                            if (target < 0) FailAt(line, "no label \"" + value + "\" in " + Cp932ToUtf8(page_field));
                            out.I32(target);
                        } else {
                            FailAt(line, "bad number \"" + value + "\"");
                        }
                    } else if (value.empty() || value == "auto") {
                        out.I32(ComputedRole(field.role, index, loops, count));
                    } else {
                        out.I32(ParseNumber(value, line, INT32_MIN, INT32_MAX));
                    }
                    break;
                }
                case TFieldKind::ExprList:
                    out.I32(static_cast<int32_t>(values.size()));
                    for (const auto& item : values) out.Raw(CompileExpressionSource(item));
                    break;
                case TFieldKind::Properties: {
                    const TPropertyMask& mask = page.masks[info.id];
                    for (int id = 0; id < kPropertyCount; ++id) {
                        if (!MaskHas(mask, id)) continue;
                        std::vector<std::string> property = ValuesOf(command, PropertyNameOf(id)->name);
                        if (property.size() > 1) FailAt(line, std::string(PropertyNameOf(id)->name) + " given twice");
                        out.Raw(CompileExpressionSource(property.empty() ? std::string() : property.front()));
                        known[PropertyNameOf(id)->name] = true;
                    }
                    break;
                }
                }
            } catch (const EMobuError& error) {
                const std::string message = Cp932ToUtf8(error.what());
                if (message.rfind("line ", 0) == 0) throw;
                FailAt(line, std::string(field.name) + ": " + message);
            }
        }
        for (const auto& [key, value] : command.operands) {
            if (!known.count(key)) FailAt(line, info.name + std::string(" has no operand \"") + key + "\"");
        }
    }
    return out.Take();
}

}  // namespace mobu
