// The call opcode (ocFunc): a built-in function's result type and the call itself.
#include "core/mobu_error.h"
#include "expr/custom_param.h"
#include "expr/expr_messages.h"
#include "expr/mobu_parser.h"
#include "expr/operation_families.h"
#include "expr/param_types.h"
#include "expr/sys_func_table.h"

namespace mobu::operation_families {

uint8_t CallType(const TOpeData& op, const TOperands& operands, const TSysFuncMan& functions)
{
    if (op.FuncId >= kSysFuncCount) FailBadOperation(op, operands);
    if (op.FuncId != kSysFuncGetProp) return kSysFuncTable[op.FuncId].result_type;
    int32_t property = operands.size() > 1 ? operands[1]->GetInteger() & 0xFF : 0;
    if (property > 164) throw EMobuError(expr_messages::BadGetPropArgument());
    uint8_t type = functions.PropertyType ? functions.PropertyType(property) : PT_INT;
    return type < PT_INT || type > PT_STR ? PT_INT : type;
}

void RunCall(const TOpeData& op, TCustomParam& d, const TOperands& operands, TSysFuncMan& functions,
             TSysFuncMan::Arguments& arguments)
{
    arguments.clear();
    for (const TCustomParam* value : operands) arguments.push_back(const_cast<TCustomParam*>(value));
    functions.Call(d, op.FuncId, arguments);
}

}  // namespace mobu::operation_families
