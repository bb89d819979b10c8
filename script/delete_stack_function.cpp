#include "script/delete_stack_function.h"

#include "expr/custom_param.h"
#include "expr/param_collection.h"
#include "expr/sys_func_man.h"
#include "expr/sys_func_table.h"
#include "script/call_man.h"

namespace mobu {

void InstallDeleteStack(TSysFuncMan& functions, TCallMan& calls)
{
    functions.SetHandler(kSysFuncDeleteStack, [&calls](TCustomParam& result, const TSysFuncMan::Arguments& a) {
        result.SetFlag(false);
        if (a.empty()) return;
        const int32_t depth = a[0]->GetInteger();
        if (depth < 0 || depth >= calls.Stack.Count()) return;
        if (TParamCollection* table = calls.Table()) table->RemoveOwnerDepth(depth);
        calls.Stack.RemoveFrame(depth);
        result.SetFlag(true);
    });
}

void RemoveDeleteStack(TSysFuncMan& functions) { functions.SetHandler(kSysFuncDeleteStack, nullptr); }

}  // namespace mobu
