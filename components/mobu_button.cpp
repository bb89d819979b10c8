#include "components/mobu_button.h"

#include <algorithm>
#include <cstdlib>

#include "core/globals.h"
#include "components/mobu_base.h"
#include "components/mobu_base_list.h"

namespace mobu {
namespace {

constexpr int kKeyReturn = 13;
constexpr int kKeySpace = 32;
constexpr int kSourceIds[TMobuButton::kStates] = {PR_SOURCE, PR_HOVERSOURCE, PR_PRESSEDSOURCE, PR_CLICKEDSOURCE};

int32_t CaptionFontHeight(int32_t height)
{
    const int64_t size = std::llabs(int64_t{height});
    if (size == 0) return TMobuButton::kDefaultFontHeight;
    return static_cast<int32_t>(std::min<int64_t>(size, TMobuButton::kMaxFontHeight));
}

}  // namespace

TMobuButton::TMobuButton(TMobuBaseList* owner) : TMobuImages(owner, LT_BUTTON)
{
    while (Lists.size() < kStates) Lists.push_back(std::make_unique<TMobuImageList>());
    Caption.Add();
    Caption.Antialias = DefaultValue(PR_ANTIALIAS).integer != 0 ? 3 : 0;
    Caption.FontSize = CaptionFontHeight(DefaultValue(PR_FONTHEIGHT).integer);
    Caption.FontStyle = static_cast<uint8_t>(DefaultValue(PR_FONTSTYLE).integer);
    Caption.Color = DefaultValue(PR_FONTCOLOR).integer;
    Caption.FontName = DefaultValue(PR_FONTNAME).text;
}

TMobuButton::~TMobuButton()
{
    // The lists give their cache items back before the base classes go.
    ImageSurface = nullptr;
    ImageMask = nullptr;
    for (auto& list : Lists) list->Clear();
}

TMobuImageList* TMobuButton::ActiveList()
{
    if (ButtonState < 0 || ButtonState >= kStates) return nullptr;
    return Lists[static_cast<size_t>(ButtonState)].get();
}

bool TMobuButton::HasPicture() { return !sources_[0].empty() || ImageSurface != nullptr; }

bool TMobuButton::StateHasContent(int state) const
{
    if (state < 0 || state >= kStates) return false;
    return films_[static_cast<size_t>(state)] || Lists[static_cast<size_t>(state)]->Count() > 0;
}

void TMobuButton::SetStateSource(int state, const std::string& path)
{
    const auto s = static_cast<size_t>(state);
    sources_[s] = path;
    if (state == 0) source_ = path;
    if (state == ButtonState) {
        ImageSurface = nullptr;
        ImageMask = nullptr;
    }
    Lists[s]->Clear();
    films_[s] = false;
    if (HasExtension(path, ".fsk")) Lists[s]->Fill(this, path, false, false);
    else if (HasExtension(path, ".mmt")) films_[s] = true;
    if (state == ButtonState || (state == 0 && ButtonState < 0)) ShowState();
}

void TMobuButton::ShowState()
{
    Invalidate();
    clock_ = TFrameClock{};
    ImageSurface = nullptr;
    ImageMask = nullptr;
    ImageKey = -1;
    const bool film = ButtonState >= 0 && ButtonState < kStates && films_[static_cast<size_t>(ButtonState)];
    if (film) {
        // The film shows its first frame at once and then plays from its start.
        SetMotion(sources_[static_cast<size_t>(ButtonState)]);
        if (Motion) {
            Motion->Tick(0);
            Motion->Restart();
        }
    } else if (Motion) {
        SetMotion(std::string());
    }
    TMobuImageList* list = ActiveList();
    if (list && list->Count() > 0) {
        clock_.Index = 0;
        SetIndex(0);
    }
    RecomputeSize();
    Invalidate();
}

void TMobuButton::SetState(int32_t state)
{
    if (ButtonState == kButtonClicked) {
        PendingState = state;
        return;
    }
    if (state == ButtonState || !(state <= 0 || StateHasContent(state))) return;
    Invalidate();
    ButtonState = state;
    if (state == kButtonClicked) PendingState = kButtonNormal;
    ShowState();
}

void TMobuButton::Click()
{
    PostEvent(PR_ONNOTIFY, {}, true);
    if (GroupIndex == 0) {
        const bool was_clicked = ButtonState == kButtonClicked;
        SetState(kButtonClicked);
        if (!was_clicked && ButtonState == kButtonClicked && AutoScrap) PressMode = kButtonRemoval;
    } else if (AllowAllUp || !Selected) {
        SetSelected(!Selected);
    }
}

// ---------------- groups ----------------

std::vector<TMobuButton*> TMobuButton::GroupMembers()
{
    std::vector<TMobuButton*> members;
    if (GroupIndex == 0) return members;
    if (!parent_) {
        members.push_back(this);
        return members;
    }
    for (TMobuControl* child : parent_->Children()) {
        auto* button = dynamic_cast<TMobuButton*>(child);
        if (button && button->GroupIndex == GroupIndex) members.push_back(button);
    }
    return members;
}

void TMobuButton::StoreSelected(bool selected)
{
    Selected = selected;
    SetState(selected ? kButtonPressed : kButtonNormal);
}

void TMobuButton::ApplyGroupRule()
{
    const std::vector<TMobuButton*> members = GroupMembers();
    if (members.empty()) return;
    TMobuButton* chosen = Selected ? this : nullptr;
    for (TMobuButton* member : members)
        if (!chosen && member->Selected) chosen = member;
    if (!chosen && !AllowAllUp) chosen = members.front();
    // Members are set directly, so the rule runs once for the change and never again for
    // the members it changes.
    for (TMobuButton* member : members)
        if (member->Selected != (member == chosen)) member->StoreSelected(member == chosen);
}

void TMobuButton::SetSelected(bool selected)
{
    if (GroupIndex == 0) {
        // A button without group is never selected.
        if (Selected && !selected) StoreSelected(false);
        return;
    }
    if (selected != Selected) StoreSelected(selected);
    ApplyGroupRule();
}

void TMobuButton::SetGroupIndex(int32_t index)
{
    GroupIndex = index;
    if (GroupIndex == 0) {
        if (Selected) StoreSelected(false);
        return;
    }
    ApplyGroupRule();
}

void TMobuButton::SetAllowAllUp(bool allow)
{
    AllowAllUp = allow;
    for (TMobuButton* member : GroupMembers()) member->AllowAllUp = allow;
    ApplyGroupRule();
}

// ---------------- input ----------------

bool TMobuButton::PointerOnButton()
{
    TMobuBase* base = owner_ ? owner_->ActiveBase() : nullptr;
    return base && base->HitTest(base->MouseX, base->MouseY, kMaskLeftClick) == this;
}

void TMobuButton::MouseMove()
{
    if (PressMode != kButtonDown) {
        SetState(Selected ? kButtonPressed : (PausedFlag ? kButtonNormal : kButtonHover));
        TMobuImages::MouseMove();
        return;
    }
    SetState(Selected || PointerOnButton() ? kButtonPressed : kButtonNormal);
}

void TMobuButton::MouseOut(TMobuControl* new_target)
{
    if (ButtonState != kButtonClicked) SetState(Selected ? kButtonPressed : kButtonNormal);
    TMobuImages::MouseOut(new_target);
}

void TMobuButton::LButtonDown()
{
    if (IgnoreMouse != IM_NONE && IgnoreMouse != IM_RCLICK) {
        TMobuImages::LButtonDown();
        return;
    }
    TMobuBase* base = owner_ ? owner_->ActiveBase() : nullptr;
    if (!base) return;
    if (!PausedFlag && ButtonState != kButtonClicked) {
        base->Capture |= kCaptureLeft;
        SetState(kButtonPressed);
        PressMode = kButtonDown;
    }
    base->LClick = false;
}

void TMobuButton::LButtonUp()
{
    if (PressMode == kButtonDown && PointerOnButton()) {
        Click();
        if (PressMode == kButtonRemoval) return;
    }
    PressMode = kButtonIdle;
    if (!Selected && ButtonState != kButtonClicked) SetState(kButtonNormal);
}

void TMobuButton::KeyStep()
{
    if (owner_ && (owner_->KeyFireLast(kKeyReturn) || owner_->KeyFireLast(kKeySpace))) Click();
}

// ---------------- update and drawing ----------------

bool TMobuButton::Update()
{
    if (PressMode == kButtonRemoval) return true;
    if (SizeDirty) {
        SizeDirty = false;
        RecomputeSize();
    }
    BlurStep(ImageFrameElapsedMs());
    bool finished = false;
    if (Motion) {
        finished = Motion->Tick(FrameDeltaMs);
    } else {
        TMobuImageList* list = ActiveList();
        if (list && list->Valid(clock_.Index) && GetVisible() && !PausedFlag && !AniPaused) {
            const int32_t before = clock_.Index;
            const std::vector<int32_t> delays = list->Delays();
            const TFrameAdvanceResult result = AdvanceFrames(clock_, delays, ImageFrameElapsedMs(), Repeats(), 0);
            if (clock_.Index != before) {
                Invalidate();
                LendFrame();
                if (ZoomXValue > 0 || ZoomYValue > 0) RecomputeSize();
                Invalidate();
            }
            finished = result == TFrameAdvanceResult::Finished;
        } else if (ButtonState == kButtonClicked && !(list && list->Valid(clock_.Index))) {
            // A clicked film that could not be made shows nothing: the state ends at once
            // instead of holding the button forever.
            finished = true;
        }
    }
    if (finished && ButtonState == kButtonClicked) {
        if (AutoScrap) return true;
        PostEvent(PR_ONPLAYEND);
        // The pending state follows; one with nothing to show falls back to normal, so the
        // button never stays in the finished clicked state.
        const int32_t next = PendingState;
        ButtonState = next <= kButtonNormal || StateHasContent(next) ? next : kButtonNormal;
        ShowState();
    }
    return false;
}

void TMobuButton::CaptionChanged()
{
    caption_measured_ = false;
    Caption.MarkAllChanged();
    Invalidate();
}

void TMobuButton::Draw(TCustomDIBX& surface)
{
    TMobuImages::Draw(surface);
    if (Caption.Count() == 0 || Caption.Label(0).Text.empty() || Alpha < 1) return;
    Caption.Target = &surface;
    if (!caption_measured_) {
        Caption.Measure();
        caption_measured_ = true;
    }
    Caption.Opacity = std::min(Alpha, 255);
    const TKsLabelDIB& label = Caption.Label(0);
    const int32_t shift = ButtonState == kButtonPressed || ButtonState == kButtonClicked ? 1 : 0;
    const int64_t x = int64_t{GetAbsLeft()} + (int64_t{Width} - label.Width) / 2 + shift;
    const int64_t y = int64_t{GetAbsTop()} + (int64_t{Height} - label.Height) / 2 + shift;
    Caption.DrawLabel(0, static_cast<int>(std::clamp<int64_t>(x, INT32_MIN / 2, INT32_MAX / 2)),
                      static_cast<int>(std::clamp<int64_t>(y, INT32_MIN / 2, INT32_MAX / 2)));
    Caption.Target = nullptr;
}

// ---------------- properties ----------------

TPropValue TMobuButton::ReadProperty(int id)
{
    for (int s = 0; s < kStates; ++s)
        if (id == kSourceIds[s]) return TPropValue::Text(sources_[static_cast<size_t>(s)]);
    switch (id) {
        case PR_REPEAT: return TPropValue::Flag(ButtonState != kButtonClicked);
        case PR_TEXT: return TPropValue::Text(Caption.Label(0).Text);
        case PR_FONTNAME: return TPropValue::Text(Caption.FontName);
        case PR_FONTHEIGHT: return TPropValue::Int(Caption.FontSize);
        case PR_FONTSTYLE: return TPropValue::Int(Caption.FontStyle);
        case PR_FONTCOLOR: return TPropValue::Int(Caption.Color);
        case PR_ANTIALIAS: return TPropValue::Flag(Caption.Antialias != 0);
        case PR_GROUPINDEX: return TPropValue::Int(GroupIndex);
        case PR_SELECTED: return TPropValue::Flag(Selected);
        case PR_ALLOWALLUP: return TPropValue::Flag(AllowAllUp);
        default: return TMobuImages::ReadProperty(id);
    }
}

void TMobuButton::WriteProperty(int id, const TPropValue& value)
{
    for (int s = 0; s < kStates; ++s) {
        if (id == kSourceIds[s]) {
            if (value.text != sources_[static_cast<size_t>(s)]) SetStateSource(s, value.text);
            return;
        }
    }
    switch (id) {
        case PR_TEXT:
            Caption.SetText(0, value.text);
            CaptionChanged();
            return;
        case PR_FONTNAME: Caption.FontName = value.text; break;
        case PR_FONTHEIGHT: Caption.FontSize = CaptionFontHeight(value.integer); break;
        case PR_FONTSTYLE: Caption.FontStyle = static_cast<uint8_t>(value.integer); break;
        case PR_FONTCOLOR: Caption.Color = value.integer; break;
        case PR_ANTIALIAS: Caption.Antialias = value.integer != 0 ? 3 : 0; break;
        case PR_GROUPINDEX: SetGroupIndex(value.integer); return;
        case PR_SELECTED: SetSelected(value.integer != 0); return;
        case PR_ALLOWALLUP: SetAllowAllUp(value.integer != 0); return;
        case PR_PAUSED:
            TMobuImages::WriteProperty(id, value);
            if (!PausedFlag) SetState(kButtonNormal);
            return;
        default: TMobuImages::WriteProperty(id, value); return;
    }
    // A font property: the caption is rendered again when it has text.
    if (!Caption.Label(0).Text.empty()) CaptionChanged();
}

void TMobuButton::SaveTypePart(ByteWriter& out)
{
    TMobuImages::SaveTypePart(out);
    out.String(sources_[1]);
    out.String(sources_[2]);
    out.I32(GroupIndex);
    out.Flag(Selected);
    out.Flag(AllowAllUp);
    out.String(EventString(PR_ONNOTIFY));
    out.String(EventString(PR_ONIDLE));
    out.String(sources_[3]);
    Caption.SaveToStream(out);
}

void TMobuButton::LoadTypePart(ByteReader& in, int version)
{
    TMobuImages::LoadTypePart(in, version);
    const int32_t index = clock_.Index;
    const int64_t frame_left = clock_.FrameLeft;
    const int32_t width = Width, height = Height;
    // The normal picture again through this button's own lists (the images form filled the
    // first list the way a plain image does).
    const std::string normal = source_;
    sources_[0].clear();
    ButtonState = kButtonNormal;
    SetStateSource(0, normal);
    SetStateSource(1, in.String());
    SetStateSource(2, in.String());
    GroupIndex = in.I32();
    const bool selected = in.Flag();
    AllowAllUp = in.Flag();
    values_[PR_ONNOTIFY] = TPropValue::Text(in.String());
    if (version > 103) {
        values_[PR_ONIDLE] = TPropValue::Text(in.String());
        SetStateSource(3, in.String());
    }
    if (version > 136) {
        const std::string text = Caption.Label(0).Text;
        Caption.LoadFromStream(in, version);
        Caption.FontSize = CaptionFontHeight(Caption.FontSize);
        if (Caption.Count() == 0) Caption.Add();
        Caption.SetText(0, text);
        CaptionChanged();
    }
    Selected = false;
    SetSelected(selected);
    PressMode = kButtonIdle;
    TMobuImageList* list = ActiveList();
    if (list && list->Valid(index)) {
        clock_.FrameLeft = 0;
        SetIndex(index);
    }
    clock_.FrameLeft = frame_left;
    Width = width, Height = height;
}

}  // namespace mobu
