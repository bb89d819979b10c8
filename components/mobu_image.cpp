#include "components/mobu_image.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <numbers>

#include "core/globals.h"
#include "components/mobu_base_list.h"
#include "components/mobu_blur.h"
#include "expr/custom_param.h"

namespace mobu {

int32_t ImageFrameElapsedMs() { return FrameDeltaMs; }

bool HasExtension(const std::string& path, const char* extension)
{
    const std::string_view ext(extension);
    if (path.size() < ext.size()) return false;
    for (size_t i = 0; i < ext.size(); ++i) {
        unsigned char a = static_cast<unsigned char>(path[path.size() - ext.size() + i]);
        unsigned char b = static_cast<unsigned char>(ext[i]);
        if (std::tolower(a) != std::tolower(b)) return false;
    }
    return true;
}

void ApplyBrightness(TDIBX& copy, int32_t brightness)
{
    if (brightness == 0 || copy.IsEmpty()) return;
    const int32_t level = std::min(std::abs(brightness), 255);
    const auto grey = static_cast<uint32_t>(copy.ColorToPixel(level | level << 8 | level << 16));
    auto apply = [&](TCustomDIBX& target) {
        if (brightness > 0) target.FillRectAdd(target.SurfaceRect(), grey);
        else target.FillRectSub(target.SurfaceRect(), grey);
    };
    const int32_t key = copy.TransparentColor;
    apply(copy);
    if (key >= 0) {
        TDIBX one;
        one.SetSize(1, 1, copy.BitCount());
        one.Clear(static_cast<uint32_t>(key));
        apply(one);
        copy.TransparentColor = static_cast<int32_t>(one.GetPixel(0, 0));
    }
}

// ---------------- TMobuImageList ----------------

void TMobuImageList::Fill(const void* holder, const std::string& path, bool trim, bool mask)
{
    Clear();
    holder_ = holder;
    item_ = FeskCollection().Acquire(holder, path, trim, mask);
    frames_.resize(static_cast<size_t>(item_->FrameCount()));
    for (int i = 0; i < item_->FrameCount(); ++i) frames_[static_cast<size_t>(i)].Frame = &item_->Frame(i);
}

void TMobuImageList::Clear()
{
    frames_.clear();
    if (item_) FeskCollection().Release(item_, holder_);
    item_ = nullptr;
    holder_ = nullptr;
    Index = 0;
    FrameLeft = 0;
}

std::vector<int32_t> TMobuImageList::Delays() const
{
    std::vector<int32_t> delays;
    delays.reserve(frames_.size());
    for (const TMobuImageData& data : frames_) delays.push_back(data.Frame->Delay);
    return delays;
}

TDIBX& TMobuImageList::Surface(int index, int32_t brightness)
{
    TMobuImageData& data = Data(index);
    TDIBX& frame = *data.Frame->Surface;
    if (brightness == 0) return frame;
    if (!data.OwnSurface || data.Brightness != brightness) {
        if (!data.OwnSurface) data.OwnSurface = std::make_unique<TDIBX>();
        data.OwnSurface->SetSize(frame.Width(), frame.Height(), frame.BitCount());
        data.OwnSurface->Assign(frame);
        data.OwnSurface->TransparentColor = frame.TransparentColor;
        ApplyBrightness(*data.OwnSurface, brightness);
        data.Brightness = brightness;
    }
    return *data.OwnSurface;
}

void TMobuImageList::DropCopies()
{
    for (TMobuImageData& data : frames_) data.OwnSurface.reset();
}

// ---------------- TMobuCustomImage ----------------

TMobuCustomImage::TMobuCustomImage(TMobuBaseList* owner, int type_code) : TMobuControl(owner, type_code)
{
    OwnSurface.SetSize(0, 0, 32);
}

TMobuCustomImage::~TMobuCustomImage() = default;

namespace {

// The placement point of one axis without the anchor (the motion position with a motion).
int32_t OriginAxis(TMobuControl& c, int32_t position, int32_t motion, int32_t zoom, int32_t plus, bool x_axis)
{
    int64_t p = c.HasMotion() ? motion : (c.PosZoomed ? int64_t{zoom} * position / 256 : position);
    if (TMobuControl* parent = c.Parent()) {
        p += x_axis ? parent->GetAbsLeft() : parent->GetAbsTop();
        p -= parent->GetProp(x_axis ? PR_SCROLLX : PR_SCROLLY).AsInt();
    }
    return static_cast<int32_t>(static_cast<uint32_t>(p + plus));
}

int32_t ClampTo32(double v)
{
    return static_cast<int32_t>(std::clamp(v, static_cast<double>(std::numeric_limits<int32_t>::min()),
                                           static_cast<double>(std::numeric_limits<int32_t>::max())));
}

// An extent in the parent's picture pixels mapped onto the parent's drawn size: divided by
// d = round(parent surface / parent size · 65536) in 16.16 fixed point, halves rounded up.
// Without a usable parent scale the plain size stands.
int32_t ThroughParentScale(int32_t extent, int32_t parent_surface, int32_t parent_size, int32_t plain)
{
    if (parent_surface < 1 || parent_size < 1) return plain;
    const double ratio = static_cast<double>(parent_surface) / parent_size * 65536.0;
    const int64_t d = std::max<int64_t>(1, std::llround(std::min(ratio, 9.0e15)));
    const int64_t numerator = int64_t{extent} * 65536;
    return static_cast<int32_t>(std::clamp<int64_t>((2 * numerator + d) / (2 * d), 0, INT32_MAX));
}

// Turns of 1/256 to radians.
double Radians(int32_t angle) { return angle * 2.0 * std::numbers::pi / 256.0; }

}  // namespace

int32_t TMobuCustomImage::OriginX() { return OriginAxis(*this, Left, MotionX, ZoomXValue, PlusX, true); }
int32_t TMobuCustomImage::OriginY() { return OriginAxis(*this, Top, MotionY, ZoomYValue, PlusY, false); }

TRect TMobuCustomImage::GetBoundsRect()
{
    TRect plain = TMobuControl::GetBoundsRect();
    if (Angle % 256 == 0) return plain;
    const double ox = OriginX(), oy = OriginY();
    const double c = std::cos(Radians(Angle)), s = std::sin(Radians(Angle));
    double min_x = 0, min_y = 0, max_x = 0, max_y = 0;
    bool first = true;
    for (double x : {static_cast<double>(plain.Left), static_cast<double>(plain.Right)}) {
        for (double y : {static_cast<double>(plain.Top), static_cast<double>(plain.Bottom)}) {
            const double dx = x - ox, dy = y - oy;
            const double rx = ox + c * dx - s * dy, ry = oy + s * dx + c * dy;
            if (first) min_x = max_x = rx, min_y = max_y = ry, first = false;
            min_x = std::min(min_x, rx), max_x = std::max(max_x, rx);
            min_y = std::min(min_y, ry), max_y = std::max(max_y, ry);
        }
    }
    // Sines of whole quarter turns are not exactly 0 in floating point.
    constexpr double kSlack = 1e-9;
    return TRect{ClampTo32(std::floor(min_x + kSlack)), ClampTo32(std::floor(min_y + kSlack)),
                 ClampTo32(std::ceil(max_x - kSlack)), ClampTo32(std::ceil(max_y - kSlack))};
}

void TMobuCustomImage::Draw(TCustomDIBX& target)
{
    TDIBX* picture = PictureSurface();
    if (picture && !picture->IsEmpty() && Alpha >= 1 && Width >= 1 && Height >= 1) {
        TDIBX& source = *picture;
        TDIBX* mask = PictureMask();
        const TRect whole = source.SurfaceRect();
        const bool keyed = source.TransparentColor >= 0;
        const int amount = std::min(Alpha - 256, 255);
        if (Angle % 256 != 0) {
            const int pivot_x = FlipH ? source.Width() - 1 - OffsetX : OffsetX;
            const int pivot_y = FlipV ? source.Height() - 1 - OffsetY : OffsetY;
            // An explicit size stands for the zoom it amounts to.
            const int zoom_x = ZoomXValue > 0 ? ZoomXValue : static_cast<int>(int64_t{Width} * 256 / source.Width());
            const int zoom_y = ZoomYValue > 0 ? ZoomYValue : static_cast<int>(int64_t{Height} * 256 / source.Height());
            if (mask)
                target.DrawRotateMask(OriginX(), OriginY(), zoom_x, zoom_y, source, whole, pivot_x, pivot_y, Angle,
                                      FlipH, FlipV, *mask, Alpha);
            else
                target.DrawRotate(OriginX(), OriginY(), zoom_x, zoom_y, source, whole, pivot_x, pivot_y, Angle,
                                  keyed, FlipH, FlipV, Alpha);
        } else if (Width == source.Width() && Height == source.Height()) {
            const int x = GetAbsLeft(), y = GetAbsTop();
            if (mask) {
                if (Alpha < 255) target.DrawAlphaMask(x, y, source, whole, FlipH, FlipV, *mask, Alpha);
                else if (Alpha == 255) target.DrawMask(x, y, source, whole, FlipH, FlipV, *mask);
                else target.DrawAddMask(x, y, source, whole, FlipH, FlipV, *mask, amount);
            } else {
                if (Alpha < 255) target.DrawAlpha(x, y, source, whole, keyed, FlipH, FlipV, Alpha);
                else if (Alpha == 255) target.Draw(x, y, source, whole, keyed, FlipH, FlipV);
                else target.DrawAdd(x, y, source, whole, keyed, FlipH, FlipV, amount);
            }
        } else {
            const TRect dest = TMobuControl::GetBoundsRect();
            if (mask) {
                if (Alpha <= 255) target.StretchDrawAlphaMask(dest, source, whole, *mask, FlipH, FlipV, Alpha);
                else target.StretchDrawAddMask(dest, source, whole, *mask, FlipH, FlipV, amount);
            } else {
                if (Alpha <= 255) target.StretchDrawAlpha(dest, source, whole, keyed, FlipH, FlipV, Alpha);
                else target.StretchDrawAdd(dest, source, whole, keyed, FlipH, FlipV, amount);
            }
        }
    }
    DrawChildren(target);
}

bool TMobuCustomImage::PictureHit(int32_t x, int32_t y)
{
    double px = x, py = y;
    if (Rotates() && Angle % 256 != 0) {
        // The pixel's centre, back into the unrotated picture around the placement point.
        const double ox = OriginX(), oy = OriginY();
        const double c = std::cos(-Radians(Angle)), s = std::sin(-Radians(Angle));
        const double dx = x + 0.5 - ox, dy = y + 0.5 - oy;
        px = ox + c * dx - s * dy;
        py = oy + s * dx + c * dy;
    }
    const TRect r = TMobuControl::GetBoundsRect();
    const double fx = std::floor(px), fy = std::floor(py);
    if (fx < r.Left || fy < r.Top || fx >= r.Right || fy >= r.Bottom) return false;
    TDIBX* mask = PictureMask();
    if (!CaptureMask || !mask) return true;
    return CaptureMaskHit(mask->Store(), Width, Height, static_cast<int32_t>(fx - r.Left),
                          static_cast<int32_t>(fy - r.Top), FlipH, FlipV);
}

TMobuControl* TMobuCustomImage::HitTest(int32_t x, int32_t y, uint32_t mask)
{
    if (!GetVisible()) return nullptr;
    const TRect r = GetBoundsRect();
    if (x < r.Left || y < r.Top || x >= r.Right || y >= r.Bottom) return nullptr;
    const bool lets_through = ((mask >> IgnoreMouse) & 1u) && IgnoreMouse <= IM_RCLICK;
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        if ((*it)->Name().empty()) continue;
        if (TMobuControl* hit = (*it)->HitTest(x, y, mask)) return hit;
    }
    return lets_through && PictureHit(x, y) ? this : nullptr;
}

