#include "tools/mobupack/property_uses.h"

#include <map>

#include "expr/opcodes.h"
#include "script/property_names.h"

namespace mobu::mobupack {
namespace {

// An expression of copies only, from one constant through temporaries to the result:
// `"cg\\bg.fsk"` compiles to `ocTo ____0 = "cg\bg.fsk"`, `ocTo ____arg = ____0`.
const TOperand* ConstantOperand(const TMobuParser* expr)
{
    if (!expr || expr->Empty()) return nullptr;
    std::map<std::string, const TOperand*> copies;
    for (const TOpeData& op : expr->Operations()) {
        if (op.Opcode != ocTo || op.Operands.size() != 1) return nullptr;
        const TOperand* value = &op.Operands.front();
        if (value->Tag == otVariable) {
            auto found = copies.find(value->Text);
            if (found == copies.end()) return nullptr;
            value = found->second;
        }
        copies[op.Dest] = value;
    }
    auto result = copies.find("____arg");
    return result == copies.end() ? nullptr : result->second;
}

}  // namespace

bool ConstantText(const TMobuParser* expr, std::string& text)
{
    const TOperand* operand = ConstantOperand(expr);
    if (!operand || operand->Tag != otString) return false;
    text = operand->Text;
    return true;
}

bool ConstantInteger(const TMobuParser* expr, int32_t& number)
{
    const TOperand* operand = ConstantOperand(expr);
    if (!operand || operand->Tag != otInteger) return false;
    number = operand->Integer;
    return true;
}

std::vector<TPropertyUse> PropertyUses(const TPage& page)
{
    std::vector<TPropertyUse> uses;
    for (int32_t index = 0; index < page.Count(); ++index) {
        const TCommand& command = *page.Command(index);
        if (command.Disabled) continue;
        const auto& properties = command.PropertyExprs();
        for (size_t id = 0; id < properties.size() && id < static_cast<size_t>(kPropertyCount); ++id) {
            if (properties[id] && !properties[id]->Empty()) {
                uses.push_back({&command, static_cast<int>(id), properties[id].get()});
            }
        }
        int32_t property = 0;
        if (command.CommandId() == CI_SETPROP && ConstantInteger(command.Expr(1), property) && property >= 0 &&
            property < kPropertyCount) {
            uses.push_back({&command, property, command.Expr(2)});
        }
    }
    return uses;
}

}  // namespace mobu::mobupack
