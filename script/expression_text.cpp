#include "script/expression_text.h"

#include <charconv>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "core/mobu_error.h"
#include "core/byte_writer.h"
#include "expr/build_mobu_parser.h"
#include "expr/expr_quote.h"
#include "expr/mobu_parser.h"
#include "expr/opcodes.h"
#include "expr/sys_func_table.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

bool RoundTrips(std::string_view cp932, std::string& utf8)
{
    utf8 = Cp932ToUtf8(cp932);
    if (Utf8ToCp932(utf8) != cp932) return false;
    for (unsigned char c : cp932) {
        if (c < 0x20 || c == 0x7F) return false;
    }
    return true;
}

[[noreturn]] void Fail(const std::string& what) { throw EMobuError(Utf8ToCp932(what)); }

// ---- script syntax ----

// Precedence group of a two-operand opcode (lower binds tighter), 0 for none.
int GroupOf(uint8_t opcode)
{
    switch (opcode) {
    case ocMul: case ocDiv: case ocMod: return 1;
    case ocPlus: case ocMinus: return 2;
    case ocShiftL: case ocShiftR: return 3;
    case ocEqual: case ocBig: case ocSmall: case ocEBig: case ocESmall: case ocNEqual: return 4;
    case ocComboStr: return 5;
    case ocAnd: return 6;
    case ocXor: return 7;
    case ocOr: return 8;
    default: return 0;
    }
}

const char* OperatorText(uint8_t opcode)
{
    switch (opcode) {
    case ocPlus: return "+"; case ocMinus: return "-"; case ocMul: return "*"; case ocDiv: return "/";
    case ocMod: return "%"; case ocOr: return "|"; case ocAnd: return "&"; case ocXor: return "^";
    case ocEqual: return "=="; case ocBig: return ">"; case ocSmall: return "<"; case ocEBig: return ">=";
    case ocESmall: return "<="; case ocShiftL: return "<<"; case ocShiftR: return ">>";
    case ocComboStr: return "++"; case ocNEqual: return "<>";
    default: return "?";
    }
}

std::string RealText(Real value)
{
    char buffer[64];
    for (int digits = 1; digits <= 21; ++digits) {
        std::snprintf(buffer, sizeof buffer, "%.*Lg", digits, value);
        if (std::strtold(buffer, nullptr) == value) break;
    }
    std::string text = buffer;
    if (text.find_first_of(".eEn") == std::string::npos) text += ".0";
    return text;
}

// Longest script text rebuilt for one expression; a longer one is written in the raw form,
// which costs no more to read back than to write.
constexpr size_t kMaxRebuiltText = 64 * 1024;

// Rebuilt text of one operation: literal texts and the pieces of the temporaries it reads.
// The parts are joined only when the statement is complete, so each text is copied once
// however deeply the operations nest.
struct TPart {
    std::string text;
    int32_t piece = -1;  // index of a temporary's piece, or -1 for the literal text
};

struct TPiece {
    std::vector<TPart> parts;
    size_t length = 0;  // of the joined text
    int group = 0;      // precedence group of its top operator, 0 for an atom

    void Add(std::string text)
    {
        length += text.size();
        parts.push_back({std::move(text), -1});
    }
};

bool IsTemporary(const std::string& name)
{
    return name.rfind("____", 0) == 0 && name != "____arg";
}

