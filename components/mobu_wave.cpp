#include "components/mobu_wave.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>

#include "components/mobu_base.h"
#include "components/mobu_base_list.h"
#include "components/mobu_image.h"
#include "graphics/dibx_wave.h"

namespace mobu {
namespace {

constexpr int32_t kPhases = 255;

int32_t Saturated(int64_t v)
{
    return static_cast<int32_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

TMobuWave::TMobuWave(TMobuBaseList* owner) : TMobuControl(owner, LT_WAVE) {}

int32_t TMobuWave::Shift(int64_t row)
{
    const int64_t index = row - first_row_;
    if (index < 0 || index >= static_cast<int64_t>(shifts_.size())) return 0;
    return shifts_[static_cast<size_t>(index)];
}

bool TMobuWave::Recompute()
{
    // Only rows that can reach the screen get an entry, whatever the height.
    const int64_t top = GetAbsTop(), height = std::max(Height, 0);
    const int64_t screen = owner_ ? owner_->ScreenHeight() : 0;
    const int64_t first = std::clamp<int64_t>(-top, 0, height);
    const int64_t last = std::clamp<int64_t>(screen - top, first, height);
    std::vector<int32_t> shifts(static_cast<size_t>(last - first));
    const Real two_pi = 2 * std::numbers::pi_v<Real>;
    for (size_t j = 0; j < shifts.size(); ++j) {
        const Real row = static_cast<Real>(first + static_cast<int64_t>(j));
        const Real angle = two_pi * (static_cast<Real>(phase_) / 256 + row / WaveLen);
        shifts[j] = Saturated(static_cast<int64_t>(std::nearbyintl(Amp * std::sin(angle))));
    }
    const bool changed = shifts != shifts_ || first != first_row_;
    shifts_ = std::move(shifts);
    first_row_ = first;
    return changed;
}

bool TMobuWave::Update()
{
    if (TMobuControl::Update()) return true;
    if (AniPaused) return false;
    accumulator_ += int64_t{std::max(ImageFrameElapsedMs(), 0)} * 256;
    const int64_t steps = accumulator_ / Delay;
    accumulator_ %= Delay;
    phase_ = static_cast<int32_t>(((phase_ - steps) % kPhases + kPhases) % kPhases);
    if (Recompute()) Invalidate();
    return false;
}

TRect TMobuWave::Widened(TRect rect) const
{
    const int64_t amp = std::abs(int64_t{Amp});
    rect.Left = Saturated(rect.Left - amp);
    rect.Right = Saturated(rect.Right + amp);
    return rect;
}

void TMobuWave::WidenDirtyRect(TRect& rect) { rect = Widened(rect); }

void TMobuWave::Invalidate()
{
    if (!GetVisible()) return;
    TMobuBase* base = GetBase();
    if (!base) return;
    TRect rect = Widened(GetBoundsRect());
    if (owner_) rect = IntersectRects(rect, TRect{0, 0, owner_->ScreenWidth(), owner_->ScreenHeight()});
    if (rect.IsEmpty()) return;
    for (TMobuControl* a = Parent(); a; a = a->Parent()) a->WidenDirtyRect(rect);
    base->AddDirtyRect(rect);
}

void TMobuWave::Draw(TCustomDIBX& surface)
{
    if (Amp == 0) {
        DrawChildren(surface);
        return;
    }
    Recompute();  // the place may have moved since the last update
    if (shifts_.empty()) return;
    const TRect saved = surface.ClipRect;
    TDIBXWave wave(&surface);
    wave.SetSize(std::max(Width, 0), static_cast<int>(shifts_.size()), surface.BitCount());
    wave.SetOrigin(GetAbsLeft(), Saturated(GetAbsTop() + first_row_));
    for (size_t j = 0; j < shifts_.size(); ++j) wave.SetDisplacement(static_cast<int>(j), shifts_[j]);
    // The children draw through the wave inside the base surface's clip; the wave's own
    // coordinates are the target's, so the clip is taken from the target, not the wave.
    const TRect visible = IntersectRects(Widened(GetBoundsRect()), surface.GetClipRect());
    if (!visible.IsEmpty()) {
        for (TMobuControl* child : Children()) {
            if (child->Name().empty() || !child->GetVisible()) continue;
            TRect r = visible;
            if (child->HasClip()) r = IntersectRects(r, child->ClipRectOnBase());
            if (r.IsEmpty()) continue;
            wave.ResetClip();
            wave.IncludeClip(r);
            child->Draw(wave);
        }
    }
    surface.ClipRect = saved;
}

TPropValue TMobuWave::ReadProperty(int id)
{
    switch (id) {
        case PR_AMP: return TPropValue::Int(Amp);
        case PR_WAVELEN: return TPropValue::Int(WaveLen);
        case PR_DELAY: return TPropValue::Int(Delay);
        default: return TMobuControl::ReadProperty(id);
    }
}

void TMobuWave::WriteProperty(int id, const TPropValue& value)
{
    switch (id) {
        case PR_AMP:
            Invalidate();
            Amp = value.integer;
            Recompute();
            Invalidate();
            return;
        case PR_WAVELEN:
            WaveLen = std::max(value.integer, 1);
            if (Recompute()) Invalidate();
            return;
        case PR_DELAY: Delay = std::max(value.integer, 1); return;
        default:
            TMobuControl::WriteProperty(id, value);
            if (id == PR_HEIGHT || id == PR_TOP || id == PR_LEFT) Recompute();
            return;
    }
}

void TMobuWave::SaveTypePart(ByteWriter& out)
{
    out.I32(Amp);
    out.I32(WaveLen);
    out.I32(Delay);
    out.String(EventString(PR_ONIDLE));
}

void TMobuWave::LoadTypePart(ByteReader& in, int /*version*/)
{
    Amp = in.I32();
    WaveLen = std::max(in.I32(), 1);
    Delay = std::max(in.I32(), 1);
    values_[PR_ONIDLE] = TPropValue::Text(in.String());
    Recompute();
}

}  // namespace mobu
