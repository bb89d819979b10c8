// The built-in functions that find components by name in the global component list:
// Exists, ListCompo, ToClientX/Y, ToScreenX/Y, InPrimary and InCabinet, and those that reach
// the items of list components (GetCheck ... SetSelected, IndexOfMenu).
#include <string>
#include <vector>

#include "components/component_functions.h"
#include "components/component_types.h"
#include "components/mobu_base.h"
#include "core/cp932_chars.h"
#include "expr/custom_param.h"
#include "expr/param_conversion.h"
#include "expr/param_types.h"
#include "expr/param_var.h"
#include "expr/sys_func_call.h"
#include "expr/sys_func_man.h"
#include "expr/sys_func_table.h"

namespace mobu {
namespace {

using Arguments = TSysFuncMan::Arguments;

std::string Text(const Arguments& a, size_t i) { return i < a.size() ? a[i]->GetString() : std::string(); }
int32_t Integer(const Arguments& a, size_t i) { return i < a.size() ? a[i]->GetInteger() : 0; }
bool Flag(const Arguments& a, size_t i) { return i < a.size() && a[i]->GetFlag(); }

TMobuObject* Named(const Arguments& a)
{
    TMobuBaseList* list = GlobalBaseList();
    return list && !a.empty() ? list->FindComponent(a[0]->GetString()) : nullptr;
}

TMobuControl* NamedControl(const Arguments& a)
{
    TMobuObject* object = Named(a);
    return object ? object->AsControl() : nullptr;
}

// ListCompo(var [, type] [, parent]): the names in registration order of the live components
// of that type code (1..27; anything else: every type) whose parent is the named control
// (every component without a parent argument).
void ListCompo(TCustomParam& result, const Arguments& a)
{
    std::vector<std::string> names;
    TMobuBaseList* list = GlobalBaseList();
    const int32_t type = a.size() > 1 ? a[1]->GetInteger() : 0;
    const bool any_type = type < 1 || type > LT_CABINET;
    bool parent_found = true;
    TMobuControl* parent = nullptr;
    if (list && a.size() > 2) {
        parent = list->FindControl(a[2]->GetString());
        parent_found = parent != nullptr;
    }
    if (list && parent_found) {
        for (int32_t i = 0; i < list->GetCount(); ++i) {
            TMobuObject* object = list->GetItem(i);
            if (list->IsDoomed(object)) continue;
            if (!any_type && object->GetCompoType() != type) continue;
            if (parent) {
                const TMobuControl* control = object->AsControl();
                if (!control || control->Parent() != parent) continue;
            }
            names.push_back(object->Name());
        }
    }
    auto* var = a.empty() ? nullptr : dynamic_cast<TParamVar*>(a[0]);
    if (var && var->Target()) StoreStringArray(*var, names);
    result.SetInteger(static_cast<int32_t>(names.size()));
}

// The index argument of the item functions: for a preview menu a text index is read as an
// integer, else as the position of the entry of exactly that name; otherwise an integer.
int32_t ItemIndex(TMobuObject& object, const TCustomParam& index, bool plain_integer)
{
    if (plain_integer || object.GetCompoType() != LT_PREVMENU || index.VarType() != PT_STR) return index.GetInteger();
    const std::string text = index.GetString();
    int32_t value = 0;
    if (TryTextToInteger(text, value)) return value;
    return object.EntryIndexOf(text);
}

template <typename Body>
void WithItem(const Arguments& a, bool plain_integer, Body body)
{
    if (a.size() < 2) return;
    if (TMobuObject* object = Named(a)) body(*object, ItemIndex(*object, *a[1], plain_integer));
}

void InstallItemFunctions(TSysFuncMan& f)
{
    f.SetHandler(kSysFuncGetCheck, [](TCustomParam& r, const Arguments& a) {
        WithItem(a, true, [&](TMobuObject& o, int32_t i) { r.SetFlag(o.ItemChecked(i)); });
    });
    f.SetHandler(kSysFuncSetCheck, [](TCustomParam&, const Arguments& a) {
        WithItem(a, true, [&](TMobuObject& o, int32_t i) { o.SetItemChecked(i, Flag(a, 2)); });
    });
    f.SetHandler(kSysFuncGetEnabled, [](TCustomParam& r, const Arguments& a) {
        WithItem(a, false, [&](TMobuObject& o, int32_t i) { r.SetFlag(o.ItemEnabled(i)); });
    });
    f.SetHandler(kSysFuncSetEnabled, [](TCustomParam&, const Arguments& a) {
        WithItem(a, false, [&](TMobuObject& o, int32_t i) { o.SetItemEnabled(i, Flag(a, 2)); });
    });
    f.SetHandler(kSysFuncGetVisible, [](TCustomParam& r, const Arguments& a) {
        WithItem(a, false, [&](TMobuObject& o, int32_t i) { r.SetFlag(o.ItemVisible(i)); });
    });
    f.SetHandler(kSysFuncSetVisible, [](TCustomParam&, const Arguments& a) {
        WithItem(a, false, [&](TMobuObject& o, int32_t i) { o.SetItemVisible(i, Flag(a, 2)); });
    });
    f.SetHandler(kSysFuncGetGroupIndex, [](TCustomParam& r, const Arguments& a) {
        WithItem(a, false, [&](TMobuObject& o, int32_t i) { r.SetInteger(o.ItemGroupIndex(i)); });
    });
    f.SetHandler(kSysFuncGetSelected, [](TCustomParam& r, const Arguments& a) {
        WithItem(a, false, [&](TMobuObject& o, int32_t i) { r.SetFlag(o.ItemSelected(i)); });
    });
    f.SetHandler(kSysFuncSetSelected, [](TCustomParam&, const Arguments& a) {
        WithItem(a, false, [&](TMobuObject& o, int32_t i) { o.SetItemSelected(i, Flag(a, 2)); });
    });
    // IndexOfMenu(name, text): the first item whose text equals text, ASCII letters folded
    // and double-byte characters exact; -1 when none (also for a name that names nothing).
    f.SetHandler(kSysFuncIndexOfMenu, [](TCustomParam& r, const Arguments& a) {
        r.SetInteger(-1);
        TMobuObject* object = Named(a);
        if (!object) return;
        const std::string text = Text(a, 1);
        const int32_t count = object->ItemCount();
        for (int32_t i = 0; i < count; ++i) {
            if (JSameText(object->ItemText(i), text)) {
                r.SetInteger(i);
                return;
            }
        }
    });
}

}  // namespace

void InstallComponentNameFunctions(TSysFuncMan& f)
{
    f.SetHandler(kSysFuncExists, [](TCustomParam& r, const Arguments& a) {
        r.SetFlag(!Text(a, 0).empty() && Named(a) != nullptr);
    });
    f.SetHandler(kSysFuncListCompo, ListCompo);
    // Screen and client coordinates: the component's absolute position subtracted or added;
    // the coordinate comes back unchanged when no control has the name.
    f.SetHandler(kSysFuncToClientX, [](TCustomParam& r, const Arguments& a) {
        TMobuControl* c = NamedControl(a);
        r.SetInteger(c ? Integer(a, 1) - c->GetAbsLeft() : Integer(a, 1));
    });
    f.SetHandler(kSysFuncToClientY, [](TCustomParam& r, const Arguments& a) {
        TMobuControl* c = NamedControl(a);
        r.SetInteger(c ? Integer(a, 1) - c->GetAbsTop() : Integer(a, 1));
    });
    f.SetHandler(kSysFuncToScreenX, [](TCustomParam& r, const Arguments& a) {
        TMobuControl* c = NamedControl(a);
        r.SetInteger(c ? Integer(a, 1) + c->GetAbsLeft() : Integer(a, 1));
    });
    f.SetHandler(kSysFuncToScreenY, [](TCustomParam& r, const Arguments& a) {
        TMobuControl* c = NamedControl(a);
        r.SetInteger(c ? Integer(a, 1) + c->GetAbsTop() : Integer(a, 1));
    });
    // InPrimary: a control on the base shown now, not held in a cabinet.
    f.SetHandler(kSysFuncInPrimary, [](TCustomParam& r, const Arguments& a) {
        TMobuControl* c = NamedControl(a);
        r.SetFlag(c && GlobalBaseList() && c->GetBase() == GlobalBaseList()->ActiveBase() && !c->IsInCabinet());
    });
    // InCabinet: the named component lies inside a cabinet.
    f.SetHandler(kSysFuncInCabinet, [](TCustomParam& r, const Arguments& a) {
        TMobuObject* object = Named(a);
        r.SetFlag(object && object->IsInCabinet());
    });
    InstallItemFunctions(f);
}

}  // namespace mobu
