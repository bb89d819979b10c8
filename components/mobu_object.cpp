#include "components/mobu_object.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "core/globals.h"
#include "core/mobu_error.h"
#include "components/component_messages.h"
#include "components/mobu_base_list.h"
#include "components/mobu_motion.h"
#include "core/cp932_chars.h"

namespace mobu {
namespace {

int32_t Wrap32(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

int64_t FloorDiv(int64_t a, int64_t b)
{
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// The new name of an object displaced by a control taking its name: "a" → "a_2",
// "a_5" → "a_6", "a_1" → "a_1_2".
std::string DisplacedName(const TMobuBaseList& list, const std::string& name)
{
    size_t underscore = std::string::npos;
    for (size_t i = 0; i < name.size(); i += Cp932CharLength(name, i))
        if (name[i] == '_' && i >= 1) underscore = i;
    std::string base = name;
    int64_t number = 2;
    if (underscore != std::string::npos && underscore + 1 < name.size() && name.size() - underscore - 1 <= 9) {
        std::string rest = name.substr(underscore + 1);
        if (std::all_of(rest.begin(), rest.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            int64_t value = std::stoll(rest);
            if (value > 1) {
                base = name.substr(0, underscore);
                number = value;
            }
        }
    }
    for (;; ++number) {
        std::string candidate = base + "_" + std::to_string(number);
        if (!list.FindByName(candidate)) return candidate;
    }
}

}  // namespace

// ---------------- TMobuObject ----------------

TMobuObject::TMobuObject(TMobuBaseList* owner) : owner_(owner)
{
    if (owner_) owner_->Register(this);
}

TMobuObject::~TMobuObject()
{
    if (owner_ && owner_->IsRegistered(this)) owner_->Unregister(this);
}

void TMobuObject::StoreName(std::string name)
{
    std::string old_name = std::exchange(name_, std::move(name));
    if (owner_) owner_->Renamed(this, old_name);
}

void TMobuObject::SetName(const std::string& name)
{
    if (name == name_) return;
    if (owner_ && !name.empty()) {
        TMobuObject* other = owner_->FindByName(name);
        if (other && other != this) {
            if (!AsControl()) owner_->Doom(other);
            else other->StoreName(DisplacedName(*owner_, name));
        }
    }
    StoreName(name);
}

void TMobuObject::SetPriority(int32_t value)
{
    if (value == priority_) return;
    priority_ = value;
    priority_offset_ = 0;
    ResortInParent();
    Invalidate();
}

void TMobuObject::SetPriorityOffset(int32_t value)
{
    if (value == priority_offset_) return;
    priority_offset_ = value;
    ResortInParent();
    Invalidate();
}

void TMobuObject::ResortInParent()
{
    if (TMobuControl* self = AsControl())
        if (self->Parent()) self->Parent()->SortChildren();
}

bool TMobuObject::Answers(int id) const { return TypeAnswers(GetCompoType(), id); }

TPropValue TMobuObject::GetProp(int id)
{
    if (id < 0 || id >= kPropertyCount) return TPropValue::Int(0);
    if (!Answers(id)) {
        if (id == PR_ORIGWIDTH) return GetProp(PR_WIDTH);
        if (id == PR_ORIGHEIGHT) return GetProp(PR_HEIGHT);
        return NeutralValue(id);
    }
    return ReadProperty(id).As(PropertyInfo(id).type);
}

void TMobuObject::SetProp(int id, const TPropValue& value)
{
    if (id < 0 || id >= kPropertyCount || !Answers(id) || IsReadOnlyProperty(id)) return;
    WriteProperty(id, value.As(StoredType(id)));
}

TPropValue TMobuObject::ReadProperty(int id)
{
    switch (id) {
        case PR_NAME: return TPropValue::Text(name_);
        case PR_TAG: return TPropValue::Text(Tag);
        case PR_PRIORITY: return TPropValue::Int(priority_);
        case PR_COMPOTYPE: return TPropValue::Int(GetCompoType());
        default: break;
    }
    auto found = values_.find(id);
    return found != values_.end() ? found->second : DefaultValue(id);
}

void TMobuObject::WriteProperty(int id, const TPropValue& value)
{
    switch (id) {
        case PR_NAME: SetName(value.text); return;
        case PR_TAG: Tag = value.text; return;
        case PR_PRIORITY: SetPriority(value.integer); return;
        default: break;
    }
    auto found = values_.find(id);
    if (found != values_.end() && found->second == value) return;
    values_[id] = value;
    Invalidate();
}

bool TMobuObject::PostEvent(int code, std::vector<std::string> params, bool allow_duplicate)
{
    if (!owner_ || name_.empty()) return false;
    std::string handler = EventString(code);
    if (handler.empty()) return false;
    if (!allow_duplicate && owner_->Events().IsQueued(this, code)) return false;
    owner_->Events().Post(TTimerData{std::move(handler), this, static_cast<uint8_t>(code), 0, std::move(params)});
    return true;
}

void TMobuObject::SaveToStream(ByteWriter& out)
{
    out.String(name_);
    out.I32(priority_);
    out.I32(priority_offset_);
    out.String(Tag);
}

void TMobuObject::LoadFromStream(ByteReader& in, int version)
{
    StoreName(in.String());
    priority_ = in.I32();
    priority_offset_ = version > 103 ? in.I32() : 0;
    Tag = version >= 120 ? in.String() : std::string();
}

// ---------------- TMobuControl ----------------

TMobuControl::~TMobuControl() { Motion.reset(); }

bool TMobuControl::Update()
{
    if (!Motion || !Motion->Tick(FrameDeltaMs)) return false;
    if (GetProp(PR_AUTOSCRAP).AsFlag()) return true;
    PostEvent(PR_ONPLAYEND);
    return false;
}

void TMobuControl::SetMotion(const std::string& path)
{
    std::unique_ptr<TMotionFilm> film = path.empty() ? nullptr : MakeMotionFilm(*this, path);
    Invalidate();
    Motion.reset();
    if (film) Motion = std::make_unique<TMobuMotion>(*this, std::move(film));
    Invalidate();
}

void TMobuControl::SetMotionPosition(int32_t x, int32_t y)
{
    if (x == MotionX && y == MotionY) return;
    Invalidate();
    MotionX = x;
    MotionY = y;
    Invalidate();
}

void TMobuControl::RestartMotion()
{
    if (Motion) Motion->Restart();
}

bool TMobuControl::Answers(int id) const { return IsControlProperty(id) || TMobuObject::Answers(id); }

void TMobuControl::SetName(const std::string& name)
{
    bool changed = name != name_;
    TMobuObject::SetName(name);
    if (changed && parent_) parent_->SortChildren();
}

TMobuBase* TMobuControl::GetBase() { return parent_ ? parent_->GetBase() : nullptr; }

bool TMobuControl::IsInCabinet() const
{
    for (const TMobuControl* p = parent_; p; p = p->parent_)
        if (p->IsCabinet()) return true;
    return false;
}

bool TMobuControl::IsShown()
{
    if (!owner_ || GetBase() != owner_->ActiveBase()) return false;
    for (TMobuControl* c = this; c; c = c->parent_)
        if (!c->GetVisible()) return false;
    return true;
}

bool TMobuControl::HasDescendant(const TMobuObject* object) const
{
    for (const TMobuControl* child : children_)
        if (child == object || child->HasDescendant(object)) return true;
    return false;
}

int CompareChildren(TMobuObject* a, TMobuObject* b)
{
    static const std::string kSnapshot("\x01\x01");
    bool a_snapshot = a->Name() == kSnapshot, b_snapshot = b->Name() == kSnapshot;
    if (a_snapshot != b_snapshot) return a_snapshot ? 1 : -1;
    bool a_system = !a->Name().empty() && a->Name()[0] == '\x01';
    bool b_system = !b->Name().empty() && b->Name()[0] == '\x01';
    if (a_system != b_system) return a_system ? -1 : 1;
    int64_t pa = int64_t{a->Priority()} + a->PriorityOffset(), pb = int64_t{b->Priority()} + b->PriorityOffset();
    if (pa != pb) return pa < pb ? -1 : 1;
    int c = a->Name().compare(b->Name());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

void TMobuControl::SortChildren()
{
    std::stable_sort(children_.begin(), children_.end(),
                     [](TMobuControl* a, TMobuControl* b) { return CompareChildren(a, b) < 0; });
    // Afterimages go immediately before their owner, the faintest furthest back. They are
    // moved after sorting rather than by the comparison, which has to stay a strict order.
    auto owner_of = [this](TMobuControl* c) -> TMobuControl* {
        if (c->AfterimageOwner.empty()) return nullptr;
        for (TMobuControl* other : children_)
            if (other != c && other->Name() == c->AfterimageOwner) return other;
        return nullptr;
    };
    std::vector<std::pair<TMobuControl*, TMobuControl*>> copies;  // (copy, owner)
    std::vector<TMobuControl*> rest;
    for (TMobuControl* c : children_) {
        if (TMobuControl* owner = owner_of(c)) copies.emplace_back(c, owner);
        else rest.push_back(c);
    }
    if (copies.empty()) return;
    std::stable_sort(copies.begin(), copies.end(), [](const auto& a, const auto& b) {
        return a.first->AfterimageOrder() < b.first->AfterimageOrder();
    });
    children_.clear();
    for (TMobuControl* c : rest) {
        for (const auto& [copy, owner] : copies)
            if (owner == c) children_.push_back(copy);
        children_.push_back(c);
    }
    // Copies whose owner is itself a copy (never made here) keep the sorted place of theirs.
    for (const auto& [copy, owner] : copies)
        if (std::find(children_.begin(), children_.end(), copy) == children_.end()) children_.push_back(copy);
}

void TMobuControl::AddChild(TMobuControl* child)
{
    children_.push_back(child);
    SortChildren();
}

void TMobuControl::RemoveChild(TMobuControl* child) { std::erase(children_, child); }

void TMobuControl::SetParent(TMobuControl* parent)
{
    if (parent == parent_ || parent == this || HasDescendant(parent)) return;
    Invalidate();
    TMobuControl* old = parent_;
    if (old) {
        old->RemoveChild(this);
        if (old->IsCabinet()) LeftCabinet();
    }
    parent_ = parent;
    if (parent_) {
        parent_->AddChild(this);
        if (parent_->IsCabinet()) EnteredCabinet();
    }
    Invalidate();
    if (!owner_) return;
    TMobuControl* focus = owner_->Focus();
    bool holds_focus = focus && (focus == this || HasDescendant(focus));
    if (!holds_focus) {
        if (!focus && GetBase() == owner_->ActiveBase()) {
            owner_->DropFocus();
            owner_->RequestRefocus();
        }
    } else if (GetBase() == owner_->InactiveBase() || IsInCabinet()) {
        owner_->SetFocus(nullptr);
        owner_->RequestRefocus();
    }
}

void TMobuControl::SetVisible(bool visible)
{
    if (visible == visible_) return;
    if (!visible) {
        Invalidate();
        visible_ = false;
        if (owner_ && owner_->Focus() && (owner_->Focus() == this || HasDescendant(owner_->Focus()))) {
            owner_->SetFocus(nullptr);
            owner_->RequestRefocus();
        }
    } else {
        visible_ = true;
        Invalidate();
        if (owner_ && !owner_->Focus()) owner_->RequestRefocus();
    }
}

void TMobuControl::SetLeft(int32_t v)
{
    if (v != Left) {
        Invalidate();
        Left = v;
        MotionX = 0;
        Invalidate();
    }
    PositionChanged();
}

void TMobuControl::SetTop(int32_t v)
{
    if (v != Top) {
        Invalidate();
        Top = v;
        MotionY = 0;
        Invalidate();
    }
    PositionChanged();
}

void TMobuControl::SetWidth(int32_t v)
{
    if (v == Width) return;
    Invalidate();
    Width = v;
    Invalidate();
}

void TMobuControl::SetHeight(int32_t v)
{
    if (v == Height) return;
    Invalidate();
    Height = v;
    Invalidate();
}

void TMobuControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height)
{
    if (left == Left && top == Top && width == Width && height == Height) return;
    Invalidate();
    Left = left;
    Top = top;
    Width = width;
    Height = height;
    Invalidate();
}

void TMobuControl::SetColor(int32_t colour)
{
    if (colour == Color) return;
    Color = colour;
    Invalidate();
}

void TMobuControl::PositionChanged()
{
    for (TMobuControl* child : children_) child->PositionChanged();
}

namespace {

// One axis of the placement rule.
struct TAxis {
    int32_t position, offset, size, zoom, motion, plus, own_surface, parent_own_surface, parent_size,
        parent_zoom, parent_scroll;
    bool flip, pos_zoomed, has_motion, parent_is_base, has_parent;
    int64_t parent_abs;
};

int32_t PlaceAxis(const TAxis& a)
{
    if (a.pos_zoomed && a.has_parent && !a.parent_is_base && !a.has_motion && a.own_surface > 0 &&
        a.parent_own_surface > 0 && a.parent_size >= 1 && a.zoom == a.parent_zoom) {
        double ratio = static_cast<double>(a.parent_own_surface) / a.parent_size * 65536.0;
        int64_t d = static_cast<int64_t>(std::llround(std::min(ratio, 9.0e15)));
        if (d < 1) d = 1;
        int64_t numerator = a.flip ? (int64_t{a.parent_own_surface} + a.offset - a.position - a.own_surface)
                                   : (int64_t{a.position} - a.offset);
        numerator *= 65536;
        int64_t offset = FloorDiv(2 * numerator + d, 2 * d);
        return Wrap32(offset + a.parent_abs + a.plus - a.parent_scroll);
    }
    int64_t anchor;
    if (!a.flip) anchor = a.zoom == 256 ? a.offset : int64_t{a.offset} * a.zoom / 256;
    else anchor = a.zoom == 256 ? int64_t{a.size} - a.offset - 1 : int64_t{a.size} - int64_t{a.zoom} * a.offset / 256 - 1;
    int64_t p = a.has_motion ? a.motion : (a.pos_zoomed ? int64_t{a.zoom} * a.position / 256 : a.position);
    if (a.has_parent) return Wrap32(p + a.parent_abs - a.parent_scroll - anchor + a.plus);
    return Wrap32(p - anchor + a.plus);
}

}  // namespace

int32_t TMobuControl::GetAbsLeft()
{
    TAxis a{};
    a.position = Left, a.offset = OffsetX, a.size = Width, a.zoom = ZoomX(), a.motion = MotionX, a.plus = PlusX;
    a.own_surface = OwnSurfaceWidth();
    a.flip = Answers(PR_FLIPH) && ReadProperty(PR_FLIPH).AsFlag();
    a.pos_zoomed = PosZoomed, a.has_motion = HasMotion(), a.has_parent = parent_ != nullptr;
    if (parent_) {
        a.parent_is_base = parent_->IsBase();
        a.parent_own_surface = parent_->OwnSurfaceWidth();
        a.parent_size = parent_->Width;
        a.parent_zoom = parent_->ZoomX();
        a.parent_scroll = parent_->GetProp(PR_SCROLLX).AsInt();
        a.parent_abs = parent_->GetAbsLeft();
    }
    return PlaceAxis(a);
}

int32_t TMobuControl::GetAbsTop()
{
    TAxis a{};
    a.position = Top, a.offset = OffsetY, a.size = Height, a.zoom = ZoomY(), a.motion = MotionY, a.plus = PlusY;
    a.own_surface = OwnSurfaceHeight();
    a.flip = Answers(PR_FLIPV) && ReadProperty(PR_FLIPV).AsFlag();
    a.pos_zoomed = PosZoomed, a.has_motion = HasMotion(), a.has_parent = parent_ != nullptr;
    if (parent_) {
        a.parent_is_base = parent_->IsBase();
        a.parent_own_surface = parent_->OwnSurfaceHeight();
        a.parent_size = parent_->Height;
        a.parent_zoom = parent_->ZoomY();
        a.parent_scroll = parent_->GetProp(PR_SCROLLY).AsInt();
        a.parent_abs = parent_->GetAbsTop();
    }
    return PlaceAxis(a);
}

TRect TMobuControl::GetBoundsRect()
{
    int64_t left = GetAbsLeft(), top = GetAbsTop();
    auto clamp = [](int64_t v) {
        return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                        std::numeric_limits<int32_t>::max()));
    };
    return TRect{clamp(left), clamp(top), clamp(left + std::max(Width, 0)), clamp(top + std::max(Height, 0))};
}

TRect TMobuControl::ClipRectOnBase()
{
    int64_t left = int64_t{GetAbsLeft()} + ClipLeft, top = int64_t{GetAbsTop()} + ClipTop;
    auto clamp = [](int64_t v) {
        return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                        std::numeric_limits<int32_t>::max()));
    };
    return TRect{clamp(left), clamp(top), clamp(left + ClipWidth), clamp(top + ClipHeight)};
}

