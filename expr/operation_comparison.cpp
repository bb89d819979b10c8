// Comparison opcodes: a flag from comparing two values in the first one's kind.
#include "expr/custom_param.h"
#include "expr/mobu_parser.h"
#include "expr/opcodes.h"
#include "expr/operation_families.h"
#include "expr/param_types.h"

namespace mobu::operation_families {
namespace {

// Reads through the conversions of the operand's own kind.
int Compare(const TCustomParam& a, const TCustomParam& b)
{
    switch (a.VarType()) {
    case PT_STR: {
        int order = a.GetString().compare(b.GetString());
        return order < 0 ? -1 : order > 0 ? 1 : 0;
    }
    case PT_FLOAT: {
        Real x = a.GetFloat(), y = b.GetFloat();
        return x < y ? -1 : x > y ? 1 : 0;
    }
    case PT_BOOL: {
        int x = a.GetFlag() ? 1 : 0, y = b.GetFlag() ? 1 : 0;
        return x - y;
    }
    default: {
        int32_t x = a.GetInteger(), y = b.GetInteger();
        return x < y ? -1 : x > y ? 1 : 0;
    }
    }
}

}  // namespace

void RunComparison(uint8_t opcode, TCustomParam& d, const TCustomParam& a, const TCustomParam& b)
{
    const int order = Compare(a, b);
    switch (opcode) {
    case ocEqual: d.SetFlag(order == 0); break;
    case ocNEqual: d.SetFlag(order != 0); break;
    case ocBig: d.SetFlag(order > 0); break;
    case ocSmall: d.SetFlag(order < 0); break;
    case ocEBig: d.SetFlag(order >= 0); break;
    case ocESmall: d.SetFlag(order <= 0); break;
    default: break;
    }
}

}  // namespace mobu::operation_families
