#include "expr/sys_func_call.h"

#include "core/mobu_error.h"
#include "expr/expr_messages.h"
#include "expr/param_values.h"
#include "expr/param_var.h"

namespace mobu {

TParamVar* TSysFuncCall::Reference(size_t index) const
{
    if (index >= arguments.size()) return nullptr;
    auto* reference = dynamic_cast<TParamVar*>(arguments[index]);
    return reference && reference->Target() ? reference : nullptr;
}

TParamVar& TSysFuncCall::RequiredReference(size_t index) const
{
    TParamVar* reference = Reference(index);
    if (!reference) throw EMobuError(expr_messages::VariableNotFound(name));
    return *reference;
}

void TSysFuncCall::WriteBack(size_t index, int32_t value) const
{
    if (TParamVar* reference = Reference(index)) reference->SetInteger(value);
}

void TSysFuncCall::SetReal(Real value) const
{
    script_arith::CheckFinite(value);
    result.SetFloat(value);
}

void CheckTextSize(size_t size)
{
    if (size > TSysFuncMan::kMaxBuiltText) throw EMobuError(expr_messages::SizeTooLarge());
}

void StoreStringArray(TCustomParam& target, const std::vector<std::string>& pieces)
{
    if (pieces.empty()) {
        target.DropDims();
        target.SetString("");
        return;
    }
    if (static_cast<int64_t>(pieces.size()) > kMaxArrayElements) throw EMobuError(expr_messages::SizeTooLarge());
    target.SetDims({static_cast<int32_t>(pieces.size())});
    for (size_t i = 0; i < pieces.size(); ++i) target.SetStringAt(static_cast<int32_t>(i), pieces[i]);
}

}  // namespace mobu