void TMobuControl::Invalidate()
{
    if (!GetVisible()) return;
    TMobuBase* base = GetBase();
    if (!base) return;
    TRect rect = GetBoundsRect();
    if (parent_) {
        rect = IntersectRects(rect, parent_->GetBoundsRect());
        if (rect.IsEmpty()) return;
    }
    if (HasClip()) {
        rect = IntersectRects(rect, ClipRectOnBase());
        if (rect.IsEmpty()) return;
    }
    for (TMobuControl* a = parent_; a; a = a->parent_) a->WidenDirtyRect(rect);
    base->AddDirtyRect(rect);
}

void TMobuControl::Draw(TCustomDIBX& surface) { DrawChildren(surface); }

void TMobuControl::DrawChildren(TCustomDIBX& surface)
{
    TRect saved = surface.ClipRect;
    TRect visible = IntersectRects(GetBoundsRect(), surface.GetClipRect());
    if (visible.IsEmpty()) return;
    for (TMobuControl* child : children_) {
        if (child->Name().empty() || !child->GetVisible()) continue;
        TRect r = visible;
        if (child->HasClip()) r = IntersectRects(r, child->ClipRectOnBase());
        if (r.IsEmpty()) continue;
        surface.ResetClip();
        surface.IncludeClip(r);
        child->Draw(surface);
        surface.ResetClip();
    }
    surface.ClipRect = saved;
}

