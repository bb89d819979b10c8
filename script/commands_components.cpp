// Commands that create, change and delete components, and the cabinet commands. Without a
// component list (an interpreter run on its own) they only advance.
#include "app/mobu_error.h"
#include "components/component_creation.h"
#include "components/component_functions.h"
#include "expr/custom_param.h"
#include "expr/mobu_parser.h"
#include "expr/param_collection.h"
#include "script/call_man.h"
#include "script/commands.h"
#include "script/page_messages.h"

namespace mobu {
namespace {

TPropValue ValueAs(const TCustomParam& value, uint8_t type)
{
    switch (type) {
        case PT_FLOAT: return TPropValue::Float(value.GetFloat());
        case PT_BOOL: return TPropValue::Flag(value.GetFlag());
        case PT_STR: return TPropValue::Text(value.GetString());
        default: return TPropValue::Int(value.GetInteger());
    }
}

// Whether a cabinet command moves the component of that name.
bool Selected(const std::string& name, const std::vector<std::string>& names, bool invert)
{
    bool listed = false;
    for (const std::string& entry : names) listed = listed || entry == name;
    return listed != invert;
}

// Moves the selected children of `from`, taken from the last to the first, into `to`.
void MoveSelected(TMobuControl& from, TMobuControl& to, const std::vector<std::string>& names, bool invert)
{
    std::vector<TMobuControl*> children = from.Children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        TMobuControl* child = *it;
        if (child->Name().empty() || !Selected(child->Name(), names, invert)) continue;
        child->SetParent(&to);
    }
}

}  // namespace

int CreatedComponentType(int command_id)
{
    switch (command_id) {
        case CI_BOXNEW: return LT_BOX;
        case CI_IMGNEW: return LT_IMAGES;
        case CI_MESNEW: return LT_MES;
        case CI_TIMER: return LT_TIMER;
        case CI_MOVIE: return LT_VIDEO;
        case CI_CINEMA: return LT_CINEMA;
        case CI_CAPTION: return LT_LABEL;
        case CI_MENU: return LT_MENU;
        case CI_BUTTON: return LT_BUTTON;
        case CI_PARTICLENEW: return LT_PARTICLE;
        case CI_FIRENEW: return LT_FIRE;
        case CI_SOUND: return LT_SOUND;
        case CI_EDITNEW: return LT_EDIT;
        case CI_MEMONEW: return LT_MEMO;
        case CI_MAPIMGNEW: return LT_MAPIMG;
        case CI_WAVENEW: return LT_WAVE;
        case CI_TILENEW: return LT_TILE;
        case CI_SLIDERNEW: return LT_SLIDER;
        case CI_SCROLLBARNEW: return LT_SCROLLBAR;
        case CI_GAUGENEW: return LT_GAUGE;
        case CI_CGCAPTION: return LT_CGLABEL;
        case CI_PREVMENUNEW: return LT_PREVMENU;
        default: return LT_NONE;
    }
}

TMobuParser* TComComponent::PropertyExpr(int id) const
{
    const auto& slots = PropertyExprs();
    return id >= 0 && static_cast<size_t>(id) < slots.size() ? slots[static_cast<size_t>(id)].get() : nullptr;
}

void TComComponent::Exec(TCallMan& calls, TPage*&, int32_t& pc)
{
    ++pc;
    TMobuBaseList* list = calls.Components().List();
    const int type = CreatedComponentType(CommandId());
    if (!list || type == LT_NONE) return;
    CreateWithParameters(*list, type, [this, &calls](int id, std::optional<TPropValue>& value) {
        TMobuParser* expr = PropertyExpr(id);
        if (!expr) return false;
        if (const TCustomParam* result = Evaluate(calls, expr)) value = ValueAs(*result, StoredType(id));
        return true;
    });
}

void TComCabinet::Exec(TCallMan& calls, TPage*&, int32_t& pc)
{
    ++pc;
    TMobuBaseList* list = calls.Components().List();
    if (!list) return;
    const std::string name = EvalString(calls, PropertyExpr(PR_NAME));
    const bool invert = EvalFlag(calls, Expr(1), false);
    std::vector<std::string> names;
    for (const auto& expr : Fields()[2].list) {
        bool present = false;
        std::string entry = EvalString(calls, expr.get(), {}, &present);
        if (present) names.push_back(std::move(entry));
    }
    TMobuObject* found = name.empty() ? nullptr : list->FindComponent(name);
    TMobuControl* cabinet = found && found->IsCabinet() ? found->AsControl() : nullptr;
    TMobuControl& hidden = *list->InactiveBase();
    if (CommandId() == CI_SAVECABINET) {
        if (!cabinet) {
            // A cabinet without a name keeps its automatic one.
            TMobuObject* created = list->CreateComponent(LT_CABINET, list->GetBase(0));
            if (!created) return;
            if (!name.empty()) created->SetName(name);
            cabinet = created->AsControl();
        }
        MoveSelected(hidden, *cabinet, names, invert);
    } else {
        if (!cabinet) return;
        MoveSelected(*cabinet, hidden, names, invert);
    }
    if (cabinet->Children().empty()) list->Doom(cabinet);
}

void TComGetProp::Exec(TCallMan& calls, TPage*&, int32_t& pc)
{
    ++pc;
    TMobuBaseList* list = calls.Components().List();
    if (!list) return;
    TMobuObject* target = list->FindComponent(EvalString(calls, Expr(0)));
    if (!target) return;
    bool present = false;
    const int32_t id = EvalInteger(calls, Expr(1), 0, &present);
    if (!present) throw EMobuError(page_messages::BadProperty());
    TParamCollection* table = calls.Table();
    TParamCollectionItem* variable = table ? table->Find(Text(2)) : nullptr;
    if (variable && variable->Value()) GetPropOf(*target, id, *variable->Value());
}

void TComSetProp::Exec(TCallMan& calls, TPage*&, int32_t& pc)
{
    ++pc;
    TMobuBaseList* list = calls.Components().List();
    if (!list) return;
    TMobuObject* target = list->FindComponent(EvalString(calls, Expr(0)));
    if (!target) return;
    bool present = false;
    const int32_t id = EvalInteger(calls, Expr(1), 0, &present);
    if (!present) throw EMobuError(page_messages::BadProperty());
    if (const TCustomParam* value = Evaluate(calls, Expr(2))) SetPropOf(*target, id, *value);
}

void TComObjDel::Exec(TCallMan& calls, TPage*&, int32_t& pc)
{
    ++pc;
    TMobuBaseList* list = calls.Components().List();
    if (!list) return;
    const std::string name = EvalString(calls, Expr(0));
    if (name.empty()) return;
    if (TMobuObject* target = list->FindComponent(name)) list->Doom(target);
}

}  // namespace mobu
