#include "components/mobu_box.h"

#include <algorithm>
#include <cstdint>

#include "components/mobu_blur.h"
#include "components/mobu_image.h"

namespace mobu {

int32_t ScaleColour(int32_t colour, int32_t amount)
{
    uint32_t c = static_cast<uint32_t>(colour), a = static_cast<uint32_t>(std::clamp(amount, 0, 255));
    uint32_t red = (c & 0xFF) * a >> 8, green = ((c >> 8) & 0xFF) * a >> 8, blue = ((c >> 16) & 0xFF) * a >> 8;
    return static_cast<int32_t>(red | green << 8 | blue << 16);
}

namespace {

// The rectangle shrunk by `inset` on each side (empty when nothing is left).
TRect Shrunk(const TRect& r, int32_t inset)
{
    int64_t left = int64_t{r.Left} + inset, top = int64_t{r.Top} + inset;
    int64_t right = int64_t{r.Right} - inset, bottom = int64_t{r.Bottom} - inset;
    if (left >= right || top >= bottom) return TRect{};
    return TRect{static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
                 static_cast<int32_t>(bottom)};
}

}  // namespace

void TMobuBox::Draw(TCustomDIBX& surface)
{
    const int32_t alpha = Alpha;
    if (alpha > 0 && alpha < kAlphaLimit) {
        const TRect rect = GetBoundsRect();
        const bool additive = alpha > kOpaqueAlpha;
        // Additive drawing adds the colour scaled by its amount; the others use it as it is.
        auto pixel_of = [&](int32_t colour) {
            return static_cast<uint32_t>(surface.ColorToPixel(additive ? ScaleColour(colour, alpha - 256) : colour));
        };
        TRect inside = rect;
        const int32_t border = BorderWidth;
        const int32_t border_colour = BorderColor;
        if (border > 0 && border_colour >= 0) {
            uint32_t pixel = pixel_of(border_colour);
            if (additive) surface.FrameRectAdd(rect, border, pixel);
            else if (alpha == kOpaqueAlpha) surface.FrameRect(rect, border, pixel);
            else surface.FrameRectAlpha(rect, border, pixel, alpha);
            // The fill stays inside the border, so no pixel is blended twice.
            inside = Shrunk(rect, border);
        }
        if (Color >= 0 && !inside.IsEmpty()) {
            uint32_t pixel = pixel_of(Color);
            if (additive) surface.FillRectAdd(inside, pixel);
            else if (alpha == kOpaqueAlpha) surface.FillRect(inside, pixel);
            else surface.FillRectAlpha(inside, pixel, alpha);
        }
    }
    DrawChildren(surface);
}

bool TMobuBox::Update()
{
    if (TMobuControl::Update()) return true;  // an attached film ended with auto-scrap
    if (BlurSpan > 0 && BlurDelay > 0 && !Name().empty()) {
        blur_timer_ += ImageFrameElapsedMs();
        if (blur_timer_ >= BlurSpan) {
            blur_timer_ = 0;
            if (!(CurrentSnapshot() == snapshot_)) {
                snapshot_ = CurrentSnapshot();
                CreateAfterimage(*this);
            }
        }
    }
    return false;
}

TPropValue TMobuBox::ReadProperty(int id)
{
    switch (id) {
        case PR_BORDERWIDTH: return TPropValue::Int(BorderWidth);
        case PR_BORDERCOLOR: return TPropValue::Int(BorderColor);
        case PR_ALPHA: return TPropValue::Int(Alpha);
        case PR_SOURCE: return TPropValue::Text(Source);
        case PR_REPEAT: return TPropValue::Flag(Repeat);
        case PR_AUTOSCRAP: return TPropValue::Flag(AutoScrap);
        case PR_PAUSED: return TPropValue::Flag(PausedFlag);
        case PR_BLURSPAN: return TPropValue::Int(BlurSpan);
        case PR_BLURDELAY: return TPropValue::Int(BlurDelay);
        default: return TMobuControl::ReadProperty(id);
    }
}

void TMobuBox::WriteProperty(int id, const TPropValue& value)
{
    auto invalidating = [this](int32_t& field, int32_t v) {
        if (field == v) return;
        field = v;
        Invalidate();
    };
    switch (id) {
        case PR_BORDERWIDTH: invalidating(BorderWidth, value.integer); return;
        case PR_BORDERCOLOR: invalidating(BorderColor, value.integer); return;
        case PR_ALPHA: invalidating(Alpha, value.integer); return;
        // A film path attaches the film; any other path is only kept.
        case PR_SOURCE:
            if (value.text == Source) return;
            Source = value.text;
            if (HasExtension(Source, ".mmt")) SetMotion(Source);
            return;
        // Repeating again restarts a film that has finished.
        case PR_REPEAT:
            Repeat = value.integer != 0;
            if (Repeat && Motion && Motion->Finished) Motion->Restart();
            return;
        case PR_AUTOSCRAP: AutoScrap = value.integer != 0; return;
        case PR_PAUSED: PausedFlag = value.integer != 0; return;
        case PR_BLURSPAN:
            BlurSpan = value.integer;
            blur_timer_ = 0;
            snapshot_ = CurrentSnapshot();
            return;
        case PR_BLURDELAY: BlurDelay = value.integer; return;
        default: TMobuControl::WriteProperty(id, value); return;
    }
}

void TMobuBox::SaveTypePart(ByteWriter& out)
{
    out.I32(BorderWidth);
    out.I32(BorderColor);
    out.I32(Alpha);
    out.String(EventString(PR_ONIDLE));
    out.String(Source);
    out.Flag(Repeat);
    out.Flag(AutoScrap);
    out.String(EventString(PR_ONPLAYEND));
    out.Flag(PausedFlag);
    out.Flag(AniPaused);
    out.I32(BlurSpan);
    out.I32(BlurDelay);
}

void TMobuBox::LoadTypePart(ByteReader& in, int version)
{
    BorderWidth = in.I32();
    BorderColor = in.I32();
    Alpha = in.I32();
    if (version > 103) {
        values_[PR_ONIDLE] = TPropValue::Text(in.String());
        WriteProperty(PR_SOURCE, TPropValue::Text(in.String()));
        Repeat = in.Flag();
        AutoScrap = in.Flag();
        values_[PR_ONPLAYEND] = TPropValue::Text(in.String());
        PausedFlag = in.Flag();
        AniPaused = in.Flag();
    }
    if (version > 139) {
        BlurSpan = in.I32();
        BlurDelay = in.I32();
    }
    snapshot_ = CurrentSnapshot();
}

}  // namespace mobu