TMobuControl* TMobuControl::HitTest(int32_t x, int32_t y, uint32_t mask)
{
    if (!GetVisible()) return nullptr;
    TRect r = GetBoundsRect();
    if (x < r.Left || y < r.Top || x >= r.Right || y >= r.Bottom) return nullptr;
    TMobuControl* candidate = IgnoreMouse <= IM_RCLICK && ((mask >> IgnoreMouse) & 1u) ? this : nullptr;
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        if ((*it)->Name().empty()) continue;
        if (TMobuControl* hit = (*it)->HitTest(x, y, mask)) return hit;
    }
    return candidate;
}

std::vector<std::string> TMobuControl::MouseParams()
{
    TMobuBase* base = GetBase();
    int32_t x = base ? base->MouseX : 0, y = base ? base->MouseY : 0;
    return {std::to_string(int64_t{x} - GetAbsLeft()), std::to_string(int64_t{y} - GetAbsTop())};
}

void TMobuControl::LButtonDown()
{
    TMobuBase* base = owner_ ? owner_->ActiveBase() : nullptr;
    if (!base) return;
    bool lets_left = IgnoreMouse == IM_NONE || IgnoreMouse == IM_RCLICK;
    if (lets_left && !Paused() && !owner_->Events().IsQueued(this, PR_ONLBTNDOWN) && !IsBase() && !IsSelecting()) {
        PostEvent(PR_ONLBTNDOWN, MouseParams());
        base->Capture |= kCaptureLeft;
        base->LClick = false;
    } else if (!IsBase() && lets_left) {
        base->LClick = false;
    }
}

