#include "components/mobu_fire.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "components/mobu_image.h"
#include "expr/script_random.h"

namespace mobu {
namespace {

int32_t Saturated(int64_t v)
{
    return static_cast<int32_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

TMobuFire::TMobuFire(TMobuBaseList* owner) : TMobuControl(owner, LT_FIRE)
{
    heat_.Setup(0, 0, ScriptRandom);
}

void TMobuFire::SetPower(int32_t power)
{
    power_ = std::clamp(power, 0, 255);
    heat_.SetDecay(MakeFireDecayTable(power_));
}

void TMobuFire::Resize(int32_t width, int32_t height)
{
    width = std::max(width, 0), height = std::max(height, 0);
    if (width == heat_.Width() && height == heat_.Height()) return;
    if (!heat_.Setup(width, height, ScriptRandom)) return;  // too many cells: the old size stays
    surface_stale_ = true;
    UpdateSize();
}

void TMobuFire::SetZoom(int32_t& zoom, int32_t value)
{
    zoom = value <= 0 ? 1 : value;
    UpdateSize();
}

void TMobuFire::UpdateSize()
{
    SetWidth(Saturated(int64_t{heat_.Width()} * zoom_x_ / 256));
    SetHeight(Saturated(int64_t{heat_.Height()} * zoom_y_ / 256));
}

bool TMobuFire::Update()
{
    if (TMobuControl::Update()) return true;
    if (AniPaused) return false;
    accumulator_ += std::max(ImageFrameElapsedMs(), 0);
    if (accumulator_ < kStepMs) return false;
    while (accumulator_ >= kStepMs) {
        accumulator_ -= kStepMs;
        heat_.Step();
    }
    surface_stale_ = true;
    Invalidate();
    return false;
}

void TMobuFire::Draw(TCustomDIBX& surface)
{
    const int bits = surface.BitCount();
    const TFireColourTable* table = bits == 32   ? &FireColours32()
                                    : bits == 16 ? &FireColours16()
                                    : bits == 15 ? &FireColours15()
                                                 : nullptr;
    if (table && heat_.Width() > 0 && heat_.Height() > 0) {
        if (surface_stale_) {
            const int32_t w = heat_.Width(), h = heat_.Height();
            if (surface_.Width() != w || surface_.Height() != h || surface_.BitCount() != 8) surface_.SetSize(w, h, 8);
            for (int32_t y = 0; y < h; ++y) {
                uint8_t* row = surface_.PixelAddress(0, y);
                if (!row) break;
                std::memcpy(row, heat_.Cells().data() + static_cast<size_t>(y) * static_cast<size_t>(w),
                            static_cast<size_t>(w));
                surface_.UnlockPixels();
            }
            surface_stale_ = false;
        }
        const TRect rect = GetBoundsRect();
        const TRect source = surface_.SurfaceRect();
        if (zoom_x_ == 256 && zoom_y_ == 256) {
            uint32_t entries[256];
            std::copy(table->begin(), table->end(), entries);
            surface.DrawIndexedAdd(rect.Left, rect.Top, surface_, source, false, false, 255, entries);
        } else {
            surface.StretchDrawIndexed(rect, surface_, source, false, false, 255, *table);
        }
    }
    DrawChildren(surface);
}

TPropValue TMobuFire::ReadProperty(int id)
{
    switch (id) {
        case PR_POWER: return TPropValue::Int(power_);
        case PR_ORIGWIDTH: return TPropValue::Int(heat_.Width());
        case PR_ORIGHEIGHT: return TPropValue::Int(heat_.Height());
        case PR_ZOOMX: return TPropValue::Int(zoom_x_);
        case PR_ZOOMY: return TPropValue::Int(zoom_y_);
        case PR_PAUSED: return TPropValue::Flag(PausedFlag);
        default: return TMobuControl::ReadProperty(id);
    }
}

void TMobuFire::WriteProperty(int id, const TPropValue& value)
{
    switch (id) {
        case PR_POWER: SetPower(value.integer); return;
        case PR_ORIGWIDTH: Resize(value.integer, heat_.Height()); return;
        case PR_ORIGHEIGHT: Resize(heat_.Width(), value.integer); return;
        case PR_ZOOMX: SetZoom(zoom_x_, value.integer); return;
        case PR_ZOOMY: SetZoom(zoom_y_, value.integer); return;
        case PR_PAUSED: PausedFlag = value.integer != 0; return;
        default: TMobuControl::WriteProperty(id, value); return;
    }
}

void TMobuFire::SaveTypePart(ByteWriter& out)
{
    out.I32(power_);
    out.I32(heat_.Width());
    out.I32(heat_.Height());
    out.I32(zoom_x_);
    out.String(EventString(PR_ONIDLE));
    out.Flag(PausedFlag);
    out.I32(zoom_y_);
}

void TMobuFire::LoadTypePart(ByteReader& in, int version)
{
    const int32_t power = in.I32();
    const int32_t width = in.I32();
    const int32_t height = in.I32();
    const int32_t zoom_x = in.I32();
    SetPower(power);
    Resize(width, height);
    SetZoom(zoom_x_, zoom_x);
    if (version >= 104) {
        values_[PR_ONIDLE] = TPropValue::Text(in.String());
        PausedFlag = in.Flag();
        SetZoom(zoom_y_, in.I32());
    }
}

}  // namespace mobu
