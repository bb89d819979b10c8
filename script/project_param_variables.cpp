#include "script/project_param_variables.h"

#include <memory>

#include "expr/custom_param.h"
#include "expr/param_types.h"

namespace mobu {

bool TProjectParamVariables::Exists(const std::string& name) { return table_.Find(name) != nullptr; }

void TProjectParamVariables::CreateStatusVariable(const TPredefinedVariable& variable)
{
    if (variable.type < PT_INT || variable.type > PT_STR) return;
    TParamCollectionItem* item = table_.AddVariable(variable.name, variable.type, TVarScope::Status);
    TCustomParam* value = item->Value();
    switch (variable.type) {
    case PT_INT: value->SetInteger(variable.int_value); break;
    case PT_FLOAT: value->SetFloat(variable.real_value); break;
    case PT_BOOL: value->SetFlag(variable.flag_value); break;
    case PT_STR: value->SetString(variable.string_value); break;
    default: break;
    }
}

void UseVariableTableForProject(TParamCollection* table)
{
    if (table == nullptr) {
        ProjectParts().variables = nullptr;
        return;
    }
    auto adapter = std::make_shared<TProjectParamVariables>(*table);
    ProjectParts().variables = [adapter]() -> TProjectVariables* { return adapter.get(); };
}

}  // namespace mobu