void TMobuCustomImage::RecomputeSize()
{
    int32_t width = Width, height = Height;
    if (!HasPicture()) {
        width = height = 0;
    } else {
        TDIBX* picture = PictureSurface();
        if (ZoomXValue > 0 && !KeepsGivenWidth())
            width = static_cast<int32_t>(int64_t{picture->Width()} * ZoomXValue / 256);
        if (ZoomYValue > 0 && !KeepsGivenHeight())
            height = static_cast<int32_t>(int64_t{picture->Height()} * ZoomYValue / 256);
        // Placed by the zoom inside a picture of the same zoom: the extent goes through the
        // parent's scale the way its position does.
        auto* parent = dynamic_cast<TMobuCustomImage*>(parent_);
        if (PosZoomed && parent && !HasMotion()) {
            if (ZoomXValue > 0 && ZoomXValue == parent->ZoomXValue)
                width = ThroughParentScale(picture->Width(), parent->OwnSurfaceWidth(), parent->Width, width);
            if (ZoomYValue > 0 && ZoomYValue == parent->ZoomYValue)
                height = ThroughParentScale(picture->Height(), parent->OwnSurfaceHeight(), parent->Height, height);
        }
    }
    if (width != Width || height != Height) SetBounds(Left, Top, width, height);
}

