#include "components/mobu_base_list.h"

#include <algorithm>

#include "core/mobu_error.h"
#include "core/script_log.h"
#include "components/component_messages.h"
#include "components/fesk_collection.h"
#include "components/mobu_box.h"
#include "components/mobu_cinema.h"
#include "components/mobu_button.h"
#include "components/mobu_cg_label.h"
#include "components/mobu_gauge.h"
#include "components/mobu_fire.h"
#include "components/mobu_image.h"
#include "components/mobu_http.h"
#include "components/mobu_label.h"
#include "components/mobu_map_image.h"
#include "components/mobu_menu.h"
#include "components/mobu_prev_menu.h"
#include "components/mobu_slider.h"
#include "components/mobu_mes.h"
#include "components/mobu_prop_motion.h"
#include "components/mobu_sound.h"
#include "components/mobu_timer.h"
#include "components/mobu_video.h"
#include "components/mobu_particle.h"
#include "components/mobu_wave.h"
#include "expr/param_collection.h"
#include "expr/param_man.h"
#include "components/wipe_transition.h"

namespace mobu {
namespace {

TMobuObject* CreateDefault(TMobuBaseList& list, int code)
{
    if (!IsCreatableType(code)) return nullptr;
    if (code == LT_BOX) return new TMobuBox(&list);
    if (code == LT_CABINET) return new TMobuCabinet(&list);
    if (code == LT_IMAGES) return new TMobuImages(&list);
    if (code == LT_BUTTON) return new TMobuButton(&list);
    if (code == LT_TILE) return new TMobuTile(&list);
    if (code == LT_MAPIMG) return new TMobuMapImage(&list);
    if (code == LT_MES) return new TMobuMes(&list);
    if (code == LT_LABEL) return new TMobuLabel(&list);
    if (code == LT_CGLABEL) return new TMobuCGLabel(&list);
    if (code == LT_MENU) return new TMobuMenu(&list);
    if (code == LT_PREVMENU) return new TMobuPrevMenu(&list);
    if (code == LT_TIMER) return new TMobuTimer(&list);
    if (code == LT_PROPMOTION) return new TMobuPropMotion(&list);
    if (code == LT_SOUND) return new TMobuSound(&list);
    if (code == LT_CINEMA) return new TMobuCinema(&list);
    if (code == LT_VIDEO) return new TMobuVideo(&list);
    if (code == LT_HTTP) return new TMobuHttp(&list);
    if (code == LT_SLIDER) return new TMobuSlider(&list);
    if (code == LT_SCROLLBAR) return new TMobuScrollbar(&list);
    if (code == LT_GAUGE) return new TMobuGauge(&list);
    if (code == LT_FIRE) return new TMobuFire(&list);
    if (code == LT_PARTICLE) return new TMobuParticle(&list);
    if (code == LT_WAVE) return new TMobuWave(&list);
    // Kinds whose behaviour comes later: their common properties, drawing nothing, and a
    // log line saying so.
    ReportNotAvailable(ComponentTypeInfo(code).name);
    if (IsVisualType(code)) return new TMobuControl(&list, code);
    return new TMobuComponent(&list, code);
}

TMobuBaseList::TFactory& Factory()
{
    static TMobuBaseList::TFactory factory = CreateDefault;
    return factory;
}

TTransitionFactory& TransitionFactory()
{
    static TTransitionFactory factory = WipeTransitionFactory;
    return factory;
}

const std::string kBaseName[2] = {std::string("\x01" "BASE0"), std::string("\x01" "BASE1")};

}  // namespace

void TMobuBaseList::SetFactory(TFactory factory) { Factory() = factory ? std::move(factory) : CreateDefault; }
void TMobuBaseList::SetTransitionFactory(TTransitionFactory factory)
{
    TransitionFactory() = factory ? std::move(factory) : WipeTransitionFactory;
}

TMobuBaseList::TMobuBaseList() : TMobuComponent(nullptr, LT_NONE)
{
    frame_.SetSize(width_, height_, 32);
    CreateBases();
}

TMobuBaseList::~TMobuBaseList()
{
    resetting_ = true;
    FreeAll();
}

void TMobuBaseList::CreateBases()
{
    for (int i = 0; i < 2; ++i) {
        bases_[i] = new TMobuBase(this, kBaseName[i]);
        bases_[i]->Resize(width_, height_);
    }
}

void TMobuBaseList::FreeAll()
{
    transition_.reset();
    transition_type_ = 0;
    for (TMobuBase*& base : bases_) {
        TMobuBase* doomed = base;
        if (doomed) Destroy(doomed);
        base = nullptr;
    }
    while (!all_.empty()) Destroy(all_.back());
    events_.Clear();
    doomed_.clear();
    RClickList.clear();
    focus_ = nullptr;
    update_index_ = 0;
}

void TMobuBaseList::Reset()
{
    int32_t mouse_x = bases_[0] ? bases_[0]->MouseX : 0, mouse_y = bases_[0] ? bases_[0]->MouseY : 0;
    int32_t colour = bases_[0] ? bases_[0]->Color : -1;
    resetting_ = true;
    FreeAll();
    resetting_ = false;
    active_index_ = 0;
    CreateBases();
    for (TMobuBase* base : bases_) {
        base->MouseX = mouse_x, base->MouseY = mouse_y;
        base->Color = colour;
    }
}

// ---------------- registration ----------------

void TMobuBaseList::Register(TMobuObject* object)
{
    all_.push_back(object);
    registered_.insert(object);
    // The newest object comes last: it is the first of its name only when none had the name.
    if (index_version_ == names_version_) {
        if (!object->Name().empty()) name_index_.try_emplace(object->Name(), object);
    } else {
        NamesChanged();
    }
}

void TMobuBaseList::Renamed(TMobuObject* object, const std::string& old_name)
{
    if (!registered_.count(object)) return;
    if (index_version_ != names_version_) return;  // rebuilt at the next lookup anyway
    const bool was_indexed = !old_name.empty() && [&] {
        auto found = name_index_.find(old_name);
        return found != name_index_.end() && found->second == object;
    }();
    const std::string& name = object->Name();
    if (!was_indexed && (name.empty() || !name_index_.count(name))) {
        if (!name.empty()) name_index_.emplace(name, object);
        return;
    }
    NamesChanged();
}

void TMobuBaseList::Unregister(TMobuObject* object)
{
    if (!registered_.erase(object)) return;
    auto found = std::find(all_.begin(), all_.end(), object);
    if (found == all_.end()) return;
    auto position = static_cast<int32_t>(found - all_.begin());
    all_.erase(found);
    NamesChanged();
    // Keeps the update pass on the same next object: removing an earlier one moves it back.
    if (position < update_index_) --update_index_;
    std::erase(doomed_, object);
    if (focus_ == object) focus_ = nullptr;
}

bool TMobuBaseList::IsRegistered(const TMobuObject* object) const
{
    return object && registered_.count(object) != 0;
}

void TMobuBaseList::Doom(TMobuObject* object)
{
    if (!object || object->IsBase()) return;
    if (TMobuControl* control = object->AsControl()) control->Invalidate();
    if (std::find(doomed_.begin(), doomed_.end(), object) == doomed_.end()) doomed_.push_back(object);
    object->StoreName("");
}

bool TMobuBaseList::IsDoomed(const TMobuObject* object) const
{
    return std::find(doomed_.begin(), doomed_.end(), object) != doomed_.end();
}

void TMobuBaseList::Destroy(TMobuObject* object)
{
    if (!IsRegistered(object)) return;
    if (TMobuControl* control = object->AsControl()) {
        while (!control->children_.empty()) {
            TMobuControl* child = control->children_.back();
            if (IsRegistered(child)) Destroy(child);
            else control->children_.pop_back();
        }
        if (control->parent_) {
            if (!resetting_) control->Invalidate();
            control->parent_->RemoveChild(control);
            control->parent_ = nullptr;
        }
        if (focus_ == control) {
            focus_ = nullptr;
            refocus_requested_ = true;
        }
        for (TMobuBase* base : bases_) {
            if (base && base->Hover == control) {
                base->Hover = nullptr;
                base->Capture = 0;
            }
        }
    }
    events_.RemoveSender(object);
    std::erase(RClickList, object);
    Unregister(object);
    for (TMobuBase*& base : bases_)
        if (base == object) base = nullptr;
    delete object;
}

const std::unordered_map<std::string, TMobuObject*>& TMobuBaseList::NameIndex() const
{
    if (index_version_ != names_version_) {
        name_index_.clear();
        for (TMobuObject* object : all_)
            if (!object->Name().empty()) name_index_.try_emplace(object->Name(), object);
        index_version_ = names_version_;
    }
    return name_index_;
}

TMobuObject* TMobuBaseList::FindByName(const std::string& name) const
{
    if (name.empty()) return nullptr;
    const auto& index = NameIndex();
    auto found = index.find(name);
    return found == index.end() ? nullptr : found->second;
}

TMobuObject* TMobuBaseList::FindComponent(const std::string& name)
{
    if (name.empty() || name == kBaseName[0]) return ActiveBase();
    if (name == "\x01" || name == kBaseName[1]) return InactiveBase();
    TMobuObject* first = FindByName(name);
    if (!first || !IsDoomed(first)) return first;
    // The first of that name is doomed (renamed after dooming): the next one in order.
    for (TMobuObject* object : all_)
        if (object->Name() == name && !IsDoomed(object)) return object;
    return nullptr;
}

TMobuControl* TMobuBaseList::FindControl(const std::string& name)
{
    if (name.empty()) return ActiveBase();
    if (name == "\x01") return InactiveBase();
    if (name == kBaseName[0]) return bases_[0];
    if (name == kBaseName[1]) return bases_[1];
    TMobuObject* first = FindByName(name);
    if (!first) return nullptr;
    if (first->AsControl() && !IsDoomed(first)) return first->AsControl();
    for (TMobuObject* object : all_)
        if (object->Name() == name && object->AsControl() && !IsDoomed(object)) return object->AsControl();
    return nullptr;
}

std::string TMobuBaseList::AutoName() const
{
    for (int64_t n = 0;; ++n) {
        std::string name = "object" + std::to_string(n);
        if (!FindByName(name)) return name;
    }
}

TMobuObject* TMobuBaseList::CreateComponent(int type_code, TMobuControl* parent)
{
    TMobuObject* object = Factory()(*this, type_code);
    if (!object) return nullptr;
    if (object->WantsAutoName()) object->StoreName(AutoName());
    if (TMobuControl* control = object->AsControl()) control->SetParent(parent ? parent : ActiveBase());
    return object;
}

// ---------------- size ----------------

void TMobuBaseList::SetSize(int32_t width, int32_t height)
{
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    frame_.SetSize(width_, height_, 32);
    for (TMobuBase* base : bases_) base->Resize(width_, height_);
}

void TMobuBaseList::MarkAllDirty()
{
    for (TMobuBase* base : bases_) base->InvalidateAll();
}

void TMobuBaseList::ReleaseSurfaces()
{
    transition_.reset();
    for (TMobuObject* object : all_)
        if (TMobuControl* control = object->AsControl()) control->ReleaseSurfaces();
    FeskCollection().ReleaseSurfaces();
}

void TMobuBaseList::SetColor(int32_t colour)
{
    for (TMobuBase* base : bases_) base->SetColor(colour);
}

void TMobuBaseList::SetImageDither(bool flag)
{
    if (flag == FeskCollection().Dither()) return;
    for (TMobuObject* object : all_)
        if (TMobuControl* control = object->AsControl()) control->ReleaseSurfaces();
    FeskCollection().SetDither(flag);
    for (TMobuObject* object : all_)
        if (TMobuControl* control = object->AsControl()) control->RestoreSurfaces();
    MarkAllDirty();
}

void TMobuBaseList::RestoreSurfaces(bool recreate)
{
    FeskCollection().Reload(recreate);
    for (TMobuObject* object : all_)
        if (TMobuControl* control = object->AsControl()) control->RestoreSurfaces();
    MarkAllDirty();
    // A new display may have lost the pointer's image: show the current one again.
    pointer_.Reshow();
}

// ---------------- input pass ----------------

void TMobuBaseList::ProcessInput(int32_t elapsed_ms)
{
    if (refocus_requested_) {
        SetFocus(ActiveBase()->FindFocusable());
        refocus_requested_ = false;
    }
    std::copy(std::begin(key_clicked_), std::end(key_clicked_), key_clicked_last_);
    std::fill(std::begin(key_clicked_), std::end(key_clicked_), false);
    std::copy(std::begin(key_fire_), std::end(key_fire_), key_fire_last_);

    // The pointer shown during the last frame lived through this frame's time.
    pointer_.Advance(elapsed_ms);
    MouseStep(*ActiveBase());

    TMobuControl* focus = focus_;
    if (focus && IsRegistered(focus) && focus->HandleKey && !focus->Paused() && !focus->IsBase() &&
        !focus->IsSelecting()) {
        focus->KeyStep();
    }
    // Checked again: the key step may have started a selection or removed the control.
    if (focus && IsRegistered(focus) && focus->HandleKey && !focus->Paused() && !focus->IsBase() &&
        !focus->IsSelecting()) {
        if (key_down_pending_) focus->PostEvent(PR_ONKEYDOWN, key_down_codes_);
        if (key_repeat_pending_ && IsRegistered(focus)) focus->PostEvent(PR_ONKEYREPEAT, key_repeat_codes_);
        if (key_up_pending_ && IsRegistered(focus)) focus->PostEvent(PR_ONKEYUP, key_up_codes_);
    }
    key_down_pending_ = key_up_pending_ = key_repeat_pending_ = false;
    key_down_codes_.clear();
    key_up_codes_.clear();
    key_repeat_codes_.clear();

    for (int code = 0; code < 256; ++code) {
        if (!key_down_[code]) continue;
        key_repeat_left_[code] -= elapsed_ms;
        key_fire_[code] = key_repeat_left_[code] <= 0;
        if (key_fire_[code]) {
            key_repeat_left_[code] += kRepeatMs;
            key_repeat_pending_ = true;
            key_repeat_codes_.push_back(std::to_string(code));
        }
    }
}

void TMobuBaseList::MouseStep(TMobuBase& base)
{
    base.LClick = base.LNew, base.LNew = false;
    base.RClick = base.RNew, base.RNew = false;
    base.WheelDown = base.WheelDownNew, base.WheelDownNew = false;
    base.WheelUp = base.WheelUpNew, base.WheelUpNew = false;

    if (base.RClick) {
        std::vector<TMobuObject*> closers = RClickList;
        for (TMobuObject* object : closers) {
            TMobuControl* c = object->AsControl();
            if (!c || !IsRegistered(c)) continue;
            if (!c->GetProp(PR_RCLICKSCRAP).AsFlag() || !c->GetVisible() || c->GetBase() != &base || c->Paused() ||
                c->IsInCabinet() || !(c->IgnoreMouse == IM_NONE || c->IgnoreMouse == IM_LCLICK))
                continue;
            if (c->RightClickScrap()) {
                base.RClick = false;
                break;
            }
        }
    }

    if (base.Capture != 0 && base.Hover && IsRegistered(base.Hover)) {
        TMobuControl* hover = base.Hover;
        if ((base.Capture & kCaptureLeft) && !base.LHeld) {
            hover->LButtonUp();
            base.Capture &= static_cast<uint8_t>(~kCaptureLeft);
        } else if ((base.Capture & kCaptureRight) && !base.RHeld) {
            hover->RButtonUp();
            base.Capture &= static_cast<uint8_t>(~kCaptureRight);
        }
        if (IsRegistered(hover) && base.Moved) hover->MouseMove();
        if (IsRegistered(hover)) hover->MouseHold();
        base.Moved = false;
        return;
    }

    uint32_t mask = base.LClick ? kMaskLeftClick : (base.RClick ? kMaskRightClick : kMaskMove);
    TMobuControl* target = base.HitTest(base.MouseX, base.MouseY, mask);
    base.Capture = 0;
    ChoosePointer(target);
    auto still = [this](TMobuControl*& t) {
        if (t && !IsRegistered(t)) t = nullptr;
    };
    if (target) {
        if (base.LClick) {
            target->LButtonDown();
            still(target);
            if (target && !target->Paused() && target->HandleKey) SetFocus(target);
        } else if (base.RClick) {
            target->RButtonDown();
        } else if (base.WheelDown) {
            if (!target->IsSelecting()) target->PostEvent(PR_ONWHEELDOWN);
        } else if (base.WheelUp) {
            if (!target->IsSelecting()) target->PostEvent(PR_ONWHEELUP);
        }
        still(target);
    }
    TMobuControl* old_hover = base.Hover;
    if (old_hover && !IsRegistered(old_hover)) old_hover = nullptr;
    if (old_hover && old_hover != target) {
        old_hover->MouseOut(target);
        still(target);
    }
    if (target && (base.Moved || target != base.Hover)) {
        if (target != base.Hover) {
            target->MouseIn(old_hover);
            still(target);
        }
        if (target) target->MouseMove();
        still(target);
    }
    base.Hover = target;
    base.Moved = false;
}

// ---------------- update pass ----------------

void TMobuBaseList::UpdatePass()
{
    for (TMobuBase* base : bases_) base->Update();
    for (update_index_ = 0; update_index_ < static_cast<int32_t>(all_.size());) {
        TMobuObject* object = all_[static_cast<size_t>(update_index_)];
        if (object->IsBase()) {
            ++update_index_;
            continue;
        }
        bool in_cabinet = object->IsInCabinet();
        if (!in_cabinet && !object->IsSelecting()) object->PostEvent(PR_ONIDLE);
        if (!IsRegistered(object)) continue;  // removed while posting: the index already moved
        if (object->Paused() || IsDoomed(object) || in_cabinet || !object->Update()) {
            if (IsRegistered(object) && all_[static_cast<size_t>(update_index_)] == object) ++update_index_;
        } else {
            // Removing it (and its children) moves the index back over every earlier entry.
            Destroy(object);
        }
    }
    update_index_ = 0;
    std::vector<TMobuObject*> doomed = doomed_;
    for (TMobuObject* object : doomed) Destroy(object);
    doomed_.clear();
    // What the script changed this frame (a control's cursor, "@Cursor", the control itself)
    // shows at once, not only at the next mouse move.
    TMobuControl* hover = ActiveBase()->Hover;
    ChoosePointer(hover && IsRegistered(hover) ? hover : nullptr);
}

void TMobuBaseList::ChoosePointer(TMobuControl* target)
{
    static const std::string kNone;
    pointer_.Choose(target ? target->Cursor : kNone, ParamMan ? ParamMan->Cursor : kNone);
    for (TMobuBase* base : bases_) base->CursorPath = pointer_.CursorPath();
}

// ---------------- draw pass ----------------

void TMobuBaseList::DrawPass()
{
    frame_dirty_.clear();
    transition_rect_ = TRect{};
    if (!transition_) frame_dirty_ = ActiveBase()->DirtyList.Rects();
    bases_[0]->DrawBase();
    bases_[1]->DrawBase();
    if (transition_) {
        if (!transition_prepared_) {
            transition_->Prepare();
            transition_prepared_ = true;
        }
        transition_rect_ = transition_->TargetRect();
        if (transition_->Step()) {
            // Finished (or its surfaces no longer fit): the active base shows itself again.
            transition_.reset();
            transition_rect_ = TRect{};
            MarkAllDirty();
            bases_[0]->DrawBase();
            bases_[1]->DrawBase();
            frame_dirty_ = ActiveBase()->DirtyList.Rects();
        } else {
            const TRect changed = IntersectRects(transition_rect_, TRect{0, 0, width_, height_});
            if (!changed.IsEmpty()) frame_dirty_.push_back(changed);
        }
    }
}

void TMobuBaseList::ClearDirty()
{
    for (TMobuBase* base : bases_) base->DirtyList.Clear();
}

// ---------------- keyboard and mouse from the window layer ----------------

void TMobuBaseList::KeyEvent(int code, bool down)
{
    if (code < 0 || code >= 256 || key_down_[code] == down) return;
    key_down_[code] = down;
    key_fire_[code] = down;
    std::string text = std::to_string(code);
    if (down) {
        key_repeat_left_[code] = kFirstRepeatMs;
        key_down_pending_ = key_repeat_pending_ = true;
        key_down_codes_.push_back(text);
        key_repeat_codes_.push_back(text);
    } else {
        key_up_pending_ = true;
        key_up_codes_.push_back(text);
    }
}

void TMobuBaseList::KeyClick(int code)
{
    if (code >= 0 && code < 256) key_clicked_[code] = true;
}

void TMobuBaseList::ClearKeys()
{
    std::fill(std::begin(key_down_), std::end(key_down_), false);
    std::fill(std::begin(key_clicked_), std::end(key_clicked_), false);
    std::fill(std::begin(key_fire_), std::end(key_fire_), false);
    std::fill(std::begin(key_repeat_left_), std::end(key_repeat_left_), 0);
    key_down_pending_ = key_up_pending_ = key_repeat_pending_ = false;
    key_down_codes_.clear();
    key_up_codes_.clear();
    key_repeat_codes_.clear();
}

void TMobuBaseList::MousePosition(int32_t x, int32_t y)
{
    for (TMobuBase* base : bases_) {
        if (base->MouseX != x || base->MouseY != y) base->Moved = true;
        base->MouseX = x, base->MouseY = y;
    }
}

void TMobuBaseList::MouseButtonDown(bool left, bool right)
{
    for (TMobuBase* base : bases_) base->LHeld = left, base->RHeld = right;
    if (left) ActiveBase()->LNew = true;
    if (right) ActiveBase()->RNew = true;
}

void TMobuBaseList::MouseButtonUp()
{
    for (TMobuBase* base : bases_) base->LHeld = base->RHeld = false;
}

void TMobuBaseList::Wheel(bool down) { (down ? ActiveBase()->WheelDownNew : ActiveBase()->WheelUpNew) = true; }

// ---------------- focus ----------------

void TMobuBaseList::SetFocus(TMobuControl* control)
{
    if (control == focus_) return;
    TMobuControl* old = focus_;
    if (old && IsRegistered(old) && !old->Name().empty() && !old->IsSelecting()) old->PostEvent(PR_ONFOCUSOUT);
    focus_ = control;
    if (control && !control->IsSelecting()) control->PostEvent(PR_ONFOCUSIN);
    refocus_requested_ = false;
    if (control) control->FocusGained();
}

// ---------------- active base and transitions ----------------

void TMobuBaseList::SwitchBase(int new_active, int transition_id, bool reverse, bool force, int32_t position,
                               int32_t duration)
{
    active_index_ = new_active & 1;
    if (force || (transition_id != 0 && !transition_)) {
        transition_.reset();
        transition_prepared_ = false;
        MarkAllDirty();
        if (transition_id != 0) {
            // The picture now on screen is the frame: keep it as the "from" picture.
            ActiveBase()->Surface.Assign(frame_);
            transition_ = TransitionFactory()(transition_id, frame_, ActiveBase()->Surface, InactiveBase()->Surface,
                                              reverse, duration);
            if (!transition_) ReportMissingTransition(transition_id);
        }
        // No focus is not a focus on the new base either: the new screen's first control that
        // handles keys gets it.
        if (!focus_ || focus_->GetBase() != ActiveBase()) {
            focus_ = nullptr;
            refocus_requested_ = true;
        }
    }
    transition_type_ = transition_id;
    if (transition_) transition_->SetPosition(position);
}

void TMobuBaseList::SetTransitionPosition(int32_t ms)
{
    if (transition_) transition_->SetPosition(ms);
}

void TMobuBaseList::SetTransitionParam(int index, int32_t value)
{
    if (transition_) transition_->SetParam(index, value);
}

void TMobuBaseList::SetTransitionMaskName(const std::string& name)
{
    if (transition_) transition_->SetMaskName(name);
}

int32_t TMobuBaseList::TransitionDuration() const { return transition_ ? transition_->Duration() : 0; }

// ---------------- saved form ----------------

void TMobuBaseList::SaveToStream(ByteWriter& out)
{
    out.I32(width_);
    out.I32(height_);
    out.I32(active_index_);
    bases_[0]->SaveToStream(out);
    bases_[1]->SaveToStream(out);
    std::vector<TMobuObject*> written;
    for (TMobuObject* object : all_) {
        if (object->AsControl() || IsDoomed(object) || object->GetCompoType() == LT_NONE) continue;
        if (object->Name().empty() || object->Name()[0] == '\x01') continue;
        written.push_back(object);
    }
    out.I32(static_cast<int32_t>(written.size()));
    for (TMobuObject* object : written) {
        out.U8(static_cast<uint8_t>(object->GetCompoType()));
        object->SaveToStream(out);
    }
    out.I32(events_.Count());
    for (int32_t i = 0; i < events_.Count(); ++i) {
        const TTimerData& record = events_.At(i);
        out.String(record.Handler);
        out.String(record.Sender && IsRegistered(record.Sender) ? record.Sender->Name() : std::string());
        out.U8(record.Code);
        out.I32(record.Level);
        out.StringArray(record.Params);
    }
    out.String(focus_ ? focus_->Name() : std::string());
}

bool TMobuBaseList::AcceptsSavedSize(int32_t width, int32_t height) const
{
    if (width < 0 || height < 0 || width > kMaxSavedSide || height > kMaxSavedSide) return false;
    if (width == width_ && height == height_) return true;
    int64_t limit = std::max(int64_t{width_} * height_ * 4, kMinSavedPixelLimit);
    return int64_t{width} * height <= limit;
}

TMobuObject* TMobuBaseList::LoadComponent(ByteReader& in, int version, TMobuControl* parent, int depth)
{
    if (depth > kMaxSavedDepth) throw EMobuError(component_messages::BadSaveData());
    int code = in.U8() & 0x7F;
    TMobuObject* object = Factory()(*this, code);
    if (!object) throw EMobuError(component_messages::BadSaveData());
    TMobuControl* control = object->AsControl();
    if ((parent != nullptr) != (control != nullptr)) {
        Destroy(object);
        throw EMobuError(component_messages::BadSaveData());
    }
    if (control) {
        control->parent_ = parent;
        parent->children_.push_back(control);
        control->LoadControl(in, version, depth);
    } else {
        object->LoadFromStream(in, version);
    }
    return object;
}

void TMobuBaseList::LoadFromStream(ByteReader& in, int version)
{
    Reset();
    int32_t width = in.I32(), height = in.I32(), active = in.I32();
    if (!AcceptsSavedSize(width, height)) throw EMobuError(component_messages::BadSaveData());
    SetSize(width, height);
    active_index_ = active & 1;
    bases_[0]->LoadControl(in, version, 0);
    bases_[1]->LoadControl(in, version, 0);
    bases_[0]->StoreName(kBaseName[0]);
    bases_[1]->StoreName(kBaseName[1]);
    MarkAllDirty();
    int32_t count = static_cast<int32_t>(in.Count(1 + 4 + 4));
    for (int32_t i = 0; i < count; ++i) LoadComponent(in, version, nullptr, 0);
    int32_t records = static_cast<int32_t>(in.Count(4 + 4 + 1 + 1 + 4));
    for (int32_t i = 0; i < records; ++i) {
        TTimerData record;
        record.Handler = in.String();
        std::string sender = in.String();
        record.Sender = sender.empty() ? nullptr : FindComponent(sender);
        record.Code = in.U8();
        record.Level = version < 114 ? (in.U8() != 0 ? 1 : 0) : in.I32();
        record.Params = in.StringArray();
        events_.Post(std::move(record));
    }
    if (version > 118) {
        std::string name = in.String();
        TMobuObject* found = name.empty() ? nullptr : FindComponent(name);
        if (found && found->AsControl() && !found->IsBase()) {
            focus_ = found->AsControl();
            focus_->FocusGained();
        }
    }
}

}  // namespace mobu
