#include "components/mobu_map_image.h"

#include <algorithm>

#include "components/map_file.h"
#include "components/mobu_base.h"
#include "components/mobu_base_list.h"
#include "expr/param_collection.h"
#include "expr/param_man.h"

namespace mobu {

namespace {

constexpr int kKeyReturn = 13, kKeyEscape = 27, kKeySpace = 32;
constexpr int kKeyLeft = 37, kKeyUp = 38, kKeyRight = 39, kKeyDown = 40;

void SetSelection(const std::string& text, int32_t index)
{
    if (!ParamMan) return;
    ParamMan->SelStr = text;
    ParamMan->SelIndex = index;
}

}  // namespace

TMobuMapImage::TMobuMapImage(TMobuBaseList* owner) : TMobuControl(owner, LT_MAPIMG)
{
    if (owner_) owner_->RClickList.push_back(this);
}

TMobuMapImage::~TMobuMapImage()
{
    if (owner_) std::erase(owner_->RClickList, static_cast<TMobuObject*>(this));
}

void TMobuMapImage::SetSource(const std::string& path)
{
    Invalidate();
    source_ = path;
    normal_masks_.Clear();
    Normal.Clear();
    if (!path.empty()) {
        Normal.Fill(this, path, false, true);
        normal_masks_.Assign(*Normal.Item());
        Normal.FrameLeft = Normal.Data(0).Frame->Delay;
        TDIBX& first = *Normal.Data(0).Frame->Surface;
        SetBounds(Left, Top, first.Width(), first.Height());
    }
    Invalidate();
}

void TMobuMapImage::SetHoverSource(const std::string& path)
{
    InvalidateRegion(hover_index_);
    hover_source_ = path;
    hover_masks_.Clear();
    Hover.Clear();
    if (!path.empty()) {
        Hover.Fill(this, path, false, true);
        hover_masks_.Assign(*Hover.Item());
        Hover.FrameLeft = Hover.Data(0).Frame->Delay;
    }
    InvalidateRegion(hover_index_);
}

void TMobuMapImage::SetMapSource(const std::string& path)
{
    Invalidate();
    map_source_ = path;
    regions_ = path.empty() ? std::vector<TMapRegion>{} : LoadMapFile(path);
    hover_index_ = -1;
    // Masks prepared for the old regions are stale.
    if (Normal.Item()) normal_masks_.Assign(*Normal.Item());
    if (Hover.Item()) hover_masks_.Assign(*Hover.Item());
    Invalidate();
}

void TMobuMapImage::InvalidateRegion(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= regions_.size()) return;
    TMobuBase* base = GetBase();
    if (!base || !GetVisible()) return;
    TRect box = regions_[static_cast<size_t>(index)].Bounds();
    const int64_t dx = GetAbsLeft(), dy = GetAbsTop();
    auto shift = [](int64_t v, int64_t d) {
        return static_cast<int32_t>(std::clamp<int64_t>(v + d, INT32_MIN, INT32_MAX));
    };
    TRect on_base{shift(box.Left, dx), shift(box.Top, dy), shift(box.Right, dx), shift(box.Bottom, dy)};
    on_base = IntersectRects(on_base, GetBoundsRect());
    if (!on_base.IsEmpty()) base->AddDirtyRect(on_base);
}

void TMobuMapImage::PostRegionEvent(int code, int index)
{
    if (index < 0 || static_cast<size_t>(index) >= regions_.size()) return;
    PostEvent(code, {regions_[static_cast<size_t>(index)].Name, std::to_string(index)});
}

void TMobuMapImage::SetHover(int index)
{
    if (index < -1 || index >= static_cast<int>(regions_.size())) index = -1;
    if (index == hover_index_) return;
    const int old = hover_index_;
    PostRegionEvent(PR_ONMAPOUT, old);
    InvalidateRegion(old);
    hover_index_ = index;
    InvalidateRegion(index);
    if (Hover.Count() > 0) {
        Hover.Index = 0;
        Hover.FrameLeft = Hover.Data(0).Frame->Delay;
    }
    PostRegionEvent(PR_ONMAPIN, index);
}