void TMobuCustomImage::MarkSizeDirty()
{
    SizeDirty = true;
    for (TMobuControl* child : children_)
        if (child->PosZoomed)
            if (auto* image = dynamic_cast<TMobuCustomImage*>(child)) image->MarkSizeDirty();
}

bool TMobuCustomImage::Update()
{
    if (TMobuControl::Update()) return true;  // an attached film ended with auto-scrap
    if (SizeDirty) {
        SizeDirty = false;
        RecomputeSize();
    }
    BlurStep(ImageFrameElapsedMs());
    return false;
}

TMobuCustomImage::TImageSnapshot TMobuCustomImage::CurrentSnapshot()
{
    TImageSnapshot s;
    s.Index = GetProp(PR_INDEX).AsInt();
    s.Left = Left, s.Top = Top, s.Angle = Angle, s.ZoomX = ZoomXValue, s.ZoomY = ZoomYValue;
    s.ScrollX = GetProp(PR_SCROLLX).AsInt(), s.ScrollY = GetProp(PR_SCROLLY).AsInt();
    return s;
}

void TMobuCustomImage::TakeBlurSnapshot() { snapshot_ = CurrentSnapshot(); }

bool TMobuCustomImage::BlurSnapshotChanged() { return !(CurrentSnapshot() == snapshot_); }

