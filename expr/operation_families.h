// The evaluation rules of the opcodes, one family per file: copy and concatenation
// (operation_copy.cpp), arithmetic (operation_arithmetic.cpp), comparison
// (operation_comparison.cpp) and function calls (operation_call.cpp). Each family gives the
// type of a temporary destination it makes and writes its result into the destination.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "expr/sys_func_man.h"

namespace mobu {

class TCustomParam;
struct TOpeData;

namespace operation_families {

using TOperands = std::vector<const TCustomParam*>;

// Fails the operation: "bad operation", the destination, the opcode and each operand's text.
[[noreturn]] void FailBadOperation(const TOpeData& op, const TOperands& operands);

// ocTo: the destination takes the operand's value, converted to the destination's kind.
uint8_t CopyType(const TOpeData& op, const TOperands& operands, const TCustomParam& a);
void RunCopy(TCustomParam& d, const TCustomParam& a);

// ocComboStr: the destination takes the two texts joined; `joined` is scratch storage.
void RunConcatenate(TCustomParam& d, const TCustomParam& a, const TCustomParam& b, std::string& joined);

// ocPlus ocMinus ocMul ocDiv (integer or real) and ocMod ocOr ocAnd ocXor ocShiftL ocShiftR
// (integer).
uint8_t ArithmeticType(uint8_t opcode, const TCustomParam& a, const TCustomParam& b);
void RunArithmetic(uint8_t opcode, TCustomParam& d, const TCustomParam& a, const TCustomParam& b);

// ocEqual ocNEqual ocBig ocSmall ocEBig ocESmall: a flag, comparing in the first operand's kind.
void RunComparison(uint8_t opcode, TCustomParam& d, const TCustomParam& a, const TCustomParam& b);

// ocFunc: the function's result type (a property's own type for GetProp), and the call.
uint8_t CallType(const TOpeData& op, const TOperands& operands, const TSysFuncMan& functions);
void RunCall(const TOpeData& op, TCustomParam& d, const TOperands& operands, TSysFuncMan& functions,
             TSysFuncMan::Arguments& arguments);

}  // namespace operation_families
}  // namespace mobu
