// The project's predefined status variables created in the variable table.
#pragma once

#include "expr/param_collection.h"
#include "script/project_parts.h"

namespace mobu {

class TProjectParamVariables : public TProjectVariables {
public:
    explicit TProjectParamVariables(TParamCollection& table) : table_(table) {}

    // Any variable of that name the script would see (the table's usual lookup).
    bool Exists(const std::string& name) override;
    // A status variable of the record's type with its initial value. A record of a type
    // outside integer, real, flag and string carries no value and makes no variable.
    void CreateStatusVariable(const TPredefinedVariable& variable) override;

private:
    TParamCollection& table_;
};

// Makes the next project create its predefined status variables in `table` (null: in no
// table). The table must outlive the project.
void UseVariableTableForProject(TParamCollection* table);

}  // namespace mobu
