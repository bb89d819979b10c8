#include "expr/opcodes.h"

namespace mobu {

std::string OpcodeName(int code)
{
    static const char* const kNames[kOpcodeCount] = {
        "ocNone", "ocTo",  "ocPlus",  "ocMinus", "ocMul",  "ocDiv",    "ocMod",    "ocOr",     "ocAnd",      "ocXor",   "ocDimTo",
        "ocFunc", "ocEqual", "ocBig", "ocSmall", "ocEBig", "ocESmall", "ocShiftL", "ocShiftR", "ocComboStr", "ocNEqual",
    };
    if (code >= 0 && code < kOpcodeCount) return kNames[code];
    return "oc?" + std::to_string(code);
}

}  // namespace mobu