void TMobuCustomImage::BlurStep(int32_t elapsed)
{
    if (BlurSpan <= 0 || BlurDelay <= 0 || !owner_ || Name().empty()) return;
    blur_timer_ += elapsed;
    if (blur_timer_ < BlurSpan) return;
    blur_timer_ = 0;
    if (!BlurSnapshotChanged()) return;
    TakeBlurSnapshot();
    CreateAfterimage(*this);
}

TPropValue TMobuCustomImage::ReadProperty(int id)
{
    switch (id) {
        case PR_ALPHA: return TPropValue::Int(Alpha);
        case PR_ZOOMX: return TPropValue::Int(ZoomXValue);
        case PR_ZOOMY: return TPropValue::Int(ZoomYValue);
        case PR_ANGLE: return TPropValue::Int(Angle);
        case PR_FLIPH: return TPropValue::Flag(FlipH);
        case PR_FLIPV: return TPropValue::Flag(FlipV);
        case PR_CAPTUREMASK: return TPropValue::Flag(CaptureMask);
        case PR_ORIGWIDTH: return TPropValue::Int(PictureSurface()->Width());
        case PR_ORIGHEIGHT: return TPropValue::Int(PictureSurface()->Height());
        case PR_BLURSPAN: return TPropValue::Int(BlurSpan);
        case PR_BLURDELAY: return TPropValue::Int(BlurDelay);
        default: return TMobuControl::ReadProperty(id);
    }
}

void TMobuCustomImage::WriteProperty(int id, const TPropValue& value)
{
    auto invalidating = [this](auto& field, auto v) {
        if (field == v) return false;
        Invalidate();
        field = v;
        Invalidate();
        return true;
    };
    switch (id) {
        case PR_ALPHA: invalidating(Alpha, value.integer); return;
        case PR_ZOOMX:
        case PR_ZOOMY: {
            int32_t& zoom = id == PR_ZOOMX ? ZoomXValue : ZoomYValue;
            invalidating(zoom, std::max(value.integer, 1));
            MarkSizeDirty();
            return;
        }
        case PR_POSZOOMED:
            TMobuControl::WriteProperty(id, value);
            MarkSizeDirty();
            return;
        case PR_WIDTH:
            if (!HasMotion()) ZoomXValue = 0;
            SetWidth(value.integer);
            return;
        case PR_HEIGHT:
            if (!HasMotion()) ZoomYValue = 0;
            SetHeight(value.integer);
            return;
        case PR_ANGLE: invalidating(Angle, value.integer); return;
        case PR_FLIPH:
        case PR_FLIPV:
            if (invalidating(id == PR_FLIPH ? FlipH : FlipV, value.integer != 0)) MarkSizeDirty();
            return;
        case PR_CAPTUREMASK: CaptureMask = value.integer != 0; return;
        case PR_BLURSPAN:
            BlurSpan = value.integer;
            blur_timer_ = 0;
            TakeBlurSnapshot();
            return;
        case PR_BLURDELAY: BlurDelay = value.integer; return;
        default: TMobuControl::WriteProperty(id, value); return;
    }
}

void TMobuCustomImage::SaveTypePart(ByteWriter& out)
{
    out.I32(Alpha);
    out.I32(ZoomXValue);
    out.I32(Angle);
    out.Flag(FlipH);
    out.Flag(FlipV);
    out.Flag(CaptureMask);
    out.I32(ZoomYValue);
    out.I32(BlurSpan);
    out.I32(BlurDelay);
}

void TMobuCustomImage::LoadTypePart(ByteReader& in, int version)
{
    Alpha = in.I32();
    ZoomXValue = in.I32();
    Angle = in.I32();
    FlipH = in.Flag();
    FlipV = in.Flag();
    CaptureMask = in.Flag();
    ZoomYValue = version > 103 ? in.I32() : ZoomXValue;
    if (version >= 140) {
        BlurSpan = in.I32();
        BlurDelay = in.I32();
    }
    TakeBlurSnapshot();
}

// ---------------- TMobuCustomImages ----------------

