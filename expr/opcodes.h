// Opcodes of compiled expressions: one byte per operation, the same codes in compiled pages
// and in the evaluator.
#pragma once

#include <cstdint>
#include <string>

namespace mobu {

enum TOpeCode : uint8_t {
    ocNone = 0,
    ocTo = 1,
    ocPlus = 2,
    ocMinus = 3,
    ocMul = 4,
    ocDiv = 5,
    ocMod = 6,
    ocOr = 7,
    ocAnd = 8,
    ocXor = 9,
    ocDimTo = 10,
    ocFunc = 11,
    ocEqual = 12,
    ocBig = 13,
    ocSmall = 14,
    ocEBig = 15,
    ocESmall = 16,
    ocShiftL = 17,
    ocShiftR = 18,
    ocComboStr = 19,
    ocNEqual = 20,
};

// Number of opcodes in the table; codes from here up are invalid.
inline constexpr int kOpcodeCount = 21;

// How an opcode runs: the families of the evaluator (expr/operation_families.h).
enum class TOpFamily : uint8_t {
    Invalid,     // ocNone and codes outside the table
    Copy,        // ocTo
    Arithmetic,  // ocPlus ocMinus ocMul ocDiv ocMod ocOr ocAnd ocXor ocShiftL ocShiftR
    Concatenate, // ocComboStr
    Comparison,  // ocEqual ocNEqual ocBig ocSmall ocEBig ocESmall
    Element,     // ocDimTo
    Call,        // ocFunc
};

// The family of an opcode; Invalid for codes outside the table.
TOpFamily OpcodeFamily(int code);

// The vocabulary name of an opcode ("ocPlus"); codes outside the table read "oc?" and the
// number, so a message about a damaged operation still says what was found.
std::string OpcodeName(int code);

}  // namespace mobu
