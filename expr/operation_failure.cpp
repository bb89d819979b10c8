// The failure of an operation the evaluator cannot run (a damaged or unknown opcode, a value
// of no kind, a function id past the table).
#include "core/mobu_error.h"
#include "expr/custom_param.h"
#include "expr/expr_messages.h"
#include "expr/mobu_parser.h"
#include "expr/opcodes.h"
#include "expr/operation_families.h"

namespace mobu::operation_families {

void FailBadOperation(const TOpeData& op, const TOperands& operands)
{
    std::string message = expr_messages::BadOperationHead() + op.Dest + expr_messages::BadOperationType() + OpcodeName(op.Opcode);
    for (const auto& value : operands) {
        message += "\r\n";
        try {
            message += value->GetString();
        } catch (const EMobuError&) {
        }
    }
    throw EMobuError(message);
}

}  // namespace mobu::operation_families
