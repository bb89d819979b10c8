#include "components/mobu_gauge.h"

#include <algorithm>
#include <cmath>

#include "core/globals.h"
#include "components/cell_tiling.h"

namespace mobu {

TMobuGauge::TMobuGauge(TMobuBaseList* owner) : TMobuControl(owner, LT_GAUGE)
{
    Min = DefaultValue(PR_MIN).integer;
    Max = DefaultValue(PR_MAX).integer;
    Value = DefaultValue(PR_VALUE).integer;
    Alpha = DefaultValue(PR_ALPHA).integer;
    Duration = DefaultValue(PR_DURATION).integer;
    Delay = DefaultValue(PR_DELAY).integer;
    Shown = ClampedValue();
}

TMobuGauge::~TMobuGauge() = default;

int32_t TMobuGauge::ClampedValue() const
{
    if (Max < Min) return Min;
    return std::clamp(Value, Min, Max);
}

void TMobuGauge::Settle()
{
    Invalidate();
    Shown = ClampedValue();
    Lag = 0;
    AnimValue = 0;
    AnimMode = kGaugeIdle;
    DelayLeft = 0;
}

void TMobuGauge::SetValue(int32_t value)
{
    const int64_t end = int64_t{Shown} + Lag;  // the far end of what is shown now
    Value = value;
    const int32_t target = ClampedValue();
    if (Duration <= 0 || int64_t{Max} - Min < 1) {
        Settle();
        return;
    }
    Invalidate();
    if (target < Shown) {
        Shown = target;
        Lag = static_cast<int32_t>(std::min<int64_t>(end - target, INT32_MAX));
        AnimValue = Lag;
        DelayLeft = std::max(Delay, 0);
        AnimMode = kGaugeShrinkingLag;
    } else if (target > Shown) {
        Lag = 0;
        AnimValue = Shown;
        AnimMode = kGaugeGrowingBar;
    } else if (AnimMode == kGaugeGrowingBar) {
        AnimMode = kGaugeIdle;
    }
}

void TMobuGauge::Animate(int64_t elapsed)
{
    if (AnimMode == kGaugeIdle || elapsed <= 0) return;
    if (Duration <= 0 || int64_t{Max} - Min < 1) {
        Settle();
        return;
    }
    const double rate = static_cast<double>(int64_t{Max} - Min) / Duration;
    if (AnimMode == kGaugeShrinkingLag) {
        if (DelayLeft > 0) {
            const int64_t waited = std::min<int64_t>(DelayLeft, elapsed);
            DelayLeft -= static_cast<int32_t>(waited);
            elapsed -= waited;
            if (elapsed <= 0) return;
        }
        AnimValue -= rate * static_cast<double>(elapsed);
        const int32_t lag = AnimValue < 1 ? 0 : static_cast<int32_t>(AnimValue);
        if (lag == 0) {
            AnimValue = 0;
            AnimMode = kGaugeIdle;
        }
        // Redrawn only when the lag moved by a whole value.
        if (lag != Lag) {
            Lag = lag;
            Invalidate();
        }
        return;
    }
    const int32_t target = ClampedValue();
    AnimValue += rate * static_cast<double>(elapsed);
    int32_t shown = static_cast<int32_t>(std::floor(AnimValue));
    if (AnimValue >= target) {
        shown = target;
        AnimMode = kGaugeIdle;
    }
    if (shown != Shown) {
        Shown = shown;
        Invalidate();
    }
}

bool TMobuGauge::Update()
{
    if (TMobuControl::Update()) return true;
    Animate(FrameDeltaMs);
    return false;
}

void TMobuGauge::Layout()
{
    Invalidate();
    SizeWidth = Picture.Width / 2, SizeHeight = Picture.Height;
    if (BarSize > 0) (Vertical() ? SizeHeight : SizeWidth) = BarSize;
    if (!Picture.Surface()) SizeWidth = SizeHeight = 0;
    SetBounds(Left, Top, SizeWidth, SizeHeight);
}

int64_t TMobuGauge::PixelsOf(int64_t amount)
{
    const int64_t range = int64_t{Max} - Min;
    if (range < 1) return 0;
    const double pixels = std::round(static_cast<double>(Length()) * static_cast<double>(amount) / range);
    return std::clamp<int64_t>(static_cast<int64_t>(pixels), 0, Length());
}

// The bar counts from Min, so a range not starting at 0 stays inside the bar's length.
int64_t TMobuGauge::BarLength() { return PixelsOf(int64_t{Shown} - Min); }

int64_t TMobuGauge::LagLength()
{
    const int64_t bar = BarLength();
    return std::clamp<int64_t>(PixelsOf(int64_t{Shown} + Lag - Min) - bar, 0, Length() - bar);
}

void TMobuGauge::Draw(TCustomDIBX& surface)
{
    TDIBX* picture = Picture.Surface();
    const int32_t cw = Picture.Width / 2, ch = Picture.Height;
    if (picture && Width >= 1 && Height >= 1 && cw >= 1 && ch >= 1 && Alpha >= 1) {
        TDIBX* mask = Picture.Mask();
        const TRect bar_cell{0, 0, cw, ch}, lag_cell{cw, 0, 2 * cw, ch};
        const TRect r = GetBoundsRect();
        const int64_t b = BarLength(), g = LagLength();
        auto clamp32 = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
        if (!Vertical()) {
            if (!Reverse) {
                const TRect bar{r.Left, r.Top, clamp32(r.Left + b), r.Bottom};
                const TRect lag{bar.Right, r.Top, clamp32(r.Left + b + g), r.Bottom};
                TileCell(surface, bar, *picture, bar_cell, 0, 0, false, false, Alpha, mask);
                TileCell(surface, lag, *picture, lag_cell, b, 0, false, false, Alpha, mask);
            } else {
                const TRect bar{clamp32(r.Right - b), r.Top, r.Right, r.Bottom};
                const TRect lag{clamp32(r.Right - b - g), r.Top, bar.Left, r.Bottom};
                TileCell(surface, bar, *picture, bar_cell, 0, 0, true, false, Alpha, mask);
                TileCell(surface, lag, *picture, lag_cell, b, 0, true, false, Alpha, mask);
            }
        } else {
            const int64_t bar_phase = ch - b % ch, lag_phase = ch - (b + g) % ch;
            if (!Reverse) {
                const TRect bar{r.Left, clamp32(r.Bottom - b), r.Right, r.Bottom};
                const TRect lag{r.Left, clamp32(r.Bottom - b - g), r.Right, bar.Top};
                TileCell(surface, bar, *picture, bar_cell, 0, bar_phase, false, false, Alpha, mask);
                TileCell(surface, lag, *picture, lag_cell, 0, lag_phase, false, false, Alpha, mask);
            } else {
                const TRect bar{r.Left, r.Top, r.Right, clamp32(r.Top + b)};
                const TRect lag{r.Left, bar.Bottom, r.Right, clamp32(r.Top + b + g)};
                TileCell(surface, bar, *picture, bar_cell, 0, bar_phase, false, true, Alpha, mask);
                TileCell(surface, lag, *picture, lag_cell, 0, lag_phase, false, true, Alpha, mask);
            }
        }
    }
    DrawChildren(surface);
}

TPropValue TMobuGauge::ReadProperty(int id)
{
    switch (id) {
        case PR_SOURCE: return TPropValue::Text(Picture.Source);
        case PR_MIN: return TPropValue::Int(Min);
        case PR_MAX: return TPropValue::Int(Max);
        case PR_VALUE: return TPropValue::Int(ClampedValue());
        case PR_ORIENTATION: return TPropValue::Int(Orientation);
        case PR_REVERSE: return TPropValue::Flag(Reverse);
        case PR_DURATION: return TPropValue::Int(Duration);
        case PR_DELAY: return TPropValue::Int(Delay);
        case PR_BARSIZE: return TPropValue::Int(BarSize);
        case PR_ALPHA: return TPropValue::Int(Alpha);
        case PR_PAUSED: return TPropValue::Flag(PausedFlag);
        case PR_PLAYING: return TPropValue::Flag(AnimMode != kGaugeIdle);
        default: return TMobuControl::ReadProperty(id);
    }
}

void TMobuGauge::WriteProperty(int id, const TPropValue& value)
{
    switch (id) {
        case PR_SOURCE: Picture.Set(this, value.text); Layout(); return;
        case PR_MIN:
        case PR_MAX:
            (id == PR_MIN ? Min : Max) = value.integer;
            Settle();
            return;
        case PR_VALUE: SetValue(value.integer); return;
        case PR_ORIENTATION: Orientation = value.integer != 0 ? OT_VERTICAL : OT_HORIZONTAL; Layout(); return;
        case PR_REVERSE: Reverse = value.integer != 0; Invalidate(); return;
        case PR_DURATION: Duration = value.integer; return;
        case PR_DELAY: Delay = value.integer; return;
        case PR_BARSIZE: BarSize = std::max(value.integer, 0); Layout(); return;
        case PR_ALPHA: Alpha = value.integer; Invalidate(); return;
        case PR_PAUSED: PausedFlag = value.integer != 0; return;
        default: TMobuControl::WriteProperty(id, value); return;
    }
}

void TMobuGauge::SaveTypePart(ByteWriter& out)
{
    out.String(Picture.Source);
    out.I32(Min);
    out.I32(Max);
    out.I32(Value);
    out.I32(Alpha);
    out.Flag(PausedFlag);
    out.U8(Orientation);
    out.I32(Duration);
    out.I32(Delay);
    out.Flag(Reverse);
    out.String(EventString(PR_ONIDLE));
    out.I32(BarSize);
}

void TMobuGauge::LoadTypePart(ByteReader& in, int version)
{
    const int32_t width = Width, height = Height;
    Picture.Set(this, in.String());
    Min = in.I32();
    Max = in.I32();
    Value = in.I32();
    Alpha = in.I32();
    PausedFlag = in.Flag();
    Orientation = in.U8() != 0 ? OT_VERTICAL : OT_HORIZONTAL;
    Duration = in.I32();
    Delay = in.I32();
    Reverse = in.Flag();
    if (version > 124) values_[PR_ONIDLE] = TPropValue::Text(in.String());
    if (version > 127) BarSize = std::max(in.I32(), 0);
    Layout();
    if (!Picture.Surface()) Width = width, Height = height;
    Settle();
}

}  // namespace mobu
