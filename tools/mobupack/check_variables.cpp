// Check: every variable an expression reads is declared somewhere: by a VarNew of any page,
// as a project variable, or as a system variable ("@..."). Names compare without case, as
// the variable table looks them up. The compiler's own temporaries ("____...") are skipped.
#include <set>

#include "core/cp932_chars.h"
#include "expr/system_variables.h"
#include "platform/text_encoding.h"
#include "tools/mobupack/checked_game.h"
#include "tools/mobupack/property_uses.h"

namespace mobu::mobupack {
namespace {

std::set<std::string> DeclaredNames(const TCheckedGame& game)
{
    std::set<std::string> names;
    for (const auto& info : SystemVariableTable()) names.insert(Cp932Lower(info.name));
    for (const auto& variable : game.project.variables) names.insert(Cp932Lower(variable.name));
    for (const TCheckedPage& checked : game.pages) {
        for (int32_t index = 0; index < checked.page->Count(); ++index) {
            const TCommand& command = *checked.page->Command(index);
            if (command.CommandId() == CI_VARNEW) names.insert(Cp932Lower(command.Text(0)));
        }
    }
    return names;
}

void CheckExpression(const TMobuParser* expr, const std::set<std::string>& declared, std::set<std::string>& reported,
                     const TCheckedPage& checked, const TCommand& command, TCheckReport& report)
{
    if (!expr) return;
    for (const TOpeData& op : expr->Operations()) {
        for (const TOperand& operand : op.Operands) {
            if (operand.Tag != otVariable || operand.Text.starts_with(kTemporaryPrefix)) continue;
            const std::string lowered = Cp932Lower(operand.Text);
            if (declared.count(lowered) || !reported.insert(lowered).second) continue;
            report.Warning(checked.file, LineOf(command),
                           "variable \"" + Cp932ToUtf8(operand.Text) +
                               "\" is read but no VarNew, project variable or system variable declares it");
        }
    }
}

void CheckVariables(const TCheckedGame& game, TCheckReport& report)
{
    const std::set<std::string> declared = DeclaredNames(game);
    for (const TCheckedPage& checked : game.pages) {
        std::set<std::string> reported;  // one finding per name and page
        for (int32_t index = 0; index < checked.page->Count(); ++index) {
            const TCommand& command = *checked.page->Command(index);
            if (command.Disabled) continue;
            for (const TRecordField& field : command.Fields()) {
                CheckExpression(field.expr.get(), declared, reported, checked, command, report);
                for (const auto& item : field.list) CheckExpression(item.get(), declared, reported, checked, command, report);
            }
            for (const auto& property : command.PropertyExprs()) {
                CheckExpression(property.get(), declared, reported, checked, command, report);
            }
        }
    }
}

const TGameCheckRegistration registration({"variables", CheckVariables});

}  // namespace
}  // namespace mobu::mobupack