void TMobuMapImage::Select()
{
    if (hover_index_ < 0 || static_cast<size_t>(hover_index_) >= regions_.size()) return;
    const std::string& name = regions_[static_cast<size_t>(hover_index_)].Name;
    SetSelection(name, hover_index_);
    PostEvent(PR_ONSELECT, {name, std::to_string(hover_index_)});
    if (auto_scrap_ && close_state_ == 0) close_state_ = kClosing;
}

void TMobuMapImage::Cancel()
{
    SetSelection("", -1);
    if (close_state_ == 0) close_state_ = kClosing;
}

bool TMobuMapImage::Animate(TMobuImageList& list, int32_t elapsed)
{
    if (list.Count() == 0) return false;
    TFrameClock clock{list.Index, list.FrameLeft};
    AdvanceFrames(clock, list.Delays(), elapsed, true, 0);
    const bool changed = clock.Index != list.Index;
    list.Index = clock.Index;
    list.FrameLeft = clock.FrameLeft;
    return changed;
}

bool TMobuMapImage::Update()
{
    if (close_state_ == kClosed) return true;
    if (TMobuControl::Update()) return true;  // an attached film ended with auto-scrap
    if (close_state_ == kClosing) {
        selecting_ = true;
        close_state_ = kClosed;
    }
    if (!paused_ && !AniPaused && GetVisible()) {
        const int32_t elapsed = ImageFrameElapsedMs();
        if (Animate(Normal, elapsed)) Invalidate();
        if (Animate(Hover, elapsed)) InvalidateRegion(hover_index_);
    }
    return false;
}

void TMobuMapImage::DrawPicture(TCustomDIBX& target, TMobuImageList& list, TMapImageMasks& masks, bool outside)
{
    if (!list.Valid(list.Index) || list.Index >= masks.Count()) return;
    TDIBX& source = list.Surface(list.Index, brightness_);
    TDIBX& mask = masks.Prepared(list.Index, regions_, hover_index_, outside);
    if (source.IsEmpty() || mask.Width() != source.Width() || mask.Height() != source.Height()) return;
    const int x = GetAbsLeft(), y = GetAbsTop();
    const TRect whole = source.SurfaceRect();
    if (alpha_ < 255) target.DrawAlphaMask(x, y, source, whole, false, false, mask, alpha_);
    else if (alpha_ == 255) target.DrawMask(x, y, source, whole, false, false, mask);
    else target.DrawAddMask(x, y, source, whole, false, false, mask, std::min(alpha_ - 256, 255));
}

void TMobuMapImage::Draw(TCustomDIBX& target)
{
    if (alpha_ >= 1 && Width >= 1 && Height >= 1) {
        DrawPicture(target, Normal, normal_masks_, true);
        if (hover_index_ >= 0) DrawPicture(target, Hover, hover_masks_, false);
    }
    DrawChildren(target);
}

void TMobuMapImage::MouseMove()
{
    TMobuControl::MouseMove();
    if (selecting_) return;
    TMobuBase* base = GetBase();
    if (!base) return;
    SetHover(RegionIndexAt(regions_, base->MouseX - GetAbsLeft(), base->MouseY - GetAbsTop()));
}

void TMobuMapImage::MouseOut(TMobuControl* new_target)
{
    TMobuControl::MouseOut(new_target);
    if (!selecting_) SetHover(-1);
}

void TMobuMapImage::LButtonDown()
{
    TMobuControl::LButtonDown();
    if (selecting_ || paused_ || !(IgnoreMouse == IM_NONE || IgnoreMouse == IM_RCLICK)) return;
    if (hover_index_ >= 0) Select();
}

bool TMobuMapImage::RightClickScrap()
{
    if (!rclick_scrap_ || selecting_) return false;
    Cancel();
    return true;
}

