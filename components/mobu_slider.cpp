#include "components/mobu_slider.h"

#include <algorithm>
#include <cmath>

#include "core/globals.h"
#include "components/cell_tiling.h"
#include "components/image_steps.h"
#include "components/mobu_base.h"
#include "components/mobu_base_list.h"

namespace mobu {
namespace {

constexpr int kKeyLeft = 37, kKeyUp = 38, kKeyRight = 39, kKeyDown = 40;

int32_t Clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

bool Inside(const TRect& r, int32_t x, int32_t y)
{
    return !r.IsEmpty() && x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

TRect RectOf(int64_t left, int64_t top, int64_t width, int64_t height)
{
    return TRect{Clamp32(left), Clamp32(top), Clamp32(left + width), Clamp32(top + height)};
}

}  // namespace

void TControlPicture::Set(const void* holder, const std::string& path)
{
    Source = path;
    Images.Clear();
    Width = Height = 0;
    if (path.empty()) return;
    Images.Fill(holder, path, false, false);
    if (TDIBX* s = Surface()) Width = s->Width(), Height = s->Height();
}

TDIBX* TControlPicture::Surface()
{
    if (Images.Count() == 0 || !Images.Data(0).Frame->Surface) return nullptr;
    return Images.Data(0).Frame->Surface.get();
}

TDIBX* TControlPicture::Mask()
{
    if (Images.Count() == 0) return nullptr;
    return Images.Data(0).Frame->Mask.get();
}

TMobuSlider::TMobuSlider(TMobuBaseList* owner, int type_code) : TMobuControl(owner, type_code)
{
    Min = DefaultValue(PR_MIN).integer;
    Max = DefaultValue(PR_MAX).integer;
    Value = DefaultValue(PR_VALUE).integer;
    Alpha = DefaultValue(PR_ALPHA).integer;
    SmallChange = DefaultValue(PR_SMALLCHANGE).integer;
}

TMobuSlider::~TMobuSlider() = default;

// ---------------- layout and value ----------------

void TMobuSlider::Layout()
{
    Invalidate();
    TrackWidth = Track.Width / 2, TrackHeight = Track.Height;
    if (BarSize > 0) (Vertical() ? TrackHeight : TrackWidth) = BarSize;
    ThumbWidth = Thumb.Width / 3, ThumbHeight = Thumb.Height;
    ButtonWidth = Buttons.Width / 6, ButtonHeight = Buttons.Height;
    int64_t width = 0, height = 0;
    if (Track.Surface()) {
        const int64_t thumb_term = IsScrollbar() ? 0 : ThumbLength();
        if (Vertical()) {
            width = std::max({TrackWidth, ThumbWidth, ButtonWidth});
            height = int64_t{TrackHeight} + thumb_term + 2 * int64_t{ButtonHeight};
        } else {
            width = int64_t{TrackWidth} + thumb_term + 2 * int64_t{ButtonWidth};
            height = std::max({TrackHeight, ThumbHeight, ButtonHeight});
        }
    }
    SetBounds(Left, Top, Clamp32(width), Clamp32(height));
    PlaceThumb();
}

int32_t TMobuSlider::Travel() const
{
    return IsScrollbar() ? std::max(TrackLength() - ThumbLength(), 0) : std::max(TrackLength(), 0);
}

int32_t TMobuSlider::ClampedValue() const
{
    if (!HasRange() && Max < Min) return Min;
    return std::clamp(Value, Min, Max);
}

void TMobuSlider::PlaceThumb()
{
    int32_t pos = 0;
    if (HasRange()) {
        const double range = static_cast<double>(int64_t{Max} - Min);
        const double offset = static_cast<double>(int64_t{ClampedValue()} - Min);
        pos = static_cast<int32_t>(std::llround(offset / range * Travel()));
    }
    if (pos == ThumbPos) return;
    Invalidate();
    ThumbPos = pos;
    Invalidate();
}

void TMobuSlider::SetValue(int32_t value)
{
    Value = value;
    PlaceThumb();
}

void TMobuSlider::UserValue(int64_t value)
{
    if (!HasRange()) return;
    const int32_t v = static_cast<int32_t>(std::clamp<int64_t>(value, Min, Max));
    if (v == Value) return;
    SetValue(v);
    PostEvent(PR_ONNOTIFY, {std::to_string(v)}, true);
}

TRect TMobuSlider::TrackRect()
{
    const int64_t left = GetAbsLeft(), top = GetAbsTop();
    const int64_t start = ButtonLength() + (IsScrollbar() ? 0 : ThumbLength() / 2);
    if (Vertical()) return RectOf(left + (int64_t{Width} - TrackWidth) / 2, top + start, TrackWidth, TrackHeight);
    return RectOf(left + start, top + (int64_t{Height} - TrackHeight) / 2, TrackWidth, TrackHeight);
}

TRect TMobuSlider::ThumbRect()
{
    const int64_t left = GetAbsLeft(), top = GetAbsTop();
    if (Vertical()) {
        // A vertical slider grows upward; a scroll bar downward.
        const int64_t y = IsScrollbar() ? top + ButtonHeight + ThumbPos
                                        : top + ButtonHeight + int64_t{TrackHeight} - ThumbPos;
        return RectOf(left + (int64_t{Width} - ThumbWidth) / 2, y, ThumbWidth, ThumbHeight);
    }
    return RectOf(left + ButtonWidth + int64_t{ThumbPos}, top + (int64_t{Height} - ThumbHeight) / 2, ThumbWidth,
                  ThumbHeight);
}

TRect TMobuSlider::ButtonRect(int which)
{
    const int64_t left = GetAbsLeft(), top = GetAbsTop();
    if (Vertical()) {
        // The slider's increment button is at the top, the scroll bar's at the bottom.
        const bool at_top = IsScrollbar() ? which == 0 : which == 1;
        const int64_t y = at_top ? top : top + Height - ButtonHeight;
        return RectOf(left + (int64_t{Width} - ButtonWidth) / 2, y, ButtonWidth, ButtonHeight);
    }
    const int64_t x = which == 0 ? left : left + Width - ButtonWidth;
    return RectOf(x, top + (int64_t{Height} - ButtonHeight) / 2, ButtonWidth, ButtonHeight);
}

int32_t TMobuSlider::PointerAlong()
{
    TMobuBase* base = owner_ ? owner_->ActiveBase() : nullptr;
    if (!base) return 0;
    return Vertical() ? base->MouseY : base->MouseX;
}

int64_t TMobuSlider::ThumbPosAt(int64_t along)
{
    const int64_t grabbed = along - DragOffset;
    if (Vertical() && !IsScrollbar()) return int64_t{GetAbsTop()} + ButtonHeight + TrackHeight - grabbed;
    const int64_t origin = Vertical() ? int64_t{GetAbsTop()} + ButtonHeight : int64_t{GetAbsLeft()} + ButtonWidth;
    return grabbed - origin;
}

int64_t TMobuSlider::ValueAtThumbPos(int64_t pos)
{
    const int32_t travel = Travel();
    if (travel < 1) return Min;
    const double range = static_cast<double>(int64_t{Max} - Min);
    const double clamped = static_cast<double>(std::clamp<int64_t>(pos, 0, travel));
    return int64_t{Min} + std::llround(clamped / travel * range);
}

// ---------------- drawing ----------------

void TMobuSlider::DrawTrack(TCustomDIBX& surface)
{
    TDIBX* picture = Track.Surface();
    const int32_t cw = Track.Width / 2, ch = Track.Height;
    if (!picture || cw < 1 || ch < 1) return;
    TDIBX* mask = Track.Mask();
    const TRect normal{0, 0, cw, ch}, pressed{cw, 0, 2 * cw, ch};
    const TRect track = TrackRect();
    const int64_t length = TrackLength();
    const bool vertical = Vertical();
    // The track split at `split` (from its start edge: the left, or the top): the part before
    // with `first`, the part after with `second` continuing the phase.
    auto split_at = [&](int64_t split, const TRect& first, const TRect& second, int64_t phase_before,
                        int64_t phase_after) {
        split = std::clamp<int64_t>(split, 0, length);
        if (vertical) {
            const TRect a{track.Left, track.Top, track.Right, Clamp32(int64_t{track.Top} + split)};
            const TRect b{track.Left, a.Bottom, track.Right, track.Bottom};
            TileCell(surface, a, *picture, first, 0, phase_before, false, false, Alpha, mask);
            TileCell(surface, b, *picture, second, 0, phase_after, false, false, Alpha, mask);
        } else {
            const TRect a{track.Left, track.Top, Clamp32(int64_t{track.Left} + split), track.Bottom};
            const TRect b{a.Right, track.Top, track.Right, track.Bottom};
            TileCell(surface, a, *picture, first, phase_before, 0, false, false, Alpha, mask);
            TileCell(surface, b, *picture, second, phase_after, 0, false, false, Alpha, mask);
        }
    };
    if (IsScrollbar()) {
        if (PressMode == kSliderPagingDown || PressMode == kSliderPagingUp) {
            const int64_t split = int64_t{ThumbPos} + ThumbLength() / 2;
            const bool down = PressMode == kSliderPagingDown;
            split_at(split, down ? pressed : normal, down ? normal : pressed, 0, split);
        } else {
            split_at(length, normal, normal, 0, 0);
        }
        return;
    }
    if (!vertical) {
        split_at(ThumbPos, pressed, normal, 0, ThumbPos);
        return;
    }
    // Vertically the pattern is anchored at the bottom: the part below the thumb (pressed)
    // and the rest above it.
    const int64_t below = std::clamp<int64_t>(ThumbPos, 0, length);
    const TRect upper{track.Left, track.Top, track.Right, Clamp32(int64_t{track.Bottom} - below)};
    const TRect lower{track.Left, upper.Bottom, track.Right, track.Bottom};
    TileCell(surface, lower, *picture, pressed, 0, ch - below % ch, false, false, Alpha, mask);
    TileCell(surface, upper, *picture, normal, 0, ch - length % ch, false, false, Alpha, mask);
}

void TMobuSlider::Draw(TCustomDIBX& surface)
{
    if (Width >= 1 && Height >= 1 && Alpha >= 1) {
        DrawTrack(surface);
        if (TDIBX* thumb = Thumb.Surface(); thumb && ThumbWidth >= 1 && ThumbHeight >= 1) {
            const TRect r = ThumbRect();
            const TRect cell{ThumbCell * ThumbWidth, 0, (ThumbCell + 1) * ThumbWidth, ThumbHeight};
            DrawCell(surface, r.Left, r.Top, *thumb, cell, Alpha, Thumb.Mask());
        }
        if (TDIBX* buttons = Buttons.Surface(); buttons && ButtonWidth >= 1 && ButtonHeight >= 1) {
            for (int which = 0; which < 2; ++which) {
                const TRect r = ButtonRect(which);
                const int32_t index = which * 3 + ButtonCells[static_cast<size_t>(which)];
                const TRect cell{index * ButtonWidth, 0, (index + 1) * ButtonWidth, ButtonHeight};
                DrawCell(surface, r.Left, r.Top, *buttons, cell, Alpha, Buttons.Mask());
            }
        }
    }
    DrawChildren(surface);
}

// ---------------- mouse ----------------

bool TMobuSlider::PartHit(const TRect& rect, TControlPicture& picture, int32_t cell_x, bool use_mask)
{
    TMobuBase* base = owner_ ? owner_->ActiveBase() : nullptr;
    if (!base || !Inside(rect, base->MouseX, base->MouseY)) return false;
    TDIBX* mask = picture.Mask();
    if (!use_mask || !mask) return true;
    return CaptureMaskHit(mask->Store(), picture.Width, picture.Height, cell_x + base->MouseX - rect.Left,
                          base->MouseY - rect.Top, false, false);
}

void TMobuSlider::UpdateHoverCells()
{
    const bool hovers = IgnoreMouse != IM_ALL && !PausedFlag;
    auto set = [this](int32_t& cell, int32_t value) {
        if (cell == value) return;
        cell = value;
        Invalidate();
    };
    if (PressMode != kSliderDragging) {
        const bool on = hovers && PartHit(ThumbRect(), Thumb, ThumbCell * ThumbWidth, true);
        set(ThumbCell, on ? kCellHover : kCellNormal);
    }
    for (int which = 0; which < 2; ++which) {
        if (PressMode == kSliderDecButton + which) continue;
        const int32_t index = which * 3 + ButtonCells[static_cast<size_t>(which)];
        const bool on = hovers && PartHit(ButtonRect(which), Buttons, index * ButtonWidth, CaptureMask);
        set(ButtonCells[static_cast<size_t>(which)], on ? kCellHover : kCellNormal);
    }
}

void TMobuSlider::MouseMove()
{
    if (PressMode == kSliderDragging) {
        UserValue(ValueAtThumbPos(ThumbPosAt(PointerAlong())));
        return;
    }
    UpdateHoverCells();
    TMobuControl::MouseMove();
}

void TMobuSlider::MouseOut(TMobuControl* new_target)
{
    if (PressMode == kSliderIdle) {
        if (ThumbCell != kCellNormal || ButtonCells[0] != kCellNormal || ButtonCells[1] != kCellNormal) Invalidate();
        ThumbCell = kCellNormal;
        ButtonCells = {kCellNormal, kCellNormal};
    }
    TMobuControl::MouseOut(new_target);
}

void TMobuSlider::LButtonDown()
{
    TMobuControl::LButtonDown();
    TMobuBase* base = owner_ ? owner_->ActiveBase() : nullptr;
    if (!base || PausedFlag || PressMode != kSliderIdle || !(IgnoreMouse == IM_NONE || IgnoreMouse == IM_RCLICK) ||
        !HasRange())
        return;
    const int32_t along = PointerAlong();
    const TRect thumb = ThumbRect();
    const int32_t thumb_start = Vertical() ? thumb.Top : thumb.Left;
    auto capture = [base] {
        base->Capture |= kCaptureLeft;
        base->LClick = false;
    };
    if (ThumbWidth >= 1 && ThumbHeight >= 1 && Inside(thumb, base->MouseX, base->MouseY)) {
        PostEvent(PR_ONHOLD, {}, true);
        capture();
        DragOffset = along - thumb_start;
        ThumbCell = kCellPressed;
        PressMode = kSliderDragging;
        Invalidate();
        return;
    }
    for (int which = 0; which < 2; ++which) {
        if (ButtonWidth < 1 || ButtonHeight < 1 || !Inside(ButtonRect(which), base->MouseX, base->MouseY)) continue;
        UserValue(int64_t{Value} + (which == 0 ? -int64_t{SmallChange} : int64_t{SmallChange}));
        capture();
        ButtonCells[static_cast<size_t>(which)] = kCellPressed;
        RepeatLeft = TMobuBaseList::kFirstRepeatMs;
        PressMode = kSliderDecButton + which;
        Invalidate();
        return;
    }
    if (TrackWidth < 1 || TrackHeight < 1 || !Inside(TrackRect(), base->MouseX, base->MouseY)) return;
    if (!IsScrollbar()) {
        PostEvent(PR_ONHOLD, {}, true);
        capture();
        ThumbCell = kCellPressed;
        PressMode = kSliderDragging;
        DragOffset = ThumbLength() / 2;
        Invalidate();
        UserValue(ValueAtThumbPos(ThumbPosAt(along)));
        return;
    }
    capture();
    const bool before = along < thumb_start;
    PressMode = before ? kSliderPagingDown : kSliderPagingUp;
    RepeatLeft = TMobuBaseList::kFirstRepeatMs;
    Invalidate();
    UserValue(int64_t{Value} + (before ? -int64_t{PageStep()} : int64_t{PageStep()}));
    if (ThumbReachedPointer()) {
        PressMode = kSliderIdle;
        Invalidate();
    }
}

bool TMobuSlider::ThumbReachedPointer()
{
    const TRect thumb = ThumbRect();
    const int32_t along = PointerAlong();
    if (PressMode == kSliderPagingDown) return along >= (Vertical() ? thumb.Top : thumb.Left);
    return along < (Vertical() ? thumb.Bottom : thumb.Right);
}

void TMobuSlider::MouseHold()
{
    if (PressMode < kSliderDecButton) return;
    RepeatLeft -= FrameDeltaMs;
    if (RepeatLeft > 0) return;
    RepeatLeft += TMobuBaseList::kRepeatMs;
    if (PressMode == kSliderDecButton || PressMode == kSliderIncButton) {
        const int which = PressMode - kSliderDecButton;
        TMobuBase* base = owner_ ? owner_->ActiveBase() : nullptr;
        const bool on = base && Inside(ButtonRect(which), base->MouseX, base->MouseY);
        int32_t& cell = ButtonCells[static_cast<size_t>(which)];
        if (cell != (on ? kCellPressed : kCellNormal)) {
            cell = on ? kCellPressed : kCellNormal;
            Invalidate();
        }
        if (on) UserValue(int64_t{Value} + (which == 0 ? -int64_t{SmallChange} : int64_t{SmallChange}));
        return;
    }
    if (ThumbReachedPointer()) {
        PressMode = kSliderIdle;
        Invalidate();
        return;
    }
    UserValue(int64_t{Value} + (PressMode == kSliderPagingDown ? -int64_t{PageStep()} : int64_t{PageStep()}));
    if (ThumbReachedPointer()) {
        PressMode = kSliderIdle;
        Invalidate();
    }
}

void TMobuSlider::LButtonUp()
{
    TMobuControl::LButtonUp();
    if (PressMode == kSliderDragging) PostEvent(PR_ONRELEASE, {}, true);
    PressMode = kSliderIdle;
    Invalidate();
    ThumbCell = kCellNormal;
    ButtonCells = {kCellNormal, kCellNormal};
    UpdateHoverCells();
}

void TMobuSlider::KeyStep()
{
    if (!owner_) return;
    const int inc = Vertical() ? (IsScrollbar() ? kKeyDown : kKeyUp) : kKeyRight;
    const int dec = Vertical() ? (IsScrollbar() ? kKeyUp : kKeyDown) : kKeyLeft;
    if (owner_->KeyFireLast(inc)) UserValue(int64_t{Value} + SmallChange);
    else if (owner_->KeyFireLast(dec)) UserValue(int64_t{Value} - SmallChange);
}

bool TMobuSlider::Update() { return TMobuControl::Update(); }

void TMobuSlider::ReleaseSurfaces() {}

void TMobuSlider::RestoreSurfaces() { Invalidate(); }

// ---------------- properties and saved form ----------------

TPropValue TMobuSlider::ReadProperty(int id)
{
    switch (id) {
        case PR_SOURCE: return TPropValue::Text(Track.Source);
        case PR_THUMBSOURCE: return TPropValue::Text(Thumb.Source);
        case PR_BUTTONSOURCE: return TPropValue::Text(Buttons.Source);
        case PR_MIN: return TPropValue::Int(Min);
        case PR_MAX: return TPropValue::Int(Max);
        case PR_VALUE: return TPropValue::Int(ClampedValue());
        case PR_ORIENTATION: return TPropValue::Int(Orientation);
        case PR_SMALLCHANGE: return TPropValue::Int(SmallChange);
        case PR_BARSIZE: return TPropValue::Int(BarSize);
        case PR_ALPHA: return TPropValue::Int(Alpha);
        case PR_PAUSED: return TPropValue::Flag(PausedFlag);
        case PR_CAPTUREMASK: return TPropValue::Flag(CaptureMask);
        default: return TMobuControl::ReadProperty(id);
    }
}

void TMobuSlider::WriteProperty(int id, const TPropValue& value)
{
    switch (id) {
        case PR_SOURCE: Track.Set(this, value.text); Layout(); return;
        case PR_THUMBSOURCE: Thumb.Set(this, value.text); Layout(); return;
        case PR_BUTTONSOURCE: Buttons.Set(this, value.text); Layout(); return;
        case PR_MIN: Min = value.integer; PlaceThumb(); Invalidate(); return;
        case PR_MAX: Max = value.integer; PlaceThumb(); Invalidate(); return;
        case PR_VALUE: SetValue(value.integer); return;
        case PR_ORIENTATION: Orientation = value.integer != 0 ? OT_VERTICAL : OT_HORIZONTAL; Layout(); return;
        case PR_SMALLCHANGE: SmallChange = value.integer; return;
        // A negative length is no length.
        case PR_BARSIZE: BarSize = std::max(value.integer, 0); Layout(); return;
        case PR_ALPHA: Alpha = value.integer; Invalidate(); return;
        case PR_PAUSED: PausedFlag = value.integer != 0; Invalidate(); return;
        case PR_CAPTUREMASK: CaptureMask = value.integer != 0; return;
        default: TMobuControl::WriteProperty(id, value); return;
    }
}

void TMobuSlider::SaveTypePart(ByteWriter& out)
{
    out.String(Track.Source);
    out.String(Thumb.Source);
    out.String(Buttons.Source);
    out.I32(Min);
    out.I32(Max);
    out.I32(Value);
    out.I32(SmallChange);
    out.I32(Alpha);
    out.Flag(PausedFlag);
    out.U8(Orientation);
    out.String(EventString(PR_ONNOTIFY));
    out.String(EventString(PR_ONHOLD));
    out.String(EventString(PR_ONRELEASE));
    out.String(EventString(PR_ONIDLE));
    out.Flag(CaptureMask);
    out.I32(BarSize);
}

void TMobuSlider::LoadTypePart(ByteReader& in, int version)
{
    const int32_t width = Width, height = Height;
    Track.Set(this, in.String());
    Thumb.Set(this, in.String());
    Buttons.Set(this, in.String());
    Min = in.I32();
    Max = in.I32();
    Value = in.I32();
    SmallChange = in.I32();
    Alpha = in.I32();
    PausedFlag = in.Flag();
    Orientation = in.U8() != 0 ? OT_VERTICAL : OT_HORIZONTAL;
    values_[PR_ONNOTIFY] = TPropValue::Text(in.String());
    values_[PR_ONHOLD] = TPropValue::Text(in.String());
    values_[PR_ONRELEASE] = TPropValue::Text(in.String());
    values_[PR_ONIDLE] = TPropValue::Text(in.String());
    if (version > 118) CaptureMask = in.Flag();
    if (version > 127) BarSize = std::max(in.I32(), 0);
    PressMode = kSliderIdle;
    Layout();
    if (!Track.Surface()) Width = width, Height = height;
}

TMobuScrollbar::TMobuScrollbar(TMobuBaseList* owner) : TMobuSlider(owner, LT_SCROLLBAR)
{
    LargeChange = DefaultValue(PR_LARGECHANGE).integer;
}

TPropValue TMobuScrollbar::ReadProperty(int id)
{
    if (id == PR_LARGECHANGE) return TPropValue::Int(LargeChange);
    return TMobuSlider::ReadProperty(id);
}

void TMobuScrollbar::WriteProperty(int id, const TPropValue& value)
{
    if (id == PR_LARGECHANGE) {
        LargeChange = value.integer;
        return;
    }
    TMobuSlider::WriteProperty(id, value);
}

void TMobuScrollbar::SaveTypePart(ByteWriter& out)
{
    TMobuSlider::SaveTypePart(out);
    out.I32(LargeChange);
}

void TMobuScrollbar::LoadTypePart(ByteReader& in, int version)
{
    TMobuSlider::LoadTypePart(in, version);
    LargeChange = in.I32();
}

}  // namespace mobu
