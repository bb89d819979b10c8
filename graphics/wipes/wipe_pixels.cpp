#include "graphics/wipes/wipe_pixels.h"

#include <cmath>

namespace mobu::wipes {

TRows32::TRows32(TCustomDIBX& surface, bool write) : surface_(surface)
{
    if (surface.IsEmpty()) return;
    base_ = write ? surface.PixelAddress(0, 0) : const_cast<uint8_t*>(surface.ReadPixelAddress(0, 0));
    pitch_ = surface.Pitch();
}

TRows32::~TRows32()
{
    if (base_) surface_.UnlockPixels();
}

void CopyImage(TCustomDIBX& target, TCustomDIBX& source)
{
    target.Draw(0, 0, source, source.SurfaceRect(), false, false, false);
}

uint32_t AddGrey(uint32_t pixel, int g)
{
    uint32_t out = pixel & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        int c = static_cast<int>((pixel >> shift) & 0xFFu) + g;
        out |= static_cast<uint32_t>(c > 255 ? 255 : c) << shift;
    }
    return out;
}

uint32_t SubGrey(uint32_t pixel, int g)
{
    uint32_t out = pixel & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        int c = static_cast<int>((pixel >> shift) & 0xFFu) - g;
        out |= static_cast<uint32_t>(c < 0 ? 0 : c) << shift;
    }
    return out;
}

int64_t RoundEven(double x) { return static_cast<int64_t>(std::nearbyint(x)); }

}  // namespace mobu::wipes