namespace {

int32_t RunDelayExpression(TMobuParser& expression)
{
    if (expression.Empty()) return 0;
    expression.Execute();
    const TCustomParam* result = expression.Result();
    return result ? result->GetInteger() : 0;
}

TMobuCustomImages::TDelayEvaluator& DelayEvaluator()
{
    static TMobuCustomImages::TDelayEvaluator evaluator = RunDelayExpression;
    return evaluator;
}

}  // namespace

void TMobuCustomImages::SetDelayEvaluator(TDelayEvaluator evaluator)
{
    DelayEvaluator() = evaluator ? std::move(evaluator) : RunDelayExpression;
}

int32_t TMobuCustomImages::LastFrameWaitValue() { return DelayEvaluator()(LastFrameWait); }

bool TMobuCustomImages::HasPicture() { return ImageSurface != nullptr; }

void TMobuCustomImages::LendFrame()
{
    TMobuImageList* list = ActiveList();
    if (!list || !list->Valid(clock_.Index)) return;
    TDIBX& surface = list->Surface(clock_.Index, Brightness);
    ImageSurface = &surface;
    TFeskItemFrame* frame = list->Data(clock_.Index).Frame;
    ImageMask = frame->Mask.get();
    ImageKey = surface.TransparentColor;
}

void TMobuCustomImages::SetIndex(int32_t index)
{
    Invalidate();
    clock_.Index = index;
    TMobuImageList* list = ActiveList();
    if (!list || !list->Valid(index)) return;
    LendFrame();
    clock_.FrameLeft += list->Data(index).Frame->Delay;
    if (list->Count() > 1 && index == list->Count() - 1) clock_.FrameLeft += LastFrameWaitValue();
    if (ZoomXValue > 0 || ZoomYValue > 0) RecomputeSize();
    Invalidate();
}

void TMobuCustomImages::ResetPicture()
{
    Invalidate();
    clock_ = TFrameClock{};
    ImageSurface = nullptr;
    ImageMask = nullptr;
    ImageKey = -1;
    if (TMobuImageList* list = ActiveList()) list->Clear();
}

void TMobuCustomImages::ReleaseSurfaces()
{
    ImageSurface = nullptr;
    ImageMask = nullptr;
    if (TMobuImageList* list = ActiveList()) list->DropCopies();
}

void TMobuCustomImages::RestoreSurfaces()
{
    LendFrame();
    Invalidate();
}

bool TMobuCustomImages::Playing()
{
    if (PausedFlag || AniPaused) return false;
    TMobuImageList* list = ActiveList();
    if (!Repeats() && list && list->Count() > 0 && clock_.Index == list->Count() - 1) return false;
    return true;
}

bool TMobuCustomImages::Update()
{
    if (TMobuCustomImage::Update()) return true;
    TMobuImageList* list = ActiveList();
    if (HasMotion() || !list || !list->Valid(clock_.Index) || !GetVisible() || PausedFlag || AniPaused) return false;
    const int32_t before = clock_.Index;
    const std::vector<int32_t> delays = list->Delays();
    // The last-frame wait counts only from the moment the last frame is entered, so a walk
    // without it tells whether this update enters that frame; only then is the expression
    // evaluated.
    int64_t wait = 0;
    const int32_t last = static_cast<int32_t>(delays.size()) - 1;
    if (last > 0) {
        TFrameClock probe = clock_;
        AdvanceFrames(probe, delays, ImageFrameElapsedMs(), Repeats(), 0);
        const bool enters_last = before != last && (probe.Index == last || probe.Index < before);
        if (enters_last) wait = LastFrameWaitValue();
    }
    TFrameAdvanceResult result = AdvanceFrames(clock_, delays, ImageFrameElapsedMs(), Repeats(), wait);
    if (clock_.Index != before) {
        Invalidate();
        LendFrame();
        if (ZoomXValue > 0 || ZoomYValue > 0) RecomputeSize();
        Invalidate();
    }
    if (result == TFrameAdvanceResult::Finished) {
        if (AutoScraps()) return true;
        PostEvent(PR_ONPLAYEND);
    }
    return false;
}

TPropValue TMobuCustomImages::ReadProperty(int id)
{
    switch (id) {
        case PR_INDEX: return TPropValue::Int(Motion ? Motion->CurrentFrame : clock_.Index);
        // With a film, the film's length.
        case PR_COUNT:
            if (Motion) return TPropValue::Int(Motion->Film().FrameCount());
            return TPropValue::Int(ActiveList() ? ActiveList()->Count() : 0);
        case PR_BRIGHTNESS: return TPropValue::Int(Brightness);
        case PR_PAUSED: return TPropValue::Flag(PausedFlag);
        case PR_PLAYING: return TPropValue::Flag(Playing());
        default: return TMobuCustomImage::ReadProperty(id);
    }
}