// Rebuilds script text; false when the operations have no such form.
bool Decompile(const std::vector<TOpeData>& operations, std::string& out)
{
    std::vector<TPiece> pieces;
    // Temporaries made and not yet read. The compiler reads each temporary once, so a second
    // read has no source form; writing its text out twice would also double the text with
    // every operation of a chain.
    std::map<std::string, int32_t> temporaries;
    int32_t statement = -1;
    std::string statement_head;
    // Adds an operand to a piece. Under a two-operand operator of group `parent` (0 for
    // none) it goes in parentheses when its own top operator binds looser: on the left when
    // its group is higher, on the right when it is as high or higher.
    auto add_operand = [&](TPiece& into, const TOperand& operand, int parent = 0, bool right = false) -> bool {
        TPart part;
        int group = 0;
        size_t length = 0;
        switch (operand.Tag) {
        case otVariable:
            if (IsTemporary(operand.Text)) {
                auto found = temporaries.find(operand.Text);
                if (found == temporaries.end()) return false;
                part.piece = found->second;
                group = pieces[static_cast<size_t>(part.piece)].group;
                length = pieces[static_cast<size_t>(part.piece)].length;
                temporaries.erase(found);
                break;
            }
            if (operand.Text.empty()) return false;
            part.text = operand.Text;
            break;
        case otInteger:
            if (operand.Integer < 0) return false;
            part.text = std::to_string(operand.Integer);
            break;
        case otReal:
            if (!(operand.Float >= 0)) return false;
            part.text = RealText(operand.Float);
            break;
        case otFlag: part.text = operand.Flag ? "TRUE" : "FALSE"; break;
        case otString:
            for (char c : operand.Text) {
                if (c == '\r' || c == '\n') return false;
            }
            part.text = QuoteExpressionString(operand.Text);
            break;
        default: return false;
        }
        if (part.piece < 0) length = part.text.size();
        const bool parentheses = parent != 0 && group != 0 && (right ? group >= parent : group > parent);
        if (parentheses) into.Add("(");
        into.length += length;
        into.parts.push_back(std::move(part));
        if (parentheses) into.Add(")");
        return true;
    };
    for (const auto& op : operations) {
        TPiece result;
        if (op.Opcode == ocTo) {
            if (op.Operands.size() != 1 || !add_operand(result, op.Operands[0])) return false;
            // A plain copy keeps the group of what it copies.
            const int32_t copied = result.parts.front().piece;
            if (copied >= 0) result.group = pieces[static_cast<size_t>(copied)].group;
        } else if (const int group = GroupOf(op.Opcode); group != 0) {
            if (op.Operands.size() != 2) return false;
            if (!add_operand(result, op.Operands[0], group)) return false;
            result.Add(std::string(" ") + OperatorText(op.Opcode) + " ");
            if (!add_operand(result, op.Operands[1], group, true)) return false;
            result.group = group;
        } else if (op.Opcode == ocFunc) {
            if (op.FuncId >= kSysFuncCount) return false;
            result.Add(std::string(kSysFuncTable[op.FuncId].name) + "(");
            for (size_t i = 0; i < op.Operands.size(); ++i) {
                if (i) result.Add(", ");
                if (!add_operand(result, op.Operands[i])) return false;
            }
            result.Add(")");
        } else if (op.Opcode == ocDimTo) {
            if (op.Operands.size() < 2 || op.Operands[0].Tag != otVariable) return false;
            result.Add(op.Operands[0].Text + "[");
            for (size_t i = 1; i < op.Operands.size(); ++i) {
                if (i > 1) result.Add(", ");
                if (!add_operand(result, op.Operands[i])) return false;
            }
            result.Add("]");
        } else {
            return false;
        }
        if (result.length > kMaxRebuiltText) return false;
        const int32_t index = static_cast<int32_t>(pieces.size());
        if (IsTemporary(op.Dest)) {
            temporaries[op.Dest] = index;
        } else {
            // Only an expression of one statement has a source form.
            if (statement >= 0) return false;
            if (op.Dest != "____arg") {
                if (op.Dest.empty()) return false;
                statement_head = op.Dest + " = ";
            }
            statement = index;
        }
        pieces.push_back(std::move(result));
    }
    if (statement < 0) return false;
    out = statement_head;
    out.reserve(out.size() + pieces[static_cast<size_t>(statement)].length);
    // Depth first through the parts, without recursion: a chain can nest thousands deep.
    std::vector<std::pair<int32_t, size_t>> open{{statement, 0}};
    while (!open.empty()) {
        const TPiece& piece = pieces[static_cast<size_t>(open.back().first)];
        const size_t next = open.back().second++;
        if (next == piece.parts.size()) {
            open.pop_back();
            continue;
        }
        const TPart& part = piece.parts[next];
        if (part.piece < 0) out += part.text;
        else open.push_back({part.piece, 0});
    }
    return true;
}

// ---- raw form ----

