// Operands that hold a number standing for a name of a script vocabulary: the property of
// GetProp, SetProp and PropMotion (PR_ names), the transition of Flip (WP_ names) and its
// mode (FL_ names). Page sources may write the name where the number is stored; listings
// print the name back, and the listing assembles to the same bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mobu {

// The operand written as a name of its vocabulary, turned into the number it stands for.
// Other expressions come back unchanged. A name of the vocabulary's form that the
// vocabulary lacks gives the error text ("unknown property "PR_TOPP" (nearest: PR_TOP)").
struct TNamedOperand {
    std::string expression;
    std::optional<std::string> error;
};
TNamedOperand ResolveNamedOperand(int command_id, std::string_view field, const std::string& expression);

// The operand's listing text: a plain number of a named vocabulary becomes its name.
std::string NamedOperandText(int command_id, std::string_view field, const std::string& text);

}  // namespace mobu