void TMobuCustomImages::WriteProperty(int id, const TPropValue& value)
{
    switch (id) {
        case PR_INDEX:
            if (Motion) Motion->JumpToFrame(value.integer);
            else SetIndex(value.integer);
            return;
        case PR_BRIGHTNESS:
            if (value.integer == Brightness) return;
            Brightness = value.integer;
            LendFrame();
            Invalidate();
            return;
        case PR_PAUSED: PausedFlag = value.integer != 0; return;
        default: TMobuCustomImage::WriteProperty(id, value); return;
    }
}

void TMobuCustomImages::SaveTypePart(ByteWriter& out)
{
    TMobuCustomImage::SaveTypePart(out);
    out.I32(static_cast<int32_t>(std::clamp<int64_t>(clock_.FrameLeft, INT32_MIN, INT32_MAX)));
    out.I32(clock_.Index);
    out.I32(Brightness);
    out.Flag(PausedFlag);
    LastFrameWait.SaveToStream(out);
}

void TMobuCustomImages::LoadTypePart(ByteReader& in, int version)
{
    TMobuCustomImage::LoadTypePart(in, version);
    clock_.FrameLeft = in.I32();
    clock_.Index = in.I32();
    Brightness = in.I32();
    PausedFlag = in.Flag();
    LastFrameWait.LoadFromStream(in);
}

// ---------------- TMobuImages ----------------

TMobuImages::TMobuImages(TMobuBaseList* owner, int type_code) : TMobuCustomImages(owner, type_code)
{
    Lists.push_back(std::make_unique<TMobuImageList>());
}

bool TMobuImages::HasPicture() { return !source_.empty() || ImageSurface != nullptr; }

void TMobuImages::SetSource(const std::string& path)
{
    if (path == source_) return;
    source_ = path;
    ResetPicture();
    clock_.Index = -1;
    SetMotion(std::string());
    if (HasExtension(path, ".fsk")) {
        Lists[0]->Fill(this, path, false, false);
        SetIndex(0);
        RecomputeSize();
    } else if (HasExtension(path, ".mmt")) {
        // The film shows its first frame at once and then plays from its start.
        SetMotion(path);
        if (Motion) {
            Motion->Tick(0);
            Motion->Restart();
        }
    } else {
        SetBounds(Left, Top, 0, 0);
    }
    Invalidate();
}

TPropValue TMobuImages::ReadProperty(int id)
{
    switch (id) {
        case PR_SOURCE: return TPropValue::Text(source_);
        case PR_REPEAT: return TPropValue::Flag(Repeat);
        case PR_AUTOSCRAP: return TPropValue::Flag(AutoScrap);
        default: return TMobuCustomImages::ReadProperty(id);
    }
}

void TMobuImages::WriteProperty(int id, const TPropValue& value)
{
    switch (id) {
        case PR_SOURCE: SetSource(value.text); return;
        case PR_REPEAT: Repeat = value.integer != 0; return;
        case PR_AUTOSCRAP: AutoScrap = value.integer != 0; return;
        default: TMobuCustomImages::WriteProperty(id, value); return;
    }
}

void TMobuImages::SaveTypePart(ByteWriter& out)
{
    TMobuCustomImages::SaveTypePart(out);
    out.Flag(Repeat);
    out.Flag(AutoScrap);
    out.String(source_);
    out.String(EventString(PR_ONPLAYEND));
    out.String(EventString(PR_ONIDLE));
}

void TMobuImages::LoadTypePart(ByteReader& in, int version)
{
    TMobuCustomImages::LoadTypePart(in, version);
    const int32_t index = clock_.Index;
    const int64_t frame_left = clock_.FrameLeft;
    Repeat = in.Flag();
    AutoScrap = in.Flag();
    std::string source = in.String();
    values_[PR_ONPLAYEND] = TPropValue::Text(in.String());
    if (version > 103) values_[PR_ONIDLE] = TPropValue::Text(in.String());
    // The saved size and zoom stand; only the frames come from the source again.
    const int32_t width = Width, height = Height;
    SetSource(source);
    clock_.FrameLeft = 0;
    if (Lists[0]->Valid(index)) SetIndex(index);
    else clock_.Index = index;
    clock_.FrameLeft = frame_left;
    Width = width, Height = height;
}

// ---------------- TMobuTile ----------------

TMobuTile::TMobuTile(TMobuBaseList* owner, int type_code) : TMobuCustomImages(owner, type_code) {}

bool TMobuTile::HasPicture() { return !source_.empty() || ImageSurface != nullptr; }

void TMobuTile::SetSource(const std::string& path)
{
    if (path == source_) return;
    source_ = path;
    ResetPicture();
    OwnSurface.SetSize(0, 0, 32);
    if (HasExtension(path, ".fsk")) {
        List.Fill(this, path, false, false);
        SetIndex(0);
        RecomputeSize();
    } else {
        SetBounds(Left, Top, 0, 0);
    }
    Invalidate();
}

