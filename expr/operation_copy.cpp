// Opcodes that move text and values: assignment (ocTo) and concatenation (ocComboStr).
#include <cmath>
#include <string_view>
#include <typeinfo>

#include "core/mobu_error.h"
#include "expr/expr_messages.h"
#include "expr/custom_param.h"
#include "expr/mobu_parser.h"
#include "expr/operation_families.h"
#include "expr/param_types.h"
#include "expr/param_values.h"

namespace mobu::operation_families {
namespace {

// Longest string a concatenation may build.
constexpr size_t kMaxStringSize = 64 * 1024 * 1024;

// A real about to be stored: never NaN or infinity.
Real Finite(Real value)
{
    if (!std::isfinite(value)) throw EMobuError(expr_messages::ArithmeticError());
    return value;
}

// The string a value reads as: a view of a plain string value's own text, or the converted
// text kept in `holder`.
std::string_view TextOf(const TCustomParam& value, std::string& holder)
{
    if (typeid(value) == typeid(TParamStr)) {
        const auto& text = static_cast<const TParamStr&>(value);
        if (!text.Elements.empty()) return text.Elements[0];
    }
    holder = value.GetString();
    return holder;
}

// A scalar string write into a plain string value that keeps the storage it already has.
// False when the destination is not a plain string value.
bool AssignText(TCustomParam& destination, std::string_view text)
{
    if (typeid(destination) != typeid(TParamStr)) return false;
    auto& target = static_cast<TParamStr&>(destination);
    target.DropDims();
    if (target.Elements.empty()) target.Elements.resize(1);
    target.Elements[0].assign(text.data(), text.size());
    return true;
}

}  // namespace

uint8_t CopyType(const TOpeData& op, const TOperands& operands, const TCustomParam& a)
{
    const uint8_t type = a.VarType();
    if (type < PT_INT || type > PT_STR) FailBadOperation(op, operands);
    return type;
}

void RunCopy(TCustomParam& d, const TCustomParam& a)
{
    switch (d.VarType()) {
    case PT_INT: d.SetInteger(a.GetInteger()); break;
    case PT_FLOAT: d.SetFloat(Finite(a.GetFloat())); break;
    case PT_BOOL: d.SetFlag(a.GetFlag()); break;
    case PT_STR: {
        if (&a != &d) {
            std::string holder;
            std::string_view text = TextOf(a, holder);
            if (AssignText(d, text)) break;
        }
        d.SetString(a.GetString());
        break;
    }
    default: break;
    }
}

void RunConcatenate(TCustomParam& d, const TCustomParam& a, const TCustomParam& b, std::string& joined)
{
    std::string head_holder, tail_holder;
    std::string_view head = TextOf(a, head_holder);
    std::string_view tail = TextOf(b, tail_holder);
    if (head.size() + tail.size() > kMaxStringSize) throw EMobuError(expr_messages::SizeTooLarge());
    joined.clear();
    joined.reserve(head.size() + tail.size());
    joined.append(head);
    joined.append(tail);
    if (typeid(d) == typeid(TParamStr)) {
        // Hand the joined text over and keep the destination's old storage for next time.
        auto& target = static_cast<TParamStr&>(d);
        target.DropDims();
        if (target.Elements.empty()) target.Elements.resize(1);
        std::swap(target.Elements[0], joined);
    } else {
        d.SetString(joined);
    }
}

}  // namespace mobu::operation_families
