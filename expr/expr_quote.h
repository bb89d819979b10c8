// Quoting of values into expression text, for assignments built as text and compiled at run
// time (the result of a called page stored into an array element or a system variable).
#pragma once

#include <string>
#include <string_view>

namespace mobu {

// `value` as a string literal of the expression language: in double quotes, with every
// backslash and double quote (at character starts, never a trail byte) preceded by a
// backslash, so the compiler reads back exactly `value` and nothing of it runs as code. A
// lead byte cut off at the very end is dropped (it would swallow the closing quote).
std::string QuoteExpressionString(std::string_view value);

// "target = \"value\"": the assignment of a text value to a result target.
std::string BuildQuotedAssignment(std::string_view target, std::string_view value);

}  // namespace mobu
