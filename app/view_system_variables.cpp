#include "app/view_system_variables.h"

#include "app/form_view.h"
#include "components/component_functions.h"
#include "components/fesk_collection.h"
#include "expr/param_collection.h"

namespace mobu {
namespace {

TMobuBase* ShownBase()
{
    TMobuBaseList* list = GlobalBaseList();
    return list ? list->ActiveBase() : nullptr;
}

// Element `element` of a key array; the scalar (-1) reads FALSE.
bool KeyElement(int index, int32_t element)
{
    TMobuBaseList* list = GlobalBaseList();
    TMobuBase* base = ShownBase();
    if (!list || !base || element < 0) return false;
    if (element == kKeyWheelDown) return base->WheelDown;
    if (element == kKeyWheelUp) return base->WheelUp;
    switch (index) {
    case SV_KEYPUSH: return list->KeyDown(element);
    case SV_KEYCLICK: return list->KeyClickedLast(element);
    default: return list->KeyFireLast(element);
    }
}

// The control of that name that can take the focus now: registered, shown, enabled.
TMobuControl* FocusableNamed(const std::string& name)
{
    TMobuBaseList* list = GlobalBaseList();
    if (!list || name.empty()) return nullptr;
    TMobuControl* control = list->FindControl(name);
    if (!control || control->IsBase() || !control->IsShown() || control->IsInCabinet()) return nullptr;
    if (!control->TakesFocus()) return nullptr;
    return control;
}

}  // namespace

TViewSystemVariables::TViewSystemVariables(TParamCollection& table, TFormView& view)
    : table_(table), view_(view), previous_(&table.SystemVariables())
{
    table_.SetSystemVariables(this);
}

TViewSystemVariables::~TViewSystemVariables()
{
    if (&table_.SystemVariables() == this) table_.SetSystemVariables(previous_);
}

TSystemValue TViewSystemVariables::Read(int index, int32_t element)
{
    TMobuBase* base = ShownBase();
    const TProjectLink* project = view_.Project();
    switch (index) {
    case SV_LCLICK: return base && base->LClick;
    case SV_RCLICK: return base && base->RClick;
    case SV_LPUSH: return base && base->LHeld;
    case SV_RPUSH: return base && base->RHeld;
    case SV_MOUSEX: return base ? base->MouseX : view_.MouseX();
    case SV_MOUSEY: return base ? base->MouseY : view_.MouseY();
    case SV_WHEELDOWN: return base && base->WheelDown;
    case SV_WHEELUP: return base && base->WheelUp;
    case SV_KEYPUSH:
    case SV_KEYCLICK:
    case SV_KEYREPEAT: return KeyElement(index, element);
    case SV_SCRWIDTH: return project ? project->ScreenWidth() : 0;
    case SV_SCRHEIGHT: return project ? project->ScreenHeight() : 0;
    case SV_TITLE: return project ? project->Title() : std::string();
    case SV_UPDATECOUNT: return view_.FramesRun();
    case SV_CGDITHER: return FeskCollection().Dither();
    case SV_FULLSCR: return view_.FullScreen();
    case SV_DISPLAYMODECOUNT: return static_cast<int32_t>(view_.DisplayModes().size());
    case SV_DISPLAYMODEINDEX: return view_.DisplayModeIndex();
    case SV_ACTIVECOMPO: {
        TMobuBaseList* list = GlobalBaseList();
        TMobuControl* focus = list ? list->Focus() : nullptr;
        return focus && list->IsRegistered(focus) ? focus->Name() : std::string();
    }
    default: return previous_->Read(index, element);
    }
}

void TViewSystemVariables::Write(int index, int32_t element, const TSystemValue& value)
{
    TMobuBase* base = ShownBase();
    switch (index) {
    case SV_LCLICK:
        if (base) base->LClick = std::get<bool>(value);
        return;
    case SV_RCLICK:
        if (base) base->RClick = std::get<bool>(value);
        return;
    case SV_MOUSEX: view_.SetCursorX(std::get<int32_t>(value)); return;
    case SV_MOUSEY: view_.SetCursorY(std::get<int32_t>(value)); return;
    case SV_CGDITHER:
        if (TMobuBaseList* list = GlobalBaseList()) list->SetImageDither(std::get<bool>(value));
        else FeskCollection().SetDither(std::get<bool>(value));
        return;
    case SV_FULLSCR: view_.SetFullScreen(std::get<bool>(value)); return;
    case SV_DISPLAYMODEINDEX: view_.SetDisplayModeIndex(std::get<int32_t>(value)); return;
    case SV_ACTIVECOMPO:
        if (TMobuControl* control = FocusableNamed(std::get<std::string>(value))) GlobalBaseList()->SetFocus(control);
        return;
    default: previous_->Write(index, element, value); return;
    }
}

}  // namespace mobu
