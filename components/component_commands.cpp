// The commands that act on components, carried out on the component list: the creating
// commands, the cabinet commands (SaveCabinet, LoadCabinet), GetProp, SetProp and ObjDel.
// The interpreter hands them over through its component seam.
#include "components/component_commands.h"

#include "core/mobu_error.h"
#include "core/script_log.h"
#include "components/component_creation.h"
#include "components/component_functions.h"
#include "components/media_commands.h"
#include "components/mobu_image.h"
#include "components/mobu_prop_motion.h"
#include "components/mobu_particle.h"
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

namespace {

void CreateFromCommand(TMobuBaseList& list, TCallMan& calls, const TComComponent& command)
{
    const int type = CreatedComponentType(command.CommandId());
    if (type == LT_NONE) {
        ReportNotAvailable();
        return;
    }
    TMobuObject* created = CreateWithParameters(list, type, [&command, &calls](int id, std::optional<TPropValue>& value) {
        TMobuParser* expr = command.PropertyExpr(id);
        if (!expr) return false;
        if (const TCustomParam* result = Evaluate(calls, expr)) value = ValueAs(*result, StoredType(id));
        return true;
    });
    // An image list keeps its PR_DELAY expression and runs it again each time its last frame
    // is entered, so a script can change the pause at the end of an animation while it plays.
    if (command.CommandId() == CI_IMGNEW) {
        TMobuParser* delay = command.PropertyExpr(PR_DELAY);
        if (auto* images = dynamic_cast<TMobuCustomImages*>(created); images && delay) images->SetDelayExpression(*delay);
    }
    // An emitter keeps its position and interval expressions and runs them for every piece.
    if (command.CommandId() == CI_PARTICLENEW) {
        if (auto* emitter = dynamic_cast<TMobuParticle*>(created))
            emitter->SetExpressions(command.PropertyExpr(PR_APPEARX), command.PropertyExpr(PR_APPEARY),
                                    command.PropertyExpr(PR_DELAY));
    }
    // A menu opens with its animation; a sound or a movie starts (fading in over PR_DELAY
    // when above 0; opened and left paused when created with PR_PAUSED).
    const bool plays =
        command.CommandId() == CI_MENU || command.CommandId() == CI_SOUND || command.CommandId() == CI_MOVIE;
    if (plays && created) created->SetPlayMode(LP_PLAYFADE);
}

void RunCabinet(TMobuBaseList& list, TCallMan& calls, const TComComponent& command)
{
    const std::string name = EvalString(calls, command.PropertyExpr(PR_NAME));
    const bool invert = EvalFlag(calls, command.Expr(1), false);
    std::vector<std::string> names;
    for (const auto& expr : command.Fields()[2].list) {
        bool present = false;
        std::string entry = EvalString(calls, expr.get(), {}, &present);
        if (present) names.push_back(std::move(entry));
    }
    TMobuObject* found = name.empty() ? nullptr : list.FindComponent(name);
    TMobuControl* cabinet = found && found->IsCabinet() ? found->AsControl() : nullptr;
    TMobuControl& hidden = *list.InactiveBase();
    if (command.CommandId() == CI_SAVECABINET) {
        if (!cabinet) {
            // A cabinet without a name keeps its automatic one.
            TMobuObject* created = list.CreateComponent(LT_CABINET, list.GetBase(0));
            if (!created) return;
            if (!name.empty()) created->SetName(name);
            cabinet = created->AsControl();
        }
        MoveSelected(hidden, *cabinet, names, invert);
    } else {
        if (!cabinet) return;
        MoveSelected(*cabinet, hidden, names, invert);
    }
    if (cabinet->Children().empty()) list.Doom(cabinet);
}

// The component a property command names and the property id it gives; no component (or no list) gives none, a missing id raises the command's message.
TMobuObject* PropertyTarget(TMobuBaseList& list, TCallMan& calls, TMobuParser* name, TMobuParser* property, int32_t& id)
{
    TMobuObject* target = list.FindComponent(EvalString(calls, name));
    if (!target) return nullptr;
    bool present = false;
    id = EvalInteger(calls, property, 0, &present);
    if (!present) throw EMobuError(page_messages::BadProperty());
    return target;
}

void RunGetProp(TMobuBaseList& list, TCallMan& calls, const TCommand& command)
{
    int32_t id = 0;
    TMobuObject* target = PropertyTarget(list, calls, command.Expr(0), command.Expr(1), id);
    if (!target) return;
    TParamCollection* table = calls.Table();
    TParamCollectionItem* variable = table ? table->Find(command.Text(2)) : nullptr;
    if (variable && variable->Value()) GetPropOf(*target, id, *variable->Value());
}

void RunSetProp(TMobuBaseList& list, TCallMan& calls, const TCommand& command)
{
    int32_t id = 0;
    TMobuObject* target = PropertyTarget(list, calls, command.Expr(0), command.Expr(1), id);
    if (!target) return;
    if (const TCustomParam* value = Evaluate(calls, command.Expr(2))) SetPropOf(*target, id, *value);
}

void RunObjDel(TMobuBaseList& list, TCallMan& calls, const TCommand& command)
{
    const std::string name = EvalString(calls, command.Expr(0));
    if (name.empty()) return;
    if (TMobuObject* target = list.FindComponent(name)) list.Doom(target);
}

// MenuClose: the named component closes with its animation (components that do not play
// ignore it).
void RunMenuClose(TMobuBaseList& list, TCallMan& calls, const TCommand& command)
{
    const std::string name = EvalString(calls, command.Expr(0));
    if (name.empty()) return;
    if (TMobuObject* target = list.FindComponent(name)) target->SetPlayMode(LP_STOPFADE);
}

// PropMotion: a property motion towards a value; the property id is required. The flag of
// newer pages is evaluated and has no effect.
void RunPropMotion(TMobuBaseList& list, TCallMan& calls, const TCommand& command)
{
    const std::string name = EvalString(calls, command.Expr(0));
    const std::string target = EvalString(calls, command.Expr(1));
    bool present = false;
    const int32_t id = EvalInteger(calls, command.Expr(2), 0, &present);
    if (!present) throw EMobuError(page_messages::BadProperty());
    Real value = 0;
    if (const TCustomParam* result = Evaluate(calls, command.Expr(3))) value = result->GetFloat();
    const int32_t time = EvalInteger(calls, command.Expr(4), 0);
    const int32_t type = EvalInteger(calls, command.Expr(5), MT_NORMAL);
    if (command.Fields().size() > 6 && command.Fields()[6].present) (void)EvalFlag(calls, command.Expr(6), false);
    auto* motion = dynamic_cast<TMobuPropMotion*>(list.CreateComponent(LT_PROPMOTION));
    if (!motion) return;
    if (!name.empty()) motion->SetName(name);
    motion->TargetName = target;
    motion->PropId = id >= 0 && id < TMobuPropMotion::kNoProperty ? static_cast<uint8_t>(id) : TMobuPropMotion::kNoProperty;
    motion->Target = value;
    motion->Time = time;
    motion->MotionType = static_cast<uint8_t>(type & 0xFF);
}

}  // namespace

void RunComponentCommand(TMobuBaseList& list, TCallMan& calls, const TCommand& command)
{
    switch (command.CommandId()) {
        case CI_SAVECABINET:
        case CI_LOADCABINET: RunCabinet(list, calls, static_cast<const TComComponent&>(command)); break;
        case CI_GETPROP: RunGetProp(list, calls, command); break;
        case CI_SETPROP: RunSetProp(list, calls, command); break;
        case CI_OBJDEL: RunObjDel(list, calls, command); break;
        case CI_MENUCLOSE: RunMenuClose(list, calls, command); break;
        case CI_PROPMOTION: RunPropMotion(list, calls, command); break;
        case CI_MEDIAPLAY: RunMediaPlay(list, calls, command); break;
        default:
            if (auto* creating = dynamic_cast<const TComComponent*>(&command)) CreateFromCommand(list, calls, *creating);
            break;
    }
}

}  // namespace mobu
