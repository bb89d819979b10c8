// TMobuPrevMenu: buttons built from a preview-menu file, the picture of every state, hover,
// selection with radio and toggle groups, overlays and the films that hold input, keys,
// right clicks, the item accessors and the saved form.
#include "components/mobu_prev_menu.h"

#include <algorithm>

#include "archive/vr_file_manager.h"
#include "components/fesk_collection.h"
#include "components/film_files.h"
#include "components/mobu_base.h"
#include "components/mobu_base_list.h"
#include "core/mobu_error.h"
#include "expr/param_collection.h"
#include "expr/param_man.h"
#include "graphics/frame_lists.h"

namespace mobu {

namespace {

constexpr int kKeyReturn = 13, kKeySpace = 32, kKeyLeft = 37, kKeyUp = 38, kKeyRight = 39, kKeyDown = 40;
// The buttons answer the pointer for every IgnoreMouse value but IM_ALL.
constexpr uint32_t kButtonMask = (1u << IM_NONE) | (1u << IM_CLICK) | (1u << IM_LCLICK) | (1u << IM_RCLICK);

const std::string& FirstOf(const std::string& a, const std::string& b) { return a.empty() ? b : a; }

}  // namespace

// ---------------- TMobuPrevImages ----------------

void TMobuPrevImages::SetPreviewSource(const std::string& path, bool loop)
{
    if (path != Source()) {
        Alpha = 255;
        Angle = 0;
        ZoomXValue = ZoomYValue = 256;
        FlipH = FlipV = false;
        Brightness = 0;
        CaptureMask = false;
    }
    Repeat = loop;
    finished_ = false;
    if (path == Source()) {
        SetIndex(0);
        if (Motion) RestartMotion();
        Invalidate();
        return;
    }
    SetSource(path);
}

bool TMobuPrevImages::Update()
{
    const bool removal = TMobuImages::Update();
    if (!finished_ && !Repeat && !Source().empty()) {
        TMobuImageList* list = ActiveList();
        const bool done = Motion ? Motion->Finished : (list && list->Count() > 0 && !Playing());
        if (done) {
            finished_ = true;
            if (Menu) Menu->PictureFinished(this);
        }
    }
    return removal;
}

// ---------------- TMobuPrevMenu ----------------

TMobuPrevMenu::TMobuPrevMenu(TMobuBaseList* owner) : TMobuControl(owner, LT_PREVMENU)
{
    for (int id : {PR_AUTOSCRAP, PR_RCLICKSCRAP}) WriteProperty(id, DefaultValue(id));
    if (owner_) owner_->RClickList.push_back(this);
}

TMobuPrevMenu::~TMobuPrevMenu()
{
    if (owner_) std::erase(owner_->RClickList, static_cast<TMobuObject*>(this));
    // The children went before the menu; only the cache items are left to give back.
    for (TFeskItem* item : List.Held) FeskCollection().Release(item, this);
}

void TMobuPrevMenu::HoldPicture(const std::string& stored)
{
    const std::string path = Path(stored);
    try {
        if (HasExtension(path, ".mmt")) {
            // A film: the pictures of its image and tile tracks, held as the film's players
            // take them (trimmed frames), so a button's film starts without reading them.
            if (std::shared_ptr<const TFilmData> film = LoadFilm(path)) {
                for (const auto& track : film->Tracks) {
                    const auto* picture = dynamic_cast<const TImageFrameList*>(track.get());
                    if (picture && picture->PictureFound)
                        List.Held.push_back(FeskCollection().Acquire(this, picture->ResolvedPath, true, false));
                }
            }
            return;
        }
        if (!HasExtension(path, ".fsk")) return;
        if (!VrFileManager().Exists(path)) return;
        List.Held.push_back(FeskCollection().Acquire(this, path, false, false));
    } catch (const EMobuError&) {
    }
}

void TMobuPrevMenu::ClearButtons()
{
    auto let_go = [this](TMobuPrevImages* image) {
        if (!image || !owner_ || !owner_->IsRegistered(image)) return;
        image->Menu = nullptr;
        owner_->Doom(image);
    };
    for (TMobuPrevImages* b : List.Buttons) let_go(b);
    for (TMobuPrevImages* o : List.Overlays) let_go(o);
    for (TFeskItem* item : List.Held) FeskCollection().Release(item, this);
    List = TPrevMenuList{};
    Enabled.clear();
    Visible.clear();
    Selected.clear();
    HoverIndex = PressIndex = SelectedIndex = -1;
    PendingFilms = 0;
}

void TMobuPrevMenu::SetSource(const std::string& path)
{
    Invalidate();
    ClearButtons();
    Source = path;
    if (path.empty() || !VrFileManager().Exists(path)) {
        SetBounds(Left, Top, 0, 0);
        return;
    }
    const TPrevMenuFile file = ReadPrevMenuFile(VrFileManager().ReadFile(path));
    SetBounds(Left, Top, file.Width, file.Height);
    const size_t count = file.Buttons.size();
    List.Data = file.Buttons;
    List.Overlays.assign(count, nullptr);
    Enabled.assign(count, 1);
    Visible.assign(count, 1);
    Selected.assign(count, 0);
    for (size_t i = 0; i < count; ++i) {
        TPrevMenuRecord& r = List.Data[i];
        if (r.Name.empty()) r.Name = DefaultButtonName(static_cast<int>(i));
        auto* button = new TMobuPrevImages(owner_, this);
        button->StoreName("\x01" + Name() + "\x01" + std::to_string(i));
        button->SetParent(this);
        button->SetLeft(r.X);
        button->SetTop(r.Y);
        button->Cursor = Path(r.Cursor);
        List.Buttons.push_back(button);
        Show(static_cast<int32_t>(i), r.Normal, true);
        for (const std::string* p :
             {&r.Normal, &r.Hover, &r.Leave, &r.Click, &r.Disabled, &r.DisabledHover, &r.DisabledLeave, &r.HoverOverlay,
              &r.LeaveOverlay, &r.ClickOverlay, &r.DisabledHoverOverlay, &r.DisabledLeaveOverlay, &r.Checked,
              &r.CheckedHover, &r.CheckedLeave, &r.CheckedHoverOverlay, &r.CheckedLeaveOverlay, &r.CheckOverlay,
              &r.UncheckOverlay})
            HoldPicture(*p);
    }
    Invalidate();
}

void TMobuPrevMenu::Show(int32_t i, const std::string& stored, bool loop)
{
    TMobuPrevImages* button = Valid(i) ? List.Buttons[static_cast<size_t>(i)] : nullptr;
    if (!button || !owner_ || !owner_->IsRegistered(button)) return;
    button->SetPreviewSource(stored.empty() ? std::string() : Path(stored), loop);
    button->CaptureMask = List.Data[static_cast<size_t>(i)].CaptureMask;
}

void TMobuPrevMenu::ShowPlain(int32_t i)
{
    const TPrevMenuRecord& r = List.Data[static_cast<size_t>(i)];
    if (!Visible[static_cast<size_t>(i)]) Show(i, std::string(), true);
    else Show(i, Enabled[static_cast<size_t>(i)] ? r.Normal : FirstOf(r.Disabled, r.Normal), true);
}

void TMobuPrevMenu::ShowResting(int32_t i)
{
    const auto u = static_cast<size_t>(i);
    const TPrevMenuRecord& r = List.Data[u];
    const bool hovered = i == HoverIndex;
    if (!Visible[u]) Show(i, std::string(), true);
    else if (Selected[u] && Enabled[u] && hovered) Show(i, FirstOf(r.CheckedHover, FirstOf(r.Checked, r.Normal)), true);
    else if (Selected[u] && Enabled[u]) Show(i, FirstOf(r.Checked, r.Normal), true);
    else if (Enabled[u] && hovered) Show(i, FirstOf(r.Hover, r.Normal), true);
    else ShowPlain(i);
}

std::string TMobuPrevMenu::PictureOf(int32_t i) const
{
    if (!Valid(i) || !owner_ || !owner_->IsRegistered(List.Buttons[static_cast<size_t>(i)])) return std::string();
    return List.Buttons[static_cast<size_t>(i)]->Source();
}

void TMobuPrevMenu::RemoveOverlay(int32_t i)
{
    TMobuPrevImages*& overlay = List.Overlays[static_cast<size_t>(i)];
    if (overlay && owner_ && owner_->IsRegistered(overlay)) {
        overlay->Menu = nullptr;
        owner_->Doom(overlay);
    }
    overlay = nullptr;
}

void TMobuPrevMenu::PlayOverlay(int32_t i, const std::string& stored, bool loop)
{
    RemoveOverlay(i);
    if (stored.empty() || !owner_) return;
    const TPrevMenuRecord& r = List.Data[static_cast<size_t>(i)];
    auto* overlay = new TMobuPrevImages(owner_, this);
    overlay->StoreName("\x01" + Name() + "\x01" + std::to_string(ButtonCount() + i));
    overlay->SetParent(this);
    overlay->SetLeft(r.OverlayX);
    overlay->SetTop(r.OverlayY);
    overlay->SetPreviewSource(Path(stored), loop);
    List.Overlays[static_cast<size_t>(i)] = overlay;
}

// ---------------- hover and selection ----------------

int32_t TMobuPrevMenu::ButtonAt(int32_t x, int32_t y)
{
    for (int32_t i = 0; i < ButtonCount(); ++i) {
        TMobuPrevImages* b = List.Buttons[static_cast<size_t>(i)];
        if (!owner_ || !owner_->IsRegistered(b) || !Visible[static_cast<size_t>(i)] || !b->GetVisible()) continue;
        if (b->HitTest(x, y, kButtonMask)) return i;
    }
    return -1;
}

void TMobuPrevMenu::SetHover(int32_t index)
{
    if (PendingFilms > 0 || index == HoverIndex) return;
    const int32_t old = HoverIndex;
    HoverIndex = index;
    if (Valid(old)) {
        const auto u = static_cast<size_t>(old);
        const TPrevMenuRecord& r = List.Data[u];
        if (Selected[u]) Show(old, FirstOf(r.CheckedLeave, FirstOf(r.Checked, r.Normal)), false);
        else if (Enabled[u] && !r.Leave.empty()) Show(old, r.Leave, false);
        else if (!Enabled[u]) Show(old, FirstOf(r.DisabledLeave, FirstOf(r.Disabled, r.Normal)), false);
        else if (TMobuPrevImages* b = List.Buttons[u]; owner_ && owner_->IsRegistered(b))
            b->Repeat = false;  // the current picture plays to its end, then the button rests
        const std::string& overlay = Selected[u]  ? FirstOf(r.CheckedLeaveOverlay, r.LeaveOverlay)
                                     : Enabled[u] ? r.LeaveOverlay
                                                  : r.DisabledLeaveOverlay;
        PlayOverlay(old, overlay, false);
        PostEvent(PR_ONMAPOUT, Params(old), true);
    }
    if (Valid(index)) {
        const auto u = static_cast<size_t>(index);
        const TPrevMenuRecord& r = List.Data[u];
        if (Selected[u]) Show(index, FirstOf(r.CheckedHover, FirstOf(r.Checked, r.Normal)), false);
        else if (Enabled[u]) Show(index, FirstOf(r.Hover, r.Normal), false);
        else Show(index, FirstOf(r.DisabledHover, FirstOf(r.Disabled, r.Normal)), false);
        const std::string& overlay = Selected[u] ? FirstOf(r.CheckedHoverOverlay, r.HoverOverlay)
                                     : Enabled[u] ? r.HoverOverlay
                                                  : r.DisabledHoverOverlay;
        PlayOverlay(index, overlay, true);
        PostEvent(PR_ONMAPIN, Params(index), true);
    }
}

void TMobuPrevMenu::Select()
{
    const int32_t i = HoverIndex;
    if (!Valid(i)) return;
    const auto u = static_cast<size_t>(i);
    const TPrevMenuRecord& r = List.Data[u];
    if (r.Group != 0) {
        if (Selected[u]) {
            if (r.Group > 0) return;  // the chosen member of a radio group stays chosen
            Selected[u] = 0;
        } else {
            Selected[u] = 1;
            for (int32_t j = 0; j < ButtonCount(); ++j) {
                if (j == i || List.Data[static_cast<size_t>(j)].Group != r.Group || !Selected[static_cast<size_t>(j)])
                    continue;
                Selected[static_cast<size_t>(j)] = 0;
                ShowPlain(j);
            }
        }
        if (Selected[u] && !r.Checked.empty()) Show(i, r.Checked, true);
        else ShowPlain(i);
        const std::string& film = Selected[u] ? r.CheckOverlay : r.UncheckOverlay;
        if (film.empty()) {
            RemoveOverlay(i);
        } else {
            PlayOverlay(i, film, false);
            ++PendingFilms;
        }
    } else {
        if (!r.Click.empty()) Show(i, r.Click, false);
        if (!r.ClickOverlay.empty()) {
            PlayOverlay(i, r.ClickOverlay, false);
            ++PendingFilms;
        }
    }
    if (ParamMan) {
        ParamMan->SelStr = r.Name;
        ParamMan->SelIndex = i;
    }
    PostEvent(PR_ONSELECT, Params(i));
    SelectedIndex = i;
    if (PendingFilms == 0) Complete();
}

void TMobuPrevMenu::Complete()
{
    if (AutoScrap) {
        if (owner_) owner_->Doom(this);
        Doomed = true;
    } else if (Valid(SelectedIndex)) {
        PostEvent(PR_ONPLAYEND, Params(SelectedIndex), true);
    }
}

void TMobuPrevMenu::PictureFinished(TMobuPrevImages* image)
{
    for (int32_t i = 0; i < ButtonCount(); ++i) {
        const auto u = static_cast<size_t>(i);
        const bool overlay = List.Overlays[u] == image;
        if (!overlay && List.Buttons[u] != image) continue;
        if (overlay) RemoveOverlay(i);
        else ShowResting(i);
        if (i == HoverIndex && PendingFilms > 0) {
            --PendingFilms;
            if (PendingFilms == 0) {
                Complete();
                TMobuBase* base = GetBase();
                if (!Doomed && base && ButtonAt(base->MouseX, base->MouseY) < 0) SetHover(-1);
            }
        }
        return;
    }
}

void TMobuPrevMenu::Close(bool clear_choice)
{
    if (clear_choice && ParamMan) {
        ParamMan->SelStr.clear();
        ParamMan->SelIndex = -1;
    }
    if (owner_) owner_->Doom(this);
    Doomed = true;
}

bool TMobuPrevMenu::Update()
{
    if (TMobuControl::Update()) return true;
    // An overlay destroyed from outside (ObjDel, a game load) counts as finished.
    for (int32_t i = 0; i < ButtonCount(); ++i) {
        TMobuPrevImages*& overlay = List.Overlays[static_cast<size_t>(i)];
        if (!overlay || (owner_ && owner_->IsRegistered(overlay) && !owner_->IsDoomed(overlay))) continue;
        overlay = nullptr;
        if (i == HoverIndex && PendingFilms > 0 && --PendingFilms == 0) Complete();
    }
    return false;
}

// ---------------- input ----------------

TMobuControl* TMobuPrevMenu::HitTest(int32_t x, int32_t y, uint32_t mask)
{
    if (!GetVisible()) return nullptr;
    if (ButtonAt(x, y) >= 0) return IgnoreMouse <= IM_RCLICK && ((mask >> IgnoreMouse) & 1u) ? this : nullptr;
    // The buttons were tried; the other children (overlays) and the menu itself as usual.
    return TMobuControl::HitTest(x, y, mask);
}

void TMobuPrevMenu::MouseMove()
{
    TMobuControl::MouseMove();
    TMobuBase* base = GetBase();
    if (base && !PausedFlag && !Doomed) SetHover(ButtonAt(base->MouseX, base->MouseY));
}

void TMobuPrevMenu::MouseOut(TMobuControl* new_target)
{
    if (!PausedFlag && !Doomed && IgnoreMouse != IM_ALL) SetHover(-1);
    TMobuControl::MouseOut(new_target);
}

void TMobuPrevMenu::LButtonDown()
{
    TMobuBase* base = GetBase();
    if (base && PendingFilms > 0 && !AutoScrap) {
        const int32_t pressed = ButtonAt(base->MouseX, base->MouseY);
        if (Valid(pressed) && Enabled[static_cast<size_t>(pressed)]) {
            PendingFilms = 0;
            Complete();
            SetHover(pressed);
        }
    }
    PressIndex = HoverIndex;
    TMobuControl::LButtonDown();
}

void TMobuPrevMenu::LButtonUp()
{
    if (PressIndex >= 0 && PressIndex == HoverIndex && !IsSelecting() && Enabled[static_cast<size_t>(PressIndex)] &&
        PendingFilms == 0)
        Select();
    PressIndex = -1;
    TMobuControl::LButtonUp();
}

void TMobuPrevMenu::RButtonDown()
{
    TMobuBase* base = GetBase();
    if (base && RClickScrap && !PausedFlag && !Doomed) {
        Close(true);
        base->RClick = false;
        return;
    }
    TMobuControl::RButtonDown();
}

bool TMobuPrevMenu::RightClickScrap()
{
    if (IsSelecting() || !(IgnoreMouse == IM_NONE || IgnoreMouse == IM_LCLICK)) return false;
    Close(true);
    return true;
}

void TMobuPrevMenu::KeyStep()
{
    if (!owner_ || Doomed || ButtonCount() == 0) return;
    std::vector<int32_t> shown;
    for (int32_t i = 0; i < ButtonCount(); ++i)
        if (Visible[static_cast<size_t>(i)]) shown.push_back(i);
    if (!shown.empty()) {
        const auto at = std::find(shown.begin(), shown.end(), HoverIndex);
        if (owner_->KeyFireLast(kKeyLeft) || owner_->KeyFireLast(kKeyUp)) {
            SetHover(at == shown.end() || at == shown.begin() ? shown.back() : *(at - 1));
        } else if (owner_->KeyFireLast(kKeyRight) || owner_->KeyFireLast(kKeyDown)) {
            SetHover(at == shown.end() || at + 1 == shown.end() ? shown.front() : *(at + 1));
        }
    }
    if ((owner_->KeyClickedLast(kKeySpace) || owner_->KeyClickedLast(kKeyReturn)) && Valid(HoverIndex) &&
        Enabled[static_cast<size_t>(HoverIndex)] && PendingFilms == 0)
        Select();
}

// ---------------- items ----------------

std::string TMobuPrevMenu::ItemText(int32_t i) { return Valid(i) ? List.Data[static_cast<size_t>(i)].Name : std::string(); }

bool TMobuPrevMenu::ItemEnabled(int32_t i) { return Valid(i) && Enabled[static_cast<size_t>(i)]; }

void TMobuPrevMenu::SetItemEnabled(int32_t i, bool value)
{
    if (!Valid(i) || (Enabled[static_cast<size_t>(i)] != 0) == value) return;
    Enabled[static_cast<size_t>(i)] = value ? 1 : 0;
    ShowPlain(i);
}

bool TMobuPrevMenu::ItemVisible(int32_t i) { return Valid(i) && Visible[static_cast<size_t>(i)]; }

void TMobuPrevMenu::SetItemVisible(int32_t i, bool value)
{
    if (!Valid(i) || (Visible[static_cast<size_t>(i)] != 0) == value) return;
    Visible[static_cast<size_t>(i)] = value ? 1 : 0;
    TMobuPrevImages* button = List.Buttons[static_cast<size_t>(i)];
    if (owner_ && owner_->IsRegistered(button)) button->SetVisible(value);
    ShowPlain(i);
    const int32_t group = List.Data[static_cast<size_t>(i)].Group;
    if (group == 0) return;
    for (int32_t j = 0; j < ButtonCount(); ++j) {
        const auto u = static_cast<size_t>(j);
        if (j == i || List.Data[u].Group != group || !Visible[u]) continue;
        if (Selected[u] && !List.Data[u].Checked.empty()) Show(j, List.Data[u].Checked, true);
        else ShowPlain(j);
    }
}

int32_t TMobuPrevMenu::ItemGroupIndex(int32_t i) { return Valid(i) ? List.Data[static_cast<size_t>(i)].Group : 0; }

bool TMobuPrevMenu::ItemSelected(int32_t i)
{
    if (!Valid(i)) return false;
    const int32_t group = List.Data[static_cast<size_t>(i)].Group;
    if (group == 0) return Selected[static_cast<size_t>(i)] != 0;
    // Only the first visible selected member of a group reads true.
    for (int32_t j = 0; j < ButtonCount(); ++j) {
        const auto u = static_cast<size_t>(j);
        if (List.Data[u].Group == group && Visible[u] && Selected[u]) return j == i;
    }
    // A radio group with nothing selected: its first visible member.
    if (group > 0 && Visible[static_cast<size_t>(i)]) {
        for (int32_t j = 0; j < ButtonCount(); ++j) {
            const auto u = static_cast<size_t>(j);
            if (List.Data[u].Group == group && Visible[u]) return j == i;
        }
    }
    return false;
}

void TMobuPrevMenu::SetItemSelected(int32_t i, bool value)
{
    if (!Valid(i)) return;
    const auto u = static_cast<size_t>(i);
    const bool changed = (Selected[u] != 0) != value;
    Selected[u] = value ? 1 : 0;
    if (value && !List.Data[u].Checked.empty() && Visible[u]) Show(i, List.Data[u].Checked, true);
    else ShowPlain(i);
    if (changed) RemoveOverlay(i);
}

int32_t TMobuPrevMenu::EntryIndexOf(const std::string& name)
{
    for (int32_t i = 0; i < ButtonCount(); ++i)
        if (List.Data[static_cast<size_t>(i)].Name == name) return i;
    return -1;
}

// ---------------- properties and saved form ----------------

TPropValue TMobuPrevMenu::ReadProperty(int id)
{
    switch (id) {
        case PR_SOURCE: return TPropValue::Text(Source);
        case PR_PAUSED: return TPropValue::Flag(PausedFlag);
        case PR_AUTOSCRAP: return TPropValue::Flag(AutoScrap);
        case PR_RCLICKSCRAP: return TPropValue::Flag(RClickScrap);
        case PR_TEXT: {
            std::string names;
            for (size_t i = 0; i < List.Data.size(); ++i) names += (i ? "\r\n" : "") + List.Data[i].Name;
            return TPropValue::Text(names);
        }
        default: return TMobuControl::ReadProperty(id);
    }
}

void TMobuPrevMenu::WriteProperty(int id, const TPropValue& value)
{
    switch (id) {
        case PR_SOURCE:
            if (value.text != Source || List.Buttons.empty()) SetSource(value.text);
            return;
        case PR_PAUSED: PausedFlag = value.integer != 0; return;
        case PR_AUTOSCRAP: AutoScrap = value.integer != 0; return;
        case PR_RCLICKSCRAP: RClickScrap = value.integer != 0; return;
        case PR_TEXT: return;  // the button names come from the file
        default: TMobuControl::WriteProperty(id, value); return;
    }
}

void TMobuPrevMenu::SaveTypePart(ByteWriter& out)
{
    out.String(Source);
    out.Flag(AutoScrap);
    out.Flag(RClickScrap);
    out.Flag(PausedFlag);
    for (int id : {PR_ONMAPIN, PR_ONMAPOUT, PR_ONIDLE, PR_ONSELECT, PR_ONPLAYEND}) out.String(EventString(id));
    for (const std::vector<uint8_t>* flags : {&Enabled, &Visible, &Selected}) {
        out.I32(static_cast<int32_t>(flags->size()));
        for (uint8_t f : *flags) out.U8(f);
    }
}

void TMobuPrevMenu::LoadTypePart(ByteReader& in, int version)
{
    SetSource(in.String());
    AutoScrap = in.Flag();
    RClickScrap = in.Flag();
    PausedFlag = in.Flag();
    for (int id : {PR_ONMAPIN, PR_ONMAPOUT, PR_ONIDLE, PR_ONSELECT, PR_ONPLAYEND}) values_[id] = TPropValue::Text(in.String());
    auto flags = [&](bool present, auto setter) {
        if (!present) return;
        const size_t count = in.Count(1);
        const std::string bytes = in.Bytes(count);
        const size_t applied = std::min(count, List.Buttons.size());
        for (size_t i = 0; i < applied; ++i) (this->*setter)(static_cast<int32_t>(i), bytes[i] != 0);
    };
    flags(version > 126, &TMobuPrevMenu::SetItemEnabled);
    flags(version > 131, &TMobuPrevMenu::SetItemVisible);
    flags(version > 135, &TMobuPrevMenu::SetItemSelected);
}

}  // namespace mobu
