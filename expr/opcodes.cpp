#include "expr/opcodes.h"

namespace mobu {
namespace {

struct TOpcodeInfo {
    const char* name;
    TOpFamily family;
};

// One row per opcode, in code order.
constexpr TOpcodeInfo kOpcodes[kOpcodeCount] = {
    {"ocNone", TOpFamily::Invalid},       {"ocTo", TOpFamily::Copy},
    {"ocPlus", TOpFamily::Arithmetic},    {"ocMinus", TOpFamily::Arithmetic},
    {"ocMul", TOpFamily::Arithmetic},     {"ocDiv", TOpFamily::Arithmetic},
    {"ocMod", TOpFamily::Arithmetic},     {"ocOr", TOpFamily::Arithmetic},
    {"ocAnd", TOpFamily::Arithmetic},     {"ocXor", TOpFamily::Arithmetic},
    {"ocDimTo", TOpFamily::Element},      {"ocFunc", TOpFamily::Call},
    {"ocEqual", TOpFamily::Comparison},   {"ocBig", TOpFamily::Comparison},
    {"ocSmall", TOpFamily::Comparison},   {"ocEBig", TOpFamily::Comparison},
    {"ocESmall", TOpFamily::Comparison},  {"ocShiftL", TOpFamily::Arithmetic},
    {"ocShiftR", TOpFamily::Arithmetic},  {"ocComboStr", TOpFamily::Concatenate},
    {"ocNEqual", TOpFamily::Comparison},
};

}  // namespace

TOpFamily OpcodeFamily(int code)
{
    return code >= 0 && code < kOpcodeCount ? kOpcodes[code].family : TOpFamily::Invalid;
}

std::string OpcodeName(int code)
{
    if (code >= 0 && code < kOpcodeCount) return kOpcodes[code].name;
    return "oc?" + std::to_string(code);
}

}  // namespace mobu
