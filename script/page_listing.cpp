// The page disassembler: a page file printed in page-source form.
#include <map>
#include <set>

#include "core/mobu_error.h"
#include "core/byte_reader.h"
#include "expr/mobu_parser.h"
#include "platform/text_encoding.h"
#include "script/expression_text.h"
#include "script/named_operands.h"
#include "script/page.h"
#include "script/page_source.h"
#include "script/property_names.h"

namespace mobu {
namespace {

const char* const kResultNames[] = {"none", "int", "real", "flag", "string"};
const char* const kTypeNames[] = {"?", "int", "real", "flag", "string"};
const char* const kScopeNames[] = {"global", "auto", "local", "status"};

// A string operand as written: bare when it reads back unchanged, else quoted. A bare
// value ends at a ';', loses blanks at its ends, and a '"' anywhere in it opens quoted text.
std::string StringValue(const std::string& cp932)
{
    std::string utf8 = Cp932ToUtf8(cp932);
    bool bare = !utf8.empty() && Utf8ToCp932(utf8) == cp932 && utf8.front() != ' ' && utf8.back() != ' ' &&
                utf8.find_first_of("\";\t") == std::string::npos;
    for (unsigned char c : cp932) {
        if (c < 0x20 || c == 0x7F) bare = false;
    }
    if (bare) {
        // A bare text that reads as a number would be taken for an index by jump targets.
        bool digits = true;
        for (size_t i = 0; i < utf8.size(); ++i) {
            if (!((utf8[i] >= '0' && utf8[i] <= '9') || (i == 0 && utf8[i] == '-'))) digits = false;
        }
        if (digits || utf8 == "auto" || utf8.rfind("x\"", 0) == 0) bare = false;
    }
    return bare ? utf8 : QuoteSourceText(cp932);
}

std::string Hex(const std::string& bytes)
{
    static const char* digits = "0123456789ABCDEF";
    std::string out = "x\"";
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out + "\"";
}

std::string FlagByte(int32_t value) { return value == 1 ? "yes" : std::to_string(value); }

// The same loop structure the assembler computes.
struct TLoopInfo {
    std::vector<int32_t> loop_end, loop_head, enclosing;
};

TLoopInfo Loops(const TPage& page)
{
    const size_t n = static_cast<size_t>(page.Count());
    TLoopInfo loops{std::vector<int32_t>(n, -1), std::vector<int32_t>(n, -1), std::vector<int32_t>(n, -1)};
    std::vector<int32_t> open;
    for (size_t i = 0; i < n; ++i) {
        int id = page.Command(static_cast<int32_t>(i))->CommandId();
        if (id == CI_WHILELOOP && !open.empty()) {
            loops.loop_head[i] = open.back();
            loops.loop_end[static_cast<size_t>(open.back())] = static_cast<int32_t>(i);
            open.pop_back();
        }
        if (!open.empty()) loops.enclosing[i] = open.back();
        if (id == CI_WHILE) open.push_back(static_cast<int32_t>(i));
    }
    return loops;
}

int32_t Computed(TFieldRole role, size_t index, const TLoopInfo& loops, int32_t count)
{
    switch (role) {
    case TFieldRole::LoopExit: return loops.loop_end[index] < 0 ? count : loops.loop_end[index] + 1;
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

// For each label name, the index FindLabel gives: the first command that is a label of its
// own text (labels and comments). Built once, so naming jump targets stays linear.
std::map<std::string, int32_t> FirstLabels(const TPage& page)
{
    std::map<std::string, int32_t> first;
    for (int32_t i = 0; i < page.Count(); ++i) {
        const TCommand* command = page.Command(i);
        const auto& fields = command->Fields();
        if (!fields.empty() && command->IsLabel(fields[0].text)) first.emplace(fields[0].text, i);
    }
    return first;
}

}  // namespace

std::string DisassemblePage(std::string_view page_bytes, const std::string& page_name)
{
    ByteReader probe(page_bytes);
    const int32_t version = probe.I32();
    if (version < kOldestPageVersion || version > kNewestPageVersion) {
        throw EMobuError(Utf8ToCp932("page version " + std::to_string(version) + " is outside 103-116"));
    }
    TPage page;
    page.LoadFromBytes(page_name, page_bytes);
    const int32_t count = page.Count();
    const TLoopInfo loops = Loops(page);
    const std::map<std::string, int32_t> first_labels = FirstLabels(page);

    std::vector<std::string> lines;
    std::string header = "page version: " + std::to_string(page.PageVersion) + "; result: " +
                         (page.ResultType < 5 ? kResultNames[page.ResultType] : std::to_string(page.ResultType));
    lines.push_back(header);

    // Mask lines for bits that no printed property implies.
    std::array<TPropertyMask, kMaskEntryCount> implied{};
    for (int32_t i = 0; i < count; ++i) {
        const TCommand* command = page.Command(i);
        const auto& properties = command->PropertyExprs();
        for (size_t id = 0; id < properties.size(); ++id) {
            if (properties[id] && !properties[id]->Empty()) {
                implied[command->CommandId()][id / 8] |= static_cast<uint8_t>(1u << (id % 8));
            }
        }
    }
    for (int id = 0; id < kMaskEntryCount; ++id) {
        std::string words;
        for (int bit = 0; bit < kMaskEntrySize * 8; ++bit) {
            if (MaskHas(page.PropertyMasks[static_cast<size_t>(id)], bit) && !MaskHas(implied[static_cast<size_t>(id)], bit)) {
                const TPropertyName* name = PropertyNameOf(bit);
                words += " " + (name ? std::string(name->name) : std::to_string(bit));
            }
        }
        if (!words.empty()) lines.push_back("mask " + std::string(CommandInfoOf(id)->name) + ":" + words);
    }

    for (int32_t index = 0; index < count; ++index) {
        const TCommand* command = page.Command(index);
        const TCommandInfo& info = command->Info();
        std::vector<std::string> operands;
        const auto& fields = command->Fields();
        std::string page_field;
        for (size_t k = 0; k < info.fields.size(); ++k) {
            const TFieldInfo& field = info.fields[k];
            const TRecordField& value = fields[k];
            if (!value.present) continue;
            const std::string key = field.name;
            switch (field.kind) {
            case TFieldKind::Expr: {
                std::string text = value.expr ? ExpressionSourceText(*value.expr) : std::string();
                // A constant property, transition or flip mode is listed by its name (it assembles
                // to the number).
                text = NamedOperandText(info.id, key, text);
                if (field.defaults_true) {
                    // An omitted condition reads back as TRUE, so an empty one is written out.
                    if (text != "TRUE") operands.push_back(key + ": " + text);
                } else if (!text.empty()) {
                    operands.push_back(key + ": " + text);
                }
                break;
            }
            case TFieldKind::String:
                if (key == "page") page_field = value.text;
                if (!value.text.empty()) operands.push_back(key + ": " + StringValue(value.text));
                break;
            case TFieldKind::Text:
                if (!value.text.empty()) operands.push_back(key + ": " + Hex(value.text));
                break;
            case TFieldKind::Byte:
                if (info.id == CI_VARNEW && key == "type") {
                    operands.push_back(key + ": " + (value.number >= 1 && value.number <= 4 ? kTypeNames[value.number]
                                                                                           : std::to_string(value.number)));
                } else if (info.id == CI_VARNEW && key == "scope") {
                    if (value.number != 0) {
                        operands.push_back(key + ": " + (value.number <= 3 ? kScopeNames[value.number]
                                                                           : std::to_string(value.number)));
                    }
                } else if (value.number != 0) {
                    operands.push_back(key + ": " + FlagByte(value.number));
                }
                break;
            case TFieldKind::Int32:
                if (field.role == TFieldRole::JumpTarget) {
                    if (value.number == 0) break;
                    // A label of this page that FindLabel finds at the same index is printed by name.
                    std::string shown = std::to_string(value.number);
                    if ((page_field.empty() || page_field == page_name) && value.number >= 0 && value.number < count) {
                        const TCommand* target = page.Command(value.number);
                        if (target->CommandId() == CI_LABEL) {
                            const std::string& label = target->Fields()[0].text;
                            if (first_labels.at(label) == value.number) {
                                std::string text = StringValue(label);
                                if (!text.empty()) shown = text;
                            }
                        }
                    }
                    operands.push_back(key + ": " + shown);
                } else if (field.role == TFieldRole::Plain) {
                    if (value.number != 0) operands.push_back(key + ": " + std::to_string(value.number));
                } else if (value.number != Computed(field.role, static_cast<size_t>(index), loops, count)) {
                    operands.push_back(key + ": " + std::to_string(value.number));
                }
                break;
            case TFieldKind::ExprList:
                for (const auto& item : value.list) operands.push_back(key + ": " + ExpressionSourceText(*item));
                break;
            case TFieldKind::Properties: {
                const auto& properties = command->PropertyExprs();
                for (size_t id = 0; id < properties.size(); ++id) {
                    if (properties[id] && !properties[id]->Empty()) {
                        operands.push_back(std::string(PropertyNameOf(static_cast<int>(id))->name) + ": " +
                                           ExpressionSourceText(*properties[id]));
                    }
                }
                break;
            }
            }
        }
        const int32_t output_line = static_cast<int32_t>(lines.size()) + 1;
        if (command->ContinueFlag) operands.push_back("continue: " + FlagByte(command->ContinueFlag));
        if (command->Disabled) operands.push_back("disabled: " + FlagByte(command->Disabled));
        if (command->LineNo != output_line) operands.push_back("line: " + std::to_string(command->LineNo));
        std::string text;
        if (command->Depth >= 0 && command->Depth <= 64) {
            text.assign(static_cast<size_t>(command->Depth) * 2, ' ');
        } else {
            operands.push_back("depth: " + std::to_string(command->Depth));
        }
        text += info.name;
        for (size_t i = 0; i < operands.size(); ++i) text += (i ? "; " : " ") + operands[i];
        lines.push_back(text);
    }
    std::string out;
    for (const auto& line : lines) out += line + "\n";
    return out;
}

}  // namespace mobu