const char* kHex = "0123456789ABCDEF";

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The byte written as two hex digits at the start of the text, or -1.
int HexByte(std::string_view text)
{
    if (text.size() < 2) return -1;
    const int high = HexDigit(text[0]), low = HexDigit(text[1]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

// Whether the whole word is a decimal number within [low, high].
bool DecimalWithin(std::string_view word, int64_t low, int64_t high, int64_t& value)
{
    const char* end = word.data() + word.size();
    const auto [stop, error] = std::from_chars(word.data(), end, value);
    return error == std::errc() && stop == end && value >= low && value <= high;
}

std::string RawOperand(const TOperand& operand)
{
    switch (operand.Tag) {
    case otVariable: return "v" + QuoteSourceText(operand.Text);
    case otInteger: return "i" + std::to_string(operand.Integer);
    case otReal: {
        ByteWriter bytes;
        bytes.Real80(operand.Float);
        std::string text = "r";
        for (unsigned char c : bytes.Bytes()) {
            text += kHex[c >> 4];
            text += kHex[c & 15];
        }
        return text;
    }
    case otFlag: return operand.Flag ? "fT" : "fF";
    default: return "s" + QuoteSourceText(operand.Text);
    }
}

std::string RawText(const std::vector<TOpeData>& operations)
{
    std::string text = "{";
    for (size_t i = 0; i < operations.size(); ++i) {
        const TOpeData& op = operations[i];
        if (i) text += " | ";
        text += OpcodeName(op.Opcode) + " " + QuoteSourceText(op.Dest);
        if (op.Opcode == ocFunc) text += " #" + std::to_string(op.FuncId);
        text += " =";
        for (size_t k = 0; k < op.Operands.size(); ++k) text += (k ? ", " : " ") + RawOperand(op.Operands[k]);
    }
    return text + "}";
}

class TRawReader {
public:
    explicit TRawReader(std::string_view text) : text_(text) {}

    std::string Compile()
    {
        Expect('{');
        std::vector<TOpeData> operations;
        SkipBlanks();
        if (Peek() != '}') {
            for (;;) {
                operations.push_back(Operation());
                SkipBlanks();
                if (Peek() == '|') {
                    ++at_;
                    continue;
                }
                break;
            }
        }
        Expect('}');
        SkipBlanks();
        if (at_ != text_.size()) Fail("text after the raw expression");
        ByteWriter out;
        out.I32(static_cast<int32_t>(operations.size()));
        for (const auto& op : operations) {
            out.U8(op.Opcode);
            out.String(op.Dest);
            out.I32(static_cast<int32_t>(op.Operands.size()));
            if (op.Opcode == ocFunc) out.U8(op.FuncId);
            for (const auto& operand : op.Operands) {
                out.U8(operand.Tag);
                switch (operand.Tag) {
                case otVariable:
                case otString: out.String(operand.Text); break;
                case otInteger: out.I32(operand.Integer); break;
                case otReal: out.Real80(operand.Float); break;
                default: out.U8(operand.Flag ? 1 : 0); break;
                }
            }
        }
        return out.Take();
    }

private:
    char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }
    void SkipBlanks()
    {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t')) ++at_;
    }
    void Expect(char c)
    {
        SkipBlanks();
        if (Peek() != c) Fail(std::string("raw expression: '") + c + "' expected");
        ++at_;
    }
    std::string Word()
    {
        SkipBlanks();
        size_t start = at_;
        while (at_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[at_])) || text_[at_] == '-' ||
                                      text_[at_] == '?')) {
            ++at_;
        }
        return std::string(text_.substr(start, at_ - start));
    }
    std::string Quoted()
    {
        SkipBlanks();
        if (Peek() != '"') Fail("raw expression: quoted text expected");
        return UnquoteSourceText(text_, at_);
    }
    TOpeData Operation()
    {
        TOpeData op;
        std::string name = Word();
        int code = -1;
        for (int i = 0; i < 256; ++i) {
            if (OpcodeName(i) == name) {
                code = i;
                break;
            }
        }
        if (code < 0) Fail("raw expression: unknown operation " + name);
        op.Opcode = static_cast<uint8_t>(code);
        op.Dest = Quoted();
        SkipBlanks();
        if (Peek() == '#') {
            ++at_;
            const std::string word = Word();
            int64_t id = 0;
            if (!DecimalWithin(word, 0, 255, id)) Fail("raw expression: bad function number \"" + word + "\"");
            op.FuncId = static_cast<uint8_t>(id);
        }
        Expect('=');
        SkipBlanks();
        if (Peek() == '|' || Peek() == '}') return op;
        for (;;) {
            op.Operands.push_back(Operand());
            SkipBlanks();
            if (Peek() != ',') break;
            ++at_;
        }
        return op;
    }
    TOperand Operand()
    {
        SkipBlanks();
        TOperand operand;
        char kind = Peek();
        ++at_;
        switch (kind) {
        case 'v': operand.Tag = otVariable; operand.Text = Quoted(); break;
        case 's': operand.Tag = otString; operand.Text = Quoted(); break;
        case 'i': {
            operand.Tag = otInteger;
            const std::string word = Word();
            int64_t value = 0;
            if (!DecimalWithin(word, INT32_MIN, INT32_MAX, value)) Fail("raw expression: bad integer \"" + word + "\"");
            operand.Integer = static_cast<int32_t>(value);
            break;
        }
        case 'f':
            operand.Tag = otFlag;
            if (Peek() != 'T' && Peek() != 'F') Fail("raw expression: fT or fF expected");
            operand.Flag = Peek() == 'T';
            ++at_;
            break;
        case 'r': {
            operand.Tag = otReal;
            const std::string hex = Word();
            if (hex.size() != 2 * kRealStoredSize) Fail("raw expression: a real needs 20 hex digits");
            uint8_t bytes[kRealStoredSize];
            for (size_t i = 0; i < kRealStoredSize; ++i) {
                const int byte = HexByte(std::string_view(hex).substr(2 * i));
                if (byte < 0) Fail("raw expression: bad hex digits in real \"" + hex + "\"");
                bytes[i] = static_cast<uint8_t>(byte);
            }
            operand.Float = RealFromBytes(bytes);
            break;
        }
        default: Fail("raw expression: bad operand");
        }
        return operand;
    }

    std::string_view text_;
    size_t at_ = 0;
};