void TMobuControl::LButtonUp()
{
    if (IsSelecting()) return;
    PostEvent(PR_ONLBTNUP, MouseParams(), true);
    if (owner_) owner_->ActiveBase()->Capture &= static_cast<uint8_t>(~kCaptureLeft);
}

void TMobuControl::RButtonDown()
{
    TMobuBase* base = owner_ ? owner_->ActiveBase() : nullptr;
    if (!base) return;
    bool lets_right = IgnoreMouse == IM_NONE || IgnoreMouse == IM_LCLICK;
    if (lets_right && !Paused() && !owner_->Events().IsQueued(this, PR_ONRBTNDOWN) && !IsBase() && !IsSelecting()) {
        PostEvent(PR_ONRBTNDOWN, MouseParams());
        base->Capture |= kCaptureRight;
        base->RClick = false;
    } else if (!IsBase() && lets_right) {
        base->RClick = false;
    }
}

void TMobuControl::RButtonUp()
{
    if (IsSelecting()) return;
    PostEvent(PR_ONRBTNUP, MouseParams(), true);
    if (owner_) owner_->ActiveBase()->Capture &= static_cast<uint8_t>(~kCaptureRight);
}

void TMobuControl::MouseMove()
{
    if (!IsSelecting()) PostEvent(PR_ONMOUSEMOVE, MouseParams());
}

