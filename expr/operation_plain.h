// The most frequent operations on plain integer values, run without a virtual call: copy,
// arithmetic and comparison of scalar integers. Each gives exactly what the general rules of
// its family give (expr/operation_families.h); false leaves the operation to those rules.
#pragma once

#include <cstdint>

#include "expr/custom_param.h"
#include "expr/opcodes.h"
#include "expr/param_types.h"
#include "expr/param_values.h"
#include "expr/script_arith.h"

namespace mobu::operation_families {

// The integer a plain integer value reads as (element 0, or 0 when it has none); false for
// any other value.
inline bool PlainInteger(const TCustomParam& value, int32_t& out)
{
    if (value.PlainKind() != PT_INT) return false;
    const auto& elements = static_cast<const TParamInt&>(value).Elements;
    out = elements.empty() ? 0 : elements[0];
    return true;
}

inline bool RunPlainIntegers(uint8_t opcode, TOpFamily family, TCustomParam& d, const TCustomParam& a,
                             const TCustomParam& b)
{
    int32_t x = 0, y = 0;
    if (!PlainInteger(a, x)) return false;
    if (family == TOpFamily::Copy) {
        int32_t* slot = PlainScalarSlot<TParamInt>(d, PT_INT);
        if (!slot) return false;
        *slot = x;
        return true;
    }
    if (!PlainInteger(b, y)) return false;
    if (family == TOpFamily::Comparison) {
        TFlagByte* slot = PlainScalarSlot<TParamFlag>(d, PT_BOOL);
        if (!slot) return false;
        bool result = false;
        switch (opcode) {
        case ocEqual: result = x == y; break;
        case ocNEqual: result = x != y; break;
        case ocBig: result = x > y; break;
        case ocSmall: result = x < y; break;
        case ocEBig: result = x >= y; break;
        case ocESmall: result = x <= y; break;
        default: return false;
        }
        slot->value = result ? 1 : 0;
        return true;
    }
    if (family != TOpFamily::Arithmetic) return false;
    int32_t* slot = PlainScalarSlot<TParamInt>(d, PT_INT);
    if (!slot) return false;
    namespace arith = script_arith;
    switch (opcode) {
    case ocPlus: *slot = arith::Add(x, y); break;
    case ocMinus: *slot = arith::Sub(x, y); break;
    case ocMul: *slot = arith::Mul(x, y); break;
    case ocDiv: *slot = arith::Div(x, y); break;
    case ocMod: *slot = arith::Mod(x, y); break;
    case ocOr: *slot = x | y; break;
    case ocAnd: *slot = x & y; break;
    case ocXor: *slot = x ^ y; break;
    case ocShiftL: *slot = arith::ShiftLeft(x, y); break;
    case ocShiftR: *slot = arith::ShiftRight(x, y); break;
    default: return false;
    }
    return true;
}

}  // namespace mobu::operation_families
