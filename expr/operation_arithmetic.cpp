// Arithmetic opcodes: the four operations on integers or reals, and the integer-only ones.
#include "expr/custom_param.h"
#include "expr/mobu_parser.h"
#include "expr/opcodes.h"
#include "expr/operation_families.h"
#include "expr/param_types.h"
#include "expr/script_arith.h"

namespace mobu::operation_families {
namespace {

namespace arith = script_arith;

uint8_t NumericType(const TCustomParam& a, const TCustomParam& b)
{
    return a.VarType() == PT_FLOAT || b.VarType() == PT_FLOAT ? PT_FLOAT : PT_INT;
}

// Runs `operation` on reals into a real destination, on integers into any other.
template <typename Operation>
void Numeric(TCustomParam& d, const TCustomParam& a, const TCustomParam& b, Operation operation)
{
    if (d.VarType() == PT_FLOAT) {
        d.SetFloat(operation(a.GetFloat(), b.GetFloat()));
    } else {
        d.SetInteger(operation(a.GetInteger(), b.GetInteger()));
    }
}

}  // namespace

uint8_t ArithmeticType(uint8_t opcode, const TCustomParam& a, const TCustomParam& b)
{
    switch (opcode) {
    case ocPlus: return a.VarType() == PT_STR ? PT_STR : NumericType(a, b);
    case ocMinus:
    case ocMul:
    case ocDiv: return NumericType(a, b);
    default: return PT_INT;
    }
}

void RunArithmetic(uint8_t opcode, TCustomParam& d, const TCustomParam& a, const TCustomParam& b)
{
    switch (opcode) {
    case ocPlus: Numeric(d, a, b, [](auto x, auto y) { return arith::Add(x, y); }); break;
    case ocMinus: Numeric(d, a, b, [](auto x, auto y) { return arith::Sub(x, y); }); break;
    case ocMul: Numeric(d, a, b, [](auto x, auto y) { return arith::Mul(x, y); }); break;
    case ocDiv: Numeric(d, a, b, [](auto x, auto y) { return arith::Div(x, y); }); break;
    case ocMod: d.SetInteger(arith::Mod(a.GetInteger(), b.GetInteger())); break;
    case ocOr: d.SetInteger(a.GetInteger() | b.GetInteger()); break;
    case ocAnd: d.SetInteger(a.GetInteger() & b.GetInteger()); break;
    case ocXor: d.SetInteger(a.GetInteger() ^ b.GetInteger()); break;
    case ocShiftL: d.SetInteger(arith::ShiftLeft(a.GetInteger(), b.GetInteger())); break;
    case ocShiftR: d.SetInteger(arith::ShiftRight(a.GetInteger(), b.GetInteger())); break;
    default: break;
    }
}

}  // namespace mobu::operation_families