void TMobuControl::MouseOut(TMobuControl*)
{
    if (!IsSelecting()) PostEvent(PR_ONMOUSEOUT, {}, true);
}

void TMobuControl::MouseIn(TMobuControl*)
{
    if (!IsSelecting()) PostEvent(PR_ONMOUSEIN, {}, true);
}

TMobuControl* TMobuControl::FindFocusable()
{
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        if ((*it)->Name().empty() || !(*it)->GetVisible()) continue;
        if (TMobuControl* found = (*it)->FindFocusable()) return found;
    }
    if (HandleKey && !Paused() && !IsBase()) return this;
    return nullptr;
}

TPropValue TMobuControl::ReadProperty(int id)
{
    switch (id) {
        case PR_PARENT:
            if (!parent_ || !owner_ || parent_ == owner_->ActiveBase()) return TPropValue::Text("");
            if (parent_ == owner_->InactiveBase()) return TPropValue::Text("\x01");
            return TPropValue::Text(parent_->Name());
        case PR_LEFT: return TPropValue::Int(Left);
        case PR_TOP: return TPropValue::Int(Top);
        case PR_WIDTH: return TPropValue::Int(Width);
        case PR_HEIGHT: return TPropValue::Int(Height);
        case PR_COLOR: return TPropValue::Int(Color);
        case PR_OFFSETX: return TPropValue::Int(OffsetX);
        case PR_OFFSETY: return TPropValue::Int(OffsetY);
        case PR_VISIBLE: return TPropValue::Flag(GetVisible());
        case PR_IGNOREMOUSE: return TPropValue::Int(IgnoreMouse);
        case PR_CURSOR: return TPropValue::Text(Cursor);
        case PR_POSZOOMED: return TPropValue::Flag(PosZoomed);
        case PR_CLIPLEFT: return TPropValue::Int(ClipLeft);
        case PR_CLIPTOP: return TPropValue::Int(ClipTop);
        case PR_CLIPWIDTH: return TPropValue::Int(ClipWidth);
        case PR_CLIPHEIGHT: return TPropValue::Int(ClipHeight);
        case PR_ANIPAUSED: return TPropValue::Flag(AniPaused);
        case PR_HANDLEKEY: return TPropValue::Flag(HandleKey);
        case PR_PLUSX: return TPropValue::Int(PlusX);
        case PR_PLUSY: return TPropValue::Int(PlusY);
        default: return TMobuObject::ReadProperty(id);
    }
}

