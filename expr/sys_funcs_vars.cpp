// Built-in functions of the variable table: looking names up, the temporary target, saving
// and restoring variables, and running text as an expression.
#include <string>
#include <vector>

#include "expr/param_collection.h"
#include "expr/sys_func_call.h"
#include "expr/sys_funcs.h"

namespace mobu::sys_funcs {

void VarExists(TSysFuncCall& c) { c.result.SetFlag(c.manager.Table().Find(c.Str(0)) != nullptr); }

void AssignTemp(TSysFuncCall& c)
{
    std::string name = c.Str(0);
    TParamCollection& table = c.manager.Table();
    bool found = table.Find(name) != nullptr;
    if (found) table.TempTargetName = name;
    c.result.SetFlag(found);
}

void Calc(TSysFuncCall& c) { c.result.SetFlag(c.manager.RunCalc(c.Str(0))); }

void PushVar(TSysFuncCall& c)
{
    std::vector<std::string> names;
    for (size_t k = 0; k < c.arguments.size(); ++k) names.push_back(c.Str(k));
    c.manager.Table().PushVars(names);
    c.result.SetFlag(true);
}

void PopVar(TSysFuncCall& c)
{
    c.manager.Table().PopVars();
    c.result.SetFlag(true);
}

}  // namespace mobu::sys_funcs
