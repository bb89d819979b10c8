#include "components/component_functions.h"

#include "core/mobu_error.h"
#include "components/component_messages.h"
#include "expr/custom_param.h"
#include "expr/sys_func_man.h"
#include "expr/sys_func_table.h"

namespace mobu {
namespace {

TMobuBaseList* global_list = nullptr;

TPropValue ReadParam(const TCustomParam& value, uint8_t type)
{
    switch (type) {
        case PT_FLOAT: return TPropValue::Float(value.GetFloat());
        case PT_BOOL: return TPropValue::Flag(value.GetFlag());
        case PT_STR: return TPropValue::Text(value.GetString());
        default: return TPropValue::Int(value.GetInteger());
    }
}

}  // namespace

TMobuBaseList* GlobalBaseList() { return global_list; }
void SetGlobalBaseList(TMobuBaseList* list) { global_list = list; }

void GetPropInto(TMobuBaseList& list, const std::string& object, int32_t id, TCustomParam& result)
{
    if ((id & 0xFF) > 164) throw EMobuError(component_messages::GetPropError());
    if (TMobuObject* target = list.FindComponent(object)) GetPropOf(*target, id, result);
}

void SetPropFrom(TMobuBaseList& list, const std::string& object, int32_t id, const TCustomParam& value)
{
    const int32_t low = id & 0xFF;
    if (low > 164 || low == PR_APPEARX || low == PR_APPEARY) throw EMobuError(component_messages::SetPropError());
    if (TMobuObject* target = list.FindComponent(object)) SetPropOf(*target, id, value);
}

void GetPropOf(TMobuObject& object, int32_t id, TCustomParam& result)
{
    id &= 0xFF;
    if (id > 164) throw EMobuError(component_messages::GetPropError());
    TPropValue value = object.GetProp(id);
    switch (value.type) {
        case PT_FLOAT: result.SetFloat(value.real); break;
        case PT_BOOL: result.SetFlag(value.integer != 0); break;
        case PT_STR: result.SetString(value.text); break;
        default: result.SetInteger(value.integer); break;
    }
}

void SetPropOf(TMobuObject& object, int32_t id, const TCustomParam& value)
{
    id &= 0xFF;
    if (id > 164 || id == PR_APPEARX || id == PR_APPEARY) throw EMobuError(component_messages::SetPropError());
    object.SetProp(id, ReadParam(value, StoredType(id)));
}

void InstallComponentFunctions(TSysFuncMan& functions)
{
    functions.PropertyType = [](int id) { return PropertyInfo(id).type; };
    functions.SetHandler(kSysFuncGetProp, [](TCustomParam& destination, const TSysFuncMan::Arguments& arguments) {
        if (!global_list || arguments.size() < 2) return;
        GetPropInto(*global_list, arguments[0]->GetString(), arguments[1]->GetInteger(), destination);
    });
    functions.SetHandler(kSysFuncSetProp, [](TCustomParam&, const TSysFuncMan::Arguments& arguments) {
        if (!global_list || arguments.size() < 3) return;
        SetPropFrom(*global_list, arguments[0]->GetString(), arguments[1]->GetInteger(), *arguments[2]);
    });
    InstallComponentNameFunctions(functions);
    InstallSaveScreen(functions);
}

}  // namespace mobu