void TMobuControl::WriteProperty(int id, const TPropValue& value)
{
    auto set_invalidating = [this](auto& field, auto v) {
        if (field == v) return;
        Invalidate();
        field = v;
        Invalidate();
    };
    switch (id) {
        case PR_PARENT:
            if (IsBase() || !owner_) return;
            if (TMobuControl* parent = owner_->FindControl(value.text)) SetParent(parent);
            return;
        case PR_LEFT: SetLeft(value.integer); return;
        case PR_TOP: SetTop(value.integer); return;
        case PR_WIDTH: SetWidth(value.integer); return;
        case PR_HEIGHT: SetHeight(value.integer); return;
        case PR_COLOR: SetColor(value.integer); return;
        case PR_OFFSETX:
            set_invalidating(OffsetX, value.integer);
            PositionChanged();
            return;
        case PR_OFFSETY:
            set_invalidating(OffsetY, value.integer);
            PositionChanged();
            return;
        case PR_VISIBLE: SetVisible(value.integer != 0); return;
        case PR_IGNOREMOUSE: IgnoreMouse = static_cast<uint8_t>(value.integer); return;
        case PR_CURSOR: Cursor = value.text; return;
        case PR_POSZOOMED: set_invalidating(PosZoomed, value.integer != 0); return;
        case PR_CLIPLEFT: set_invalidating(ClipLeft, value.integer); return;
        case PR_CLIPTOP: set_invalidating(ClipTop, value.integer); return;
        case PR_CLIPWIDTH: set_invalidating(ClipWidth, value.integer); return;
        case PR_CLIPHEIGHT: set_invalidating(ClipHeight, value.integer); return;
        case PR_ANIPAUSED: AniPaused = value.integer != 0; return;
        case PR_HANDLEKEY: HandleKey = value.integer != 0; return;
        case PR_PLUSX: set_invalidating(PlusX, value.integer); return;
        case PR_PLUSY: set_invalidating(PlusY, value.integer); return;
        default: TMobuObject::WriteProperty(id, value); return;
    }
}