int32_t TMobuTile::GetAbsLeft()
{
    int64_t p = HasMotion() ? MotionX : Left;
    if (parent_) p += int64_t{parent_->GetAbsLeft()} - parent_->GetProp(PR_SCROLLX).AsInt();
    return static_cast<int32_t>(static_cast<uint32_t>(p + PlusX));
}

int32_t TMobuTile::GetAbsTop()
{
    int64_t p = HasMotion() ? MotionY : Top;
    if (parent_) p += int64_t{parent_->GetAbsTop()} - parent_->GetProp(PR_SCROLLY).AsInt();
    return static_cast<int32_t>(static_cast<uint32_t>(p + PlusY));
}

void TMobuTile::Draw(TCustomDIBX& target)
{
    TDIBX* picture = PictureSurface();
    if (picture && !picture->IsEmpty() && Alpha >= 1 && Width >= 1 && Height >= 1 && ZoomXValue >= 1 &&
        ZoomYValue >= 1) {
        TDIBX& source = *picture;
        TDIBX* mask = PictureMask();
        const TRect whole = source.SurfaceRect();
        const TRect dest = GetBoundsRect();
        const bool keyed = source.TransparentColor >= 0;
        const bool unzoomed = ZoomXValue == 256 && ZoomYValue == 256;
        const int32_t shown_w = std::max<int32_t>(1, static_cast<int32_t>(int64_t{source.Width()} * ZoomXValue / 256));
        const int32_t shown_h = std::max<int32_t>(1, static_cast<int32_t>(int64_t{source.Height()} * ZoomYValue / 256));
        std::optional<TTileLayout> layout = LayoutTile(shown_w, shown_h, DistanceX, DistanceY, ScrollX, ScrollY);
        if (layout) {
            const int mode = std::min(Alpha, 511);
            if (!layout->UsesDistance && unzoomed) {
                if (mask) {
                    target.PatternFillMask(dest, source, layout->ShiftX, layout->ShiftY, FlipH, FlipV, mode, *mask);
                } else if (!keyed) {
                    if (Alpha == 255) target.PatternCopy(dest, source, FlipH, FlipV, layout->ShiftX, layout->ShiftY);
                    else target.PatternFill(dest, source, layout->ShiftX, layout->ShiftY, FlipH, FlipV, mode);
                } else if (Alpha == 255) {
                    target.TileDraw(dest, 0, 0, source, whole, true, layout->ShiftX, layout->ShiftY);
                } else if (Alpha < 255) {
                    target.TileDrawAlpha(dest, 0, 0, source, whole, true, layout->ShiftX, layout->ShiftY, Alpha);
                } else {
                    target.TileDrawAdd(dest, 0, 0, source, whole, true, layout->ShiftX, layout->ShiftY,
                                       std::min(Alpha - 256, 255));
                }
            } else {
                // Cells of the step size; the gap is given in picture pixels before the zoom.
                const int zoom = ZoomXValue;
                const int gap_x = static_cast<int>(int64_t{layout->StepX - shown_w} * 256 / zoom);
                const int gap_y = static_cast<int>(int64_t{layout->StepY - shown_h} * 256 / ZoomYValue);
                const bool additive = Alpha > 255;
                const int amount = additive ? std::min(Alpha - 256, 255) : std::min(Alpha, 255);
                if (mask)
                    target.TileStretchDrawMask(dest, gap_x, gap_y, source, whole, *mask, layout->ShiftX,
                                               layout->ShiftY, zoom, additive, amount);
                else
                    target.TileStretchDraw(dest, gap_x, gap_y, source, whole, keyed, layout->ShiftX, layout->ShiftY,
                                           zoom, additive, amount);
            }
        }
    }
    DrawChildren(target);
}

TPropValue TMobuTile::ReadProperty(int id)
{
    switch (id) {
        case PR_SOURCE: return TPropValue::Text(source_);
        case PR_SCROLLX: return TPropValue::Int(ScrollX);
        case PR_SCROLLY: return TPropValue::Int(ScrollY);
        case PR_DISTANCEX: return TPropValue::Int(DistanceX);
        case PR_DISTANCEY: return TPropValue::Int(DistanceY);
        default: return TMobuCustomImages::ReadProperty(id);
    }
}

