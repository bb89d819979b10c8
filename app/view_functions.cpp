#include "app/view_functions.h"

#include "app/form_view.h"
#include "expr/custom_param.h"
#include "expr/param_var.h"
#include "expr/sys_func_man.h"
#include "expr/sys_func_table.h"

namespace mobu {
namespace {

// Writes into argument `index` only when it is a variable (a constant argument stays).
void WriteInteger(const TSysFuncMan::Arguments& a, size_t index, int32_t value)
{
    if (index >= a.size()) return;
    auto* var = dynamic_cast<TParamVar*>(a[index]);
    if (var && var->Target()) var->SetInteger(value);
}

}  // namespace

void InstallViewFunctions(TSysFuncMan& functions, TFormView& view)
{
    // GetDisplayMode(index, var w, var h, var bits, var rate): FALSE for an index out of range.
    functions.SetHandler(kSysFuncGetDisplayMode, [&view](TCustomParam& result, const TSysFuncMan::Arguments& a) {
        result.SetFlag(false);
        if (a.empty()) return;
        const int32_t index = a[0]->GetInteger();
        const auto& modes = view.DisplayModes();
        if (index < 0 || index >= static_cast<int32_t>(modes.size())) return;
        const TDisplayMode& mode = modes[static_cast<size_t>(index)];
        WriteInteger(a, 1, mode.width);
        WriteInteger(a, 2, mode.height);
        WriteInteger(a, 3, mode.bit_depth);
        WriteInteger(a, 4, mode.refresh_rate);
        result.SetFlag(true);
    });
}

}  // namespace mobu