std::string CompileScriptText(const std::string& cp932)
{
    TBuildMobuParser compiler;
    compiler.Compile(cp932);
    return compiler.ToStream();
}

}  // namespace

std::string QuoteSourceText(std::string_view cp932)
{
    std::string utf8;
    const bool plain = RoundTrips(cp932, utf8);
    std::string out = "\"";
    if (plain) {
        for (char c : utf8) {
            if (c == '"' || c == '\\') out += '\\';
            out += c;
        }
    } else {
        for (unsigned char c : cp932) {
            if (c >= 0x20 && c < 0x7F) {
                if (c == '"' || c == '\\') out += '\\';
                out += static_cast<char>(c);
            } else {
                out += "\\x";
                out += kHex[c >> 4];
                out += kHex[c & 15];
            }
        }
    }
    return out + "\"";
}

std::string UnquoteSourceText(std::string_view utf8, size_t& position, TUnquoting how)
{
    if (position >= utf8.size() || utf8[position] != '"') Fail("quoted text expected");
    ++position;
    std::string out, plain;
    auto flush = [&] {
        if (how.exact) {
            std::optional<std::string> converted = Utf8ToCp932Exact(plain);
            if (!converted) Fail("a character of \"" + plain + "\" has no code page 932 form");
            out += *converted;
        } else {
            out += Utf8ToCp932(plain);
        }
        plain.clear();
    };
    while (position < utf8.size() && utf8[position] != '"') {
        char c = utf8[position++];
        if (c != '\\') {
            plain += c;
            continue;
        }
        if (position >= utf8.size()) break;
        char escaped = utf8[position++];
        if (escaped == 'x') {
            const int byte = HexByte(utf8.substr(position));
            if (byte < 0) Fail("quoted text: \\x needs two hex digits");
            flush();
            out += static_cast<char>(byte);
            position += 2;
        } else if (escaped == 'n' && how.line_breaks) {
            plain += "\r\n";
        } else {
            plain += escaped;
        }
    }
    if (position >= utf8.size()) Fail("unterminated quoted text");
    ++position;
    flush();
    return out;
}

std::string ExpressionSourceText(const TMobuParser& expr)
{
    if (expr.Empty()) return {};
    std::unique_ptr<std::string> text = std::make_unique<std::string>();
    std::string utf8;
    if (Decompile(expr.Operations(), *text) && RoundTrips(*text, utf8)) {
        try {
            if (CompileScriptText(*text) == expr.ToStream()) return utf8;
        } catch (const std::exception&) {
        }
    }
    return RawText(expr.Operations());
}

std::string CompileExpressionSource(std::string_view utf8_text)
{
    size_t start = utf8_text.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        ByteWriter empty;
        empty.I32(0);
        return empty.Take();
    }
    if (utf8_text[start] == '{') return TRawReader(utf8_text.substr(start)).Compile();
    return CompileScriptText(Utf8ToCp932(utf8_text));
}

}  // namespace mobu