void TMobuTile::WriteProperty(int id, const TPropValue& value)
{
    auto invalidating = [this](int32_t& field, int32_t v) {
        if (field == v) return;
        field = v;
        Invalidate();
    };
    switch (id) {
        case PR_SOURCE: SetSource(value.text); return;
        case PR_SCROLLX: invalidating(ScrollX, value.integer); return;
        case PR_SCROLLY: invalidating(ScrollY, value.integer); return;
        case PR_DISTANCEX: invalidating(DistanceX, value.integer); return;
        case PR_DISTANCEY: invalidating(DistanceY, value.integer); return;
        case PR_WIDTH:
            given_width_ = true;
            SetWidth(value.integer);
            return;
        case PR_HEIGHT:
            given_height_ = true;
            SetHeight(value.integer);
            return;
        default: TMobuCustomImages::WriteProperty(id, value); return;
    }
}

void TMobuTile::SaveTypePart(ByteWriter& out)
{
    TMobuCustomImages::SaveTypePart(out);
    out.I32(ScrollX);
    out.I32(ScrollY);
    out.String(source_);
    out.String(EventString(PR_ONIDLE));
    out.I32(DistanceX);
    out.I32(DistanceY);
}

void TMobuTile::LoadTypePart(ByteReader& in, int version)
{
    TMobuCustomImages::LoadTypePart(in, version);
    const int32_t index = clock_.Index;
    const int64_t frame_left = clock_.FrameLeft;
    ScrollX = in.I32();
    ScrollY = in.I32();
    std::string source = in.String();
    values_[PR_ONIDLE] = TPropValue::Text(in.String());
    DistanceX = in.I32();
    DistanceY = in.I32();
    const int32_t width = Width, height = Height;
    SetSource(source);
    clock_.FrameLeft = 0;
    if (List.Valid(index)) SetIndex(index);
    else clock_.Index = index;
    clock_.FrameLeft = frame_left;
    Width = width, Height = height;
    // A saved area that differs from what the picture and the zoom give was given by the
    // script: it stays when the size is derived again.
    if (HasPicture()) {
        TDIBX* picture = PictureSurface();
        given_width_ = ZoomXValue > 0 && Width != static_cast<int32_t>(int64_t{picture->Width()} * ZoomXValue / 256);
        given_height_ =
            ZoomYValue > 0 && Height != static_cast<int32_t>(int64_t{picture->Height()} * ZoomYValue / 256);
    }
}

// ---------------- TMobuImage ----------------

bool TMobuImage::Answers(int id) const { return TMobuControl::Answers(id) || TypeAnswers(LT_IMAGES, id); }

void TMobuImage::LoadPicture()
{
    Invalidate();
    OwnMask.reset();
    ImageKey = -1;
    if (source_.empty()) {
        OwnSurface.SetSize(0, 0, 32);
        SetBounds(Left, Top, 0, 0);
        return;
    }
    TFeskItem* item = FeskCollection().Acquire(this, source_, false, false);
    TFeskItemFrame& frame = item->Frame(0);
    OwnSurface.SetSize(frame.Surface->Width(), frame.Surface->Height(), frame.Surface->BitCount());
    OwnSurface.Assign(*frame.Surface);
    OwnSurface.TransparentColor = frame.Surface->TransparentColor;
    if (frame.Mask) {
        OwnMask = std::make_unique<TDIBX>();
        OwnMask->SetSize(frame.Mask->Width(), frame.Mask->Height(), 8);
        OwnMask->Store() = frame.Mask->Store();
    }
    const int32_t width = static_cast<int32_t>(int64_t{item->Width} * std::max(ZoomXValue, 0) / 256);
    const int32_t height = static_cast<int32_t>(int64_t{item->Height} * std::max(ZoomYValue, 0) / 256);
    FeskCollection().Release(item, this);
    if (brightness_ < 255) ApplyBrightness(OwnSurface, -(255 - brightness_));
    ImageKey = OwnSurface.TransparentColor;
    SetBounds(Left, Top, width, height);
    Invalidate();
}

void TMobuImage::SetSource(const std::string& path)
{
    source_ = path;
    LoadPicture();
}

void TMobuImage::SetBrightness(int32_t brightness)
{
    brightness = std::clamp(brightness, 0, 255);
    if (brightness == brightness_) return;
    brightness_ = brightness;
    // The darkened copy is made afresh from the cached picture.
    LoadPicture();
}

TPropValue TMobuImage::ReadProperty(int id)
{
    switch (id) {
        case PR_SOURCE: return TPropValue::Text(source_);
        case PR_BRIGHTNESS: return TPropValue::Int(brightness_);
        default: return TMobuCustomImage::ReadProperty(id);
    }
}

void TMobuImage::WriteProperty(int id, const TPropValue& value)
{
    switch (id) {
        case PR_SOURCE: SetSource(value.text); return;
        case PR_BRIGHTNESS: SetBrightness(value.integer); return;
        default: TMobuCustomImage::WriteProperty(id, value); return;
    }
}

}  // namespace mobu