void TMobuMapImage::KeyStep()
{
    if (!owner_ || selecting_ || regions_.empty()) return;
    const int count = static_cast<int>(regions_.size());
    if (owner_->KeyFireLast(kKeyLeft) || owner_->KeyFireLast(kKeyUp)) {
        SetHover(hover_index_ <= 0 ? count - 1 : hover_index_ - 1);
    } else if (owner_->KeyFireLast(kKeyRight) || owner_->KeyFireLast(kKeyDown)) {
        SetHover(hover_index_ < 0 || hover_index_ >= count - 1 ? 0 : hover_index_ + 1);
    }
    if (owner_->KeyClickedLast(kKeyReturn) || owner_->KeyClickedLast(kKeySpace)) Select();
    else if (owner_->KeyClickedLast(kKeyEscape) && rclick_scrap_) Cancel();
}

void TMobuMapImage::ReleaseSurfaces()
{
    Normal.DropCopies();
    Hover.DropCopies();
}

void TMobuMapImage::RestoreSurfaces() { Invalidate(); }

TPropValue TMobuMapImage::ReadProperty(int id)
{
    switch (id) {
        case PR_SOURCE: return TPropValue::Text(source_);
        case PR_HOVERSOURCE: return TPropValue::Text(hover_source_);
        case PR_MAPSOURCE: return TPropValue::Text(map_source_);
        case PR_ALPHA: return TPropValue::Int(alpha_);
        case PR_BRIGHTNESS: return TPropValue::Int(brightness_);
        case PR_AUTOSCRAP: return TPropValue::Flag(auto_scrap_);
        case PR_RCLICKSCRAP: return TPropValue::Flag(rclick_scrap_);
        case PR_PAUSED: return TPropValue::Flag(paused_);
        case PR_REPEAT: return TPropValue::Flag(true);  // both pictures always loop
        default: return TMobuControl::ReadProperty(id);
    }
}

void TMobuMapImage::WriteProperty(int id, const TPropValue& value)
{
    switch (id) {
        case PR_SOURCE: SetSource(value.text); return;
        case PR_HOVERSOURCE: SetHoverSource(value.text); return;
        case PR_MAPSOURCE: SetMapSource(value.text); return;
        case PR_ALPHA:
            if (value.integer == alpha_) return;
            alpha_ = value.integer;
            Invalidate();
            return;
        case PR_BRIGHTNESS:
            if (value.integer == brightness_) return;
            brightness_ = value.integer;
            Invalidate();
            return;
        case PR_AUTOSCRAP: auto_scrap_ = value.integer != 0; return;
        case PR_RCLICKSCRAP: rclick_scrap_ = value.integer != 0; return;
        case PR_PAUSED: paused_ = value.integer != 0; return;
        case PR_REPEAT: return;
        default: TMobuControl::WriteProperty(id, value); return;
    }
}

void TMobuMapImage::SaveTypePart(ByteWriter& out)
{
    out.String(source_);
    out.String(hover_source_);
    out.String(map_source_);
    out.I32(alpha_);
    out.I32(brightness_);
    out.String(EventString(PR_ONMAPIN));
    out.String(EventString(PR_ONMAPOUT));
    out.Flag(auto_scrap_);
    out.Flag(rclick_scrap_);
    out.String(EventString(PR_ONIDLE));
    out.Flag(paused_);
    out.String(EventString(PR_ONSELECT));
    out.I32(close_state_);
}

void TMobuMapImage::LoadTypePart(ByteReader& in, int version)
{
    const std::string source = in.String();
    const std::string hover = in.String();
    const std::string map = in.String();
    // The saved size stands; the source setter would take the picture's.
    const int32_t width = Width, height = Height;
    SetSource(source);
    SetHoverSource(hover);
    SetMapSource(map);
    Width = width, Height = height;
    alpha_ = in.I32();
    brightness_ = in.I32();
    values_[PR_ONMAPIN] = TPropValue::Text(in.String());
    values_[PR_ONMAPOUT] = TPropValue::Text(in.String());
    auto_scrap_ = in.Flag();
    rclick_scrap_ = in.Flag();
    if (version > 103) {
        values_[PR_ONIDLE] = TPropValue::Text(in.String());
        paused_ = in.Flag();
        values_[PR_ONSELECT] = TPropValue::Text(in.String());
    }
    if (version > 114) close_state_ = in.I32();
}

}  // namespace mobu
