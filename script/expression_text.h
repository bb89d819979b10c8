// Compiled expressions as text in page sources. An expression is written in the script's
// own syntax when its operations can be rebuilt from that text exactly; otherwise in the
// raw form, one operation after another inside braces, which always reads back to the
// same operations:
//   {ocPlus "____0" = v"a", i1 | ocTo "x" = v"____0"}
// Operands: v"name" variable, i123 integer, r + 20 hex digits (the 10 stored bytes of a
// real), fT / fF flag, s"text" string; ocFunc carries its function number: ocFunc "d" #12 = …
// Quoted texts are UTF-8 with \" \\ and \xHH escapes (HH a cp932 byte).
#pragma once

#include <string>
#include <string_view>

namespace mobu {

class TMobuParser;

// The text of a compiled expression (UTF-8), "" for an expression without operations.
std::string ExpressionSourceText(const TMobuParser& expr);

// The compiled-expression stream of a source text: the raw form, or script text compiled
// by the expression compiler. Raises EMobuError with the compiler's message, or for the raw
// form with what cannot be read (an unknown operation, a number out of range, bad digits).
std::string CompileExpressionSource(std::string_view utf8_text);

// A quoted text: "..." with \" \\ \xHH escapes, UTF-8 where the bytes convert exactly.
std::string QuoteSourceText(std::string_view cp932);
// How a quoted text is read. Message text also knows \n (a line break, CR LF) and refuses a
// character code page 932 cannot hold instead of writing "?" for it.
struct TUnquoting {
    bool line_breaks = false;
    bool exact = false;
};
// Reads a quoted text at `position` (at the opening quote); advances past the closing
// quote. Raises on an unterminated text and on a \x not followed by two hex digits.
std::string UnquoteSourceText(std::string_view utf8, size_t& position, TUnquoting how = {});

}  // namespace mobu
