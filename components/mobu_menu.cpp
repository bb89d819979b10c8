// TMobuMenu: the list box that opens and closes with an animation, chooses with Return or
// Space and closes on Escape or a right click.
#include "components/mobu_menu.h"

#include <algorithm>

#include "components/mobu_base.h"
#include "components/mobu_base_list.h"
#include "core/globals.h"
#include "expr/param_collection.h"
#include "expr/param_man.h"

namespace mobu {

namespace {

constexpr int kKeyReturn = 13, kKeyEscape = 27, kKeySpace = 32;

// The animation states of a menu.
constexpr int32_t kOpen = 0, kCloseRequested = 10;
constexpr int32_t kOpenLayout = 100, kOpenStart = 101, kOpening = 102;
constexpr int32_t kCloseStart = 200, kClosing = 201;
constexpr int32_t kInstantClose = 300, kInstantClosed = 301, kClosed = 302;

// Modes 1 and 3 compare as 0 and 2.
int PlainMode(int mode) { return mode == LP_PLAYFADE ? LP_PLAY : mode == LP_STOPFADE ? LP_STOP : mode; }

}  // namespace

TMobuMenu::TMobuMenu(TMobuBaseList* owner) : TMobuCustomListBox(owner, LT_MENU)
{
    for (int id : {PR_DELAY, PR_HOVERCOLOR, PR_AUTOSCRAP, PR_RCLICKSCRAP}) WriteProperty(id, DefaultValue(id));
    if (owner_) owner_->RClickList.push_back(this);
}

TMobuMenu::~TMobuMenu()
{
    if (owner_) std::erase(owner_->RClickList, static_cast<TMobuObject*>(this));
}

int32_t TMobuMenu::Elapsed() const
{
    return static_cast<int32_t>(static_cast<uint32_t>(GameClockMs) - static_cast<uint32_t>(AnimStart));
}

void TMobuMenu::TakeFocus()
{
    if (owner_ && GetVisible() && !PausedFlag && HandleKey) owner_->SetFocus(this);
}

void TMobuMenu::ReleaseFocus()
{
    if (owner_ && owner_->Focus() == this) owner_->RequestRefocus();
}

void TMobuMenu::SetPlayMode(int mode)
{
    if (mode < LP_PLAY || mode > LP_STOPFADE || PlainMode(mode) == PlainMode(PlayMode)) return;
    PlayMode = static_cast<uint8_t>(mode);
    switch (mode) {
        case LP_PLAY:
            Layout();
            State = kOpen;
            TakeFocus();
            PostEvent(PR_ONOPENING, {}, true);
            PostEvent(PR_ONOPENED, {}, true);
            break;
        case LP_PLAYFADE:
            State = kOpenLayout;
            TakeFocus();
            break;
        case LP_STOP:
            Invalidate();
            Height = 0;
            State = kOpen;
            ReleaseFocus();
            PostEvent(PR_ONCLOSING, {}, true);
            PostEvent(PR_ONCLOSED, {}, true);
            break;
        default:
            State = kCloseStart;
            ReleaseFocus();
            break;
    }
    Invalidate();
}

void TMobuMenu::Select()
{
    TMobuCustomListBox::Select();
    if (AutoScrap) {
        Closing = true;
        State = kInstantClose;
    }
}

bool TMobuMenu::Update()
{
    if (TMobuControl::Update()) return true;
    auto animated_height = [this](bool opening) {
        const int64_t elapsed = Elapsed();
        const int64_t part = Delay > 0 ? elapsed * FullHeight / Delay : FullHeight;
        Invalidate();
        Height = static_cast<int32_t>(opening ? part : FullHeight - part);
        Invalidate();
    };
    switch (State) {
        case kOpen:
            if (LayoutDirty) Layout();
            break;
        case kCloseRequested:
            if (LayoutDirty) Layout();
            SetPlayMode(LP_STOPFADE);
            break;
        case kOpenLayout:
            Layout();
            PostEvent(PR_ONOPENING, {}, true);
            FullHeight = Height;
            Invalidate();
            Height = 0;
            State = kOpenStart;
            break;
        case kOpenStart:
            AnimStart = GameClockMs;
            State = kOpening;
            break;
        case kOpening:
            if (Delay > 0 && Elapsed() < Delay) {
                animated_height(true);
            } else {
                Height = FullHeight;
                State = kOpen;
                Invalidate();
                PostEvent(PR_ONOPENED, {}, true);
            }
            break;
        case kCloseStart:
            Closing = true;
            AnimStart = GameClockMs;
            PostEvent(PR_ONCLOSING, {}, true);
            State = kClosing;
            break;
        case kClosing:
            if (Delay > 0 && Elapsed() < Delay) {
                animated_height(false);
            } else {
                PostEvent(PR_ONCLOSED, {}, true);
                State = kClosed;
            }
            break;
        case kInstantClose:
            PostEvent(PR_ONCLOSING, {}, true);
            PostEvent(PR_ONCLOSED, {}, true);
            State = kInstantClosed;
            break;
        case kInstantClosed: State = kClosed; break;
        case kClosed:
            // Removed once its closing and closed handlers have run.
            return !owner_ || (!owner_->Events().IsQueued(this, PR_ONCLOSING) &&
                               !owner_->Events().IsQueued(this, PR_ONCLOSED));
        default: break;
    }
    return false;
}

void TMobuMenu::KeyStep()
{
    if (!owner_) return;
    if (PlayMode != LP_STOP && PlayMode != LP_STOPFADE) {
        if ((owner_->KeyClickedLast(kKeyReturn) || owner_->KeyClickedLast(kKeySpace)) && HoverIndex >= 0 && !Closing) {
            Select();
        } else if (RClickScrap && owner_->KeyClickedLast(kKeyEscape)) {
            State = kCloseRequested;
        }
    }
    TMobuCustomListBox::KeyStep();
}

bool TMobuMenu::RightClickScrap()
{
    if (Closing || !(IgnoreMouse == IM_NONE || IgnoreMouse == IM_LCLICK)) return false;
    Closing = true;
    State = kCloseRequested;
    return true;
}

void TMobuMenu::RButtonDown()
{
    TMobuBase* base = owner_ ? owner_->ActiveBase() : nullptr;
    if (base && RClickScrap && !PausedFlag) {
        if (ParamMan) {
            ParamMan->SelStr.clear();
            ParamMan->SelIndex = -1;
        }
        SetPlayMode(LP_STOPFADE);
        base->RClick = false;
        return;
    }
    TMobuCustomListBox::RButtonDown();
}

TPropValue TMobuMenu::ReadProperty(int id)
{
    switch (id) {
        case PR_DELAY: return TPropValue::Int(Delay);
        case PR_HOVERCOLOR: return TPropValue::Int(HoverColor);
        case PR_AUTOSCRAP: return TPropValue::Flag(AutoScrap);
        case PR_RCLICKSCRAP: return TPropValue::Flag(RClickScrap);
        case PR_ORIGHEIGHT:
            return TPropValue::Int(PlayMode == LP_PLAYFADE || PlayMode == LP_STOPFADE ? FullHeight : Height);
        default: return TMobuCustomListBox::ReadProperty(id);
    }
}

void TMobuMenu::WriteProperty(int id, const TPropValue& value)
{
    switch (id) {
        case PR_DELAY: Delay = value.integer; return;
        case PR_HOVERCOLOR:
            if (HoverColor == value.integer) return;
            HoverColor = value.integer;
            Invalidate();
            return;
        case PR_AUTOSCRAP: AutoScrap = value.integer != 0; return;
        case PR_RCLICKSCRAP: RClickScrap = value.integer != 0; return;
        case PR_ORIGHEIGHT: return;
        default: TMobuCustomListBox::WriteProperty(id, value); return;
    }
}

void TMobuMenu::SaveTypePart(ByteWriter& out)
{
    TMobuCustomListBox::SaveTypePart(out);
    out.I32(Delay);
    out.I32(HoverColor);
    out.Flag(AutoScrap);
    out.Flag(RClickScrap);
    out.U8(PlayMode);
    for (int id : {PR_ONOPENING, PR_ONOPENED, PR_ONCLOSING, PR_ONCLOSED}) out.String(EventString(id));
}

void TMobuMenu::LoadTypePart(ByteReader& in, int version)
{
    TMobuCustomListBox::LoadTypePart(in, version);
    Delay = in.I32();
    HoverColor = in.I32();
    AutoScrap = in.Flag();
    RClickScrap = in.Flag();
    const uint8_t mode = in.U8();
    PlayMode = mode <= LP_STOPFADE ? mode : LP_STOP;
    for (int id : {PR_ONOPENING, PR_ONOPENED, PR_ONCLOSING, PR_ONCLOSED}) values_[id] = TPropValue::Text(in.String());
    Closing = State >= kCloseStart;
    Layout();
    FullHeight = Height;
    AnimStart = GameClockMs;
}

}  // namespace mobu
