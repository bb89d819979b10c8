#include "expr/build_mobu_parser.h"

#include <optional>

#include "core/mobu_error.h"
#include "expr/expr_chars.h"
#include "expr/expr_messages.h"
#include "expr/literal_parse.h"
#include "expr/opcodes.h"
#include "expr/sys_func_table.h"

namespace mobu {
namespace {

using CharText = std::u32string;
constexpr size_t npos = CharText::npos;

[[noreturn]] void SyntaxError() { throw EMobuError(expr_messages::SyntaxError()); }

bool IsBlank(char32_t c) { return c <= 0x20; }
bool IsAscii(char32_t c) { return c < 0x80; }
bool IsOperatorChar(char32_t c)
{
    if (!IsAscii(c) || c == 0) return false;
    static constexpr std::string_view kOperators = "+-*/%|&^=[](),<>";
    return kOperators.find(static_cast<char>(c)) != std::string_view::npos;
}
bool IsSplitChar(char32_t c)
{
    if (!IsAscii(c) || c == 0) return false;
    static constexpr std::string_view kSplit = "%&*+-/<=>^|";
    return kSplit.find(static_cast<char>(c)) != std::string_view::npos;
}
bool IsIdentifierChar(char32_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

CharText Trim(const CharText& text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

CharText Chars(std::string_view ascii) { return ToCharCodes(ascii); }

// While the text is wrapped in one pair of parentheses that encloses all of it, remove them.
CharText RemoveRedundantParens(CharText text)
{
    while (text.size() >= 2 && text.front() == '(' && text.back() == ')') {
        int depth = 1;
        for (size_t i = 1; i + 1 < text.size(); ++i) {
            if (text[i] == '(') ++depth;
            if (text[i] == ')') --depth;
            if (depth == 0) return text;
        }
        text = Trim(text.substr(1, text.size() - 2));
    }
    return text;
}

bool ContainsOperatorChar(const CharText& text)
{
    for (char32_t c : text) {
        if (IsOperatorChar(c)) return true;
    }
    return false;
}

// Position of the ")" matching each "(", checking that every parenthesis is paired.
std::vector<size_t> PairParentheses(const CharText& text)
{
    std::vector<size_t> match(text.size(), npos);
    std::vector<size_t> open;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '(') {
            open.push_back(i);
        } else if (text[i] == ')') {
            if (open.empty()) SyntaxError();
            match[open.back()] = i;
            open.pop_back();
        }
    }
    if (!open.empty()) SyntaxError();
    return match;
}

// Index of the last non-blank character before `position`, or npos.
size_t PreviousNonBlank(const CharText& text, size_t position)
{
    while (position > 0) {
        --position;
        if (!IsBlank(text[position])) return position;
    }
    return npos;
}

std::optional<uint8_t> OperatorOpcode(std::string_view token)
{
    static const std::pair<std::string_view, uint8_t> kOperators[] = {
        {"+", ocPlus},   {"-", ocMinus},   {"*", ocMul},    {"/", ocDiv},     {"%", ocMod},       {"|", ocOr},
        {"&", ocAnd},    {"^", ocXor},     {"==", ocEqual}, {">", ocBig},     {"<", ocSmall},     {">=", ocEBig},
        {"<=", ocESmall}, {"<<", ocShiftL}, {">>", ocShiftR}, {"++", ocComboStr}, {"<>", ocNEqual}, {"=", ocTo},
    };
    for (const auto& [text, code] : kOperators) {
        if (token == text) return code;
    }
    return std::nullopt;
}

int PrecedenceGroup(std::string_view token)
{
    if (token == "*" || token == "/" || token == "%") return 1;
    if (token == "+" || token == "-") return 2;
    if (token == "<<" || token == ">>") return 3;
    if (token == "==" || token == ">=" || token == "<=" || token == ">" || token == "<" || token == "<>") return 4;
    if (token == "++") return 5;
    if (token == "&") return 6;
    if (token == "^") return 7;
    if (token == "|") return 8;
    if (token == "=") return 9;
    return 0;
}

bool IsOperatorToken(const std::string& token) { return !token.empty() && IsSplitChar(static_cast<unsigned char>(token[0])); }

bool BeginsWithAny(const std::string& token, std::string_view set)
{
    return !token.empty() && set.find(token[0]) != std::string_view::npos;
}

bool IsFoldableTemporary(const std::string& name)
{
    return name.starts_with("____") && !name.starts_with("____d_") && name != "____arg";
}

std::vector<std::string> SplitTokens(const CharText& text)
{
    std::vector<std::string> tokens;
    CharText current;
    auto flush = [&] {
        CharText trimmed = Trim(current);
        if (!trimmed.empty()) tokens.push_back(FromCharCodes(trimmed));
        current.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (!IsSplitChar(c)) {
            current.push_back(c);
            continue;
        }
        flush();
        std::string op(1, static_cast<char>(c));
        if (i + 1 < text.size() && IsAscii(text[i + 1])) {
            std::string pair = op + static_cast<char>(text[i + 1]);
            if (pair == "==" || pair == ">=" || pair == "<=" || pair == "++" || pair == "<>" || pair == "<<" || pair == ">>") {
                op = pair;
                ++i;
            }
        }
        tokens.push_back(op);
    }
    flush();
    return tokens;
}

}  // namespace

std::string TBuildMobuParser::NewTemporary() { return "____" + std::to_string(first_temporary_ + counter_++); }
std::string TBuildMobuParser::NewAlias() { return "____d_" + std::to_string(first_temporary_ + counter_++); }

void TBuildMobuParser::Compile(std::string_view text)
{
    if (text.size() > kMaxTextSize) throw EMobuError(expr_messages::SizeTooLarge());
    operations_.clear();
    counter_ = 0;
    CompileNested(ToCharCodes(text));
    FoldCopies();
}

// A function argument or subscript: empty, a plain operand, or an expression compiled into
// a temporary of its own.
std::string TBuildMobuParser::CompileArgument(const CharText& argument)
{
    CharText text = Trim(RemoveRedundantParens(Trim(argument)));
    if (text.empty()) return std::string();
    if (!ContainsOperatorChar(text)) return FromCharCodes(text);
    std::string temporary = NewTemporary();
    CompileNested(Chars(temporary) + Chars(" = ") + text);
    return temporary;
}

void TBuildMobuParser::CompileNested(CharText text)
{
    // 1. String literals become temporaries (one pass, so long texts stay linear).
    {
        CharText rewritten;
        rewritten.reserve(text.size());
        size_t i = 0;
        while (i < text.size()) {
            if (text[i] != '"') {
                rewritten.push_back(text[i++]);
                continue;
            }
            std::string literal = "\"";
            bool closed = false;
            size_t j = i + 1;
            while (j < text.size()) {
                char32_t c = text[j];
                if (c == '\\' && j + 1 < text.size() && (text[j + 1] == '"' || text[j + 1] == '\\')) {
                    literal.push_back(static_cast<char>(text[j + 1]));
                    j += 2;
                } else if (c == '\\' && j + 1 < text.size() && text[j + 1] == 'n') {
                    literal += "\r\n";
                    j += 2;
                } else if (c == '"') {
                    closed = true;
                    break;
                } else {
                    literal += FromCharCodes(CharText(1, c));
                    ++j;
                }
            }
            if (!closed) {
                rewritten.append(text, i, CharText::npos);  // an unclosed quote stays, with the rest
                break;
            }
            literal.push_back('"');
            std::string temporary = NewTemporary();
            operations_.push_back({ocTo, temporary, {literal}});
            rewritten += Chars(temporary);
            i = j + 1;
        }
        text = std::move(rewritten);
    }

    // 2. Function calls, the last one first, so inner calls compile before outer ones.
    for (;;) {
        std::vector<size_t> match = PairParentheses(text);
        size_t open = npos, name_end = npos;
        for (size_t i = text.size(); i-- > 0;) {
            if (text[i] != '(') continue;
            size_t before = PreviousNonBlank(text, i);
            if (before != npos && IsIdentifierChar(text[before])) {
                open = i;
                name_end = before + 1;
                break;
            }
        }
        if (open == npos) break;
        size_t name_start = name_end;
        while (name_start > 0 && IsIdentifierChar(text[name_start - 1])) --name_start;
        size_t close = match[open];
        CharText inside = text.substr(open + 1, close - open - 1);

        std::vector<CharText> arguments;
        if (!Trim(inside).empty()) {
            int depth = 0;
            size_t start = 0;
            for (size_t i = 0; i < inside.size(); ++i) {
                if (inside[i] == '[') {
                    ++depth;
                } else if (inside[i] == ']') {
                    if (depth == 0) SyntaxError();
                    --depth;
                } else if (inside[i] == ',' && depth == 0) {
                    arguments.push_back(Trim(inside.substr(start, i - start)));
                    start = i + 1;
                }
            }
            if (depth != 0) SyntaxError();
            arguments.push_back(Trim(inside.substr(start)));
        }

        TBuildOpeData call{ocFunc, NewTemporary(), {FromCharCodes(text.substr(name_start, name_end - name_start))}};
        text.replace(name_start, close - name_start + 1, Chars(call.Dest));
        for (const CharText& argument : arguments) call.Operands.push_back(CompileArgument(argument));
        operations_.push_back(std::move(call));
    }

    // 3. Array elements become aliases.
    for (;;) {
        size_t open = text.rfind(U'[');
        if (open == npos) break;
        size_t before = PreviousNonBlank(text, open);
        if (before == npos || IsOperatorChar(text[before])) SyntaxError();
        size_t name_start = before + 1;
        while (name_start > 0 && !IsBlank(text[name_start - 1]) && !IsOperatorChar(text[name_start - 1])) --name_start;
        size_t close = text.find(U']', open);
        if (close == npos) SyntaxError();
        CharText subscripts = text.substr(open + 1, close - open - 1);
        if (Trim(subscripts).empty()) throw EMobuError(expr_messages::BadSubscripts());

        TBuildOpeData element{ocDimTo, NewAlias(), {FromCharCodes(text.substr(name_start, before + 1 - name_start))}};
        text.replace(name_start, close - name_start + 1, Chars(element.Dest));
        size_t start = 0;
        for (size_t i = 0; i <= subscripts.size(); ++i) {
            if (i == subscripts.size() || subscripts[i] == ',') {
                element.Operands.push_back(CompileArgument(subscripts.substr(start, i - start)));
                start = i + 1;
            }
        }
        operations_.push_back(std::move(element));
    }
    if (text.find(U']') != npos) SyntaxError();

    // 4. Parenthesised groups, the last one first.
    for (;;) {
        std::vector<size_t> match = PairParentheses(text);
        size_t open = npos;
        for (size_t i = text.size(); i-- > 0;) {
            if (text[i] != '(') continue;
            size_t before = PreviousNonBlank(text, i);
            if (before == npos || !IsIdentifierChar(text[before])) {
                open = i;
                break;
            }
        }
        if (open == npos) {
            if (text.find(U'(') != npos) SyntaxError();  // a call on something that is not a name, like a[1](2)
            break;
        }
        size_t close = match[open];
        CharText inner = Trim(text.substr(open + 1, close - open - 1));
        std::string temporary = NewTemporary();
        text.replace(open, close - open + 1, Chars(temporary));
        CompileNested(Chars(temporary) + Chars(" = ") + inner);
    }

    // 5. Tokens.
    std::vector<std::string> tokens = SplitTokens(text);

    // 6. Unary signs, from the second-to-last token down to the second.
    if (tokens.size() >= 3) {
        for (size_t i = tokens.size() - 2; i >= 1; --i) {
            if ((tokens[i] == "+" || tokens[i] == "-") && BeginsWithAny(tokens[i - 1], "=+-*/%&^|[(,<>")) {
                if (tokens[i] == "+") {
                    tokens.erase(tokens.begin() + i);
                } else {
                    std::string temporary = NewTemporary();
                    operations_.push_back({ocMinus, temporary, {"0", tokens[i + 1]}});
                    tokens[i] = temporary;
                    tokens.erase(tokens.begin() + i + 1);
                }
            }
            if (i == 1) break;
        }
    }

    // 7. Reduction by precedence group, leftmost first within a group.
    if (tokens.empty()) {
        operations_.push_back({ocTo, "____arg", {FromCharCodes(Trim(text))}});
        return;
    }
    bool assigned = false;
    for (;;) {
        size_t chosen = npos;
        for (int group = 1; group <= 9 && chosen == npos; ++group) {
            for (size_t i = 0; i < tokens.size(); ++i) {
                if (IsOperatorToken(tokens[i]) && PrecedenceGroup(tokens[i]) == group) {
                    chosen = i;
                    break;
                }
            }
        }
        if (chosen == npos) {
            if (tokens.empty()) break;
            if (assigned || tokens.size() != 1) SyntaxError();
            operations_.push_back({ocTo, "____arg", {tokens[0]}});
            break;
        }
        std::optional<uint8_t> opcode = OperatorOpcode(tokens[chosen]);
        if (!opcode) SyntaxError();  // an operator character pair the language does not know
        if (chosen + 1 >= tokens.size() || IsOperatorToken(tokens[chosen + 1])) SyntaxError();
        const std::string& after = tokens[chosen + 1];
        if (*opcode == ocTo) {
            if (chosen == 0) SyntaxError();
            operations_.push_back({ocTo, tokens[chosen - 1], {after}});
            tokens.erase(tokens.begin() + chosen - 1, tokens.begin() + chosen + 2);
            assigned = true;
        } else if (chosen > 0) {
            if (BeginsWithAny(tokens[chosen - 1], "+-*/%|&^=[(<>")) SyntaxError();
            std::string temporary = NewTemporary();
            operations_.push_back({*opcode, temporary, {tokens[chosen - 1], after}});
            tokens[chosen - 1] = temporary;
            tokens.erase(tokens.begin() + chosen, tokens.begin() + chosen + 2);
        } else {
            if (*opcode != ocPlus && *opcode != ocMinus) SyntaxError();
            std::string temporary = NewTemporary();
            operations_.push_back({*opcode, temporary, {"0", after}});
            tokens[0] = temporary;
            tokens.erase(tokens.begin() + 1);
        }
    }
}

// Removes copies from one temporary into another and renames the copy's destination in the
// operations that follow.
void TBuildMobuParser::FoldCopies()
{
    for (size_t k = 0; k < operations_.size();) {
        const TBuildOpeData& op = operations_[k];
        if (op.Opcode == ocTo && op.Operands.size() == 1 && IsFoldableTemporary(op.Dest) && IsFoldableTemporary(op.Operands[0])) {
            std::string from = op.Dest, to = op.Operands[0];
            operations_.erase(operations_.begin() + k);
            for (size_t j = k; j < operations_.size(); ++j) {
                if (operations_[j].Dest == from) operations_[j].Dest = to;
                for (std::string& operand : operations_[j].Operands) {
                    if (operand == from) operand = to;
                }
            }
        } else {
            ++k;
        }
    }
}

void WriteOperandText(ByteWriter& out, std::string_view text)
{
    int32_t integer = 0;
    Real real = 0;
    if (ParseLiteralInteger(text, integer)) {
        out.U8(1);
        out.I32(integer);
    } else if (ParseLiteralReal(text, real)) {
        out.U8(2);
        out.Real80(real);
    } else if (text == "TRUE" || text == "FALSE") {
        out.U8(3);
        out.Flag(text == "TRUE");
    } else if (text.size() > 1 && text.front() == '"' && text.back() == '"') {
        out.U8(4);
        out.String(text.substr(1, text.size() - 2));
    } else {
        out.U8(0);
        out.String(text);
    }
}

void TBuildMobuParser::SaveToStream(ByteWriter& out) const
{
    out.I32(static_cast<int32_t>(operations_.size()));
    for (const TBuildOpeData& op : operations_) {
        out.U8(op.Opcode);
        out.String(op.Dest);
        if (op.Opcode == ocFunc) {
            const std::string name = op.Operands.empty() ? std::string() : op.Operands[0];
            int id = FindSysFunc(name);
            if (id < 0) throw EMobuError(expr_messages::UnknownFunction(name));
            int count = static_cast<int>(op.Operands.size()) - 1;
            if (!SysFuncAcceptsArgCount(id, count)) throw EMobuError(expr_messages::BadArgumentCount(name));
            out.I32(count);
            out.U8(static_cast<uint8_t>(id));
            for (size_t i = 1; i < op.Operands.size(); ++i) WriteOperandText(out, op.Operands[i]);
        } else {
            out.I32(static_cast<int32_t>(op.Operands.size()));
            for (const std::string& operand : op.Operands) WriteOperandText(out, operand);
        }
    }
}

std::string TBuildMobuParser::ToStream() const
{
    ByteWriter out;
    SaveToStream(out);
    return out.Take();
}

}  // namespace mobu