namespace {

const int kMouseEvents[] = {PR_ONMOUSEMOVE, PR_ONMOUSEIN, PR_ONMOUSEOUT, PR_ONLBTNDOWN, PR_ONLBTNUP,
                            PR_ONRBTNDOWN,  PR_ONRBTNUP,  PR_ONWHEELDOWN, PR_ONWHEELUP};
const int kKeyEvents[] = {PR_ONKEYDOWN, PR_ONKEYUP, PR_ONKEYREPEAT, PR_ONFOCUSIN, PR_ONFOCUSOUT};

}  // namespace

void TMobuControl::SaveToStream(ByteWriter& out)
{
    TMobuObject::SaveToStream(out);
    for (int32_t v : {Left, Top, Width, Height, OffsetX, OffsetY}) out.I32(v);
    out.Flag(PosZoomed);
    for (int32_t v : {MotionX, MotionY, PlusX, PlusY}) out.I32(v);
    for (int32_t v : {ClipLeft, ClipTop, ClipWidth, ClipHeight}) out.I32(v);
    out.Flag(AniPaused);
    out.Flag(visible_);
    out.I32(Color);
    for (int32_t v : ReservedRect) out.I32(v);
    out.U8(IgnoreMouse);
    out.String(Cursor);
    for (int code : kMouseEvents) out.String(EventString(code));
    out.Flag(HandleKey);
    for (int code : kKeyEvents) out.String(EventString(code));
    std::vector<TMobuControl*> written;
    for (TMobuControl* child : children_) {
        if (owner_ && owner_->IsDoomed(child)) continue;
        if (child->GetCompoType() == LT_NONE || child->Name().empty() || child->Name()[0] == '\x01') continue;
        written.push_back(child);
    }
    out.I32(static_cast<int32_t>(written.size()));
    for (TMobuControl* child : written) {
        out.U8(static_cast<uint8_t>(child->GetCompoType()));
        child->SaveToStream(out);
    }
    SaveTypePart(out);
}

void TMobuControl::LoadFromStream(ByteReader& in, int version)
{
    LoadControl(in, version, 0);
}

void TMobuControl::LoadControl(ByteReader& in, int version, int depth)
{
    TMobuObject::LoadFromStream(in, version);
    Left = in.I32(), Top = in.I32(), Width = in.I32(), Height = in.I32(), OffsetX = in.I32(), OffsetY = in.I32();
    PosZoomed = in.Flag();
    if (version >= 130) MotionX = in.I32(), MotionY = in.I32(), PlusX = in.I32(), PlusY = in.I32();
    if (version > 103) {
        ClipLeft = in.I32(), ClipTop = in.I32(), ClipWidth = in.I32(), ClipHeight = in.I32();
        AniPaused = in.Flag();
    }
    visible_ = in.Flag();
    Color = in.I32();
    for (int32_t& v : ReservedRect) v = in.I32();
    IgnoreMouse = in.U8();
    Cursor = in.String();
    for (int code : kMouseEvents) {
        if (code == PR_ONMOUSEIN && version <= 101) continue;
        values_[code] = TPropValue::Text(in.String());
    }
    if (version > 117) {
        HandleKey = in.Flag();
        for (int code : kKeyEvents) values_[code] = TPropValue::Text(in.String());
    }
    int32_t count = static_cast<int32_t>(in.Count(1 + 4 + 4));
    for (int32_t i = 0; i < count; ++i) {
        if (!owner_) throw EMobuError(component_messages::BadSaveData());
        owner_->LoadComponent(in, version, this, depth + 1);
    }
    SortChildren();
    LoadTypePart(in, version);
}

}  // namespace mobu
