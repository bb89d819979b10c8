#include "graphics/wipes/wipe_mask.h"

#include <algorithm>
#include <cstring>

#include "graphics/kernels/surface_kernels.h"
#include "graphics/kernels/wipe_kernels.h"
#include "graphics/wipes/wipe_pixels.h"

namespace mobu {

using namespace wipes;

void TWipeMaskPlane::SetSize(int width, int height)
{
    Width = std::max(0, width);
    Height = std::max(0, height);
    Levels.assign(static_cast<size_t>(Width) * static_cast<size_t>(Height), 0);
}

void TWipeMaskPlane::Fill(uint8_t level) { std::fill(Levels.begin(), Levels.end(), level); }

void TWipeMaskPlane::FillRect(int x0, int y0, int x1, int y1, uint8_t level)
{
    x0 = std::max(x0, 0), y0 = std::max(y0, 0);
    x1 = std::min(x1, Width), y1 = std::min(y1, Height);
    if (x0 >= x1) return;
    for (int y = y0; y < y1; ++y) std::memset(Row(y) + x0, level, static_cast<size_t>(x1 - x0));
}

void TWipeMask::SetParam(int index, int32_t value)
{
    if (index == 0) value = std::max(value, 2);
    if (index == 1) value = std::max(value, 1);
    TCustomWipe::SetParam(index, value);
}

void TWipeMask::Prepare()
{
    Mask.SetSize(Width(), std::max(0, MaskHeight()));
    LastLevel = -1;
}

bool TWipeMask::TakeLevel(int64_t level)
{
    if (level == LastLevel) return false;
    LastLevel = level;
    return true;
}

uint8_t TWipeMask::Ramp(int64_t level, int64_t start) const
{
    if (level < start) return 0;
    return static_cast<uint8_t>(std::min<int64_t>(255, (level - start) * 255 / std::max(1, Params[1])));
}

void TWipeMask::DrawState()
{
    if (Mask.Width != Width() || Mask.Height != std::max(0, MaskHeight()) || Mask.Height == 0) Prepare();
    if (Mask.Height == 0) return;
    if (UpdateMask()) Compose();
}

void TWipeMask::Compose()
{
    const int w = Width(), h = Height();
    TRows32 target(*Target, true), from(*FromImage, false), to(*ToImage, false);
    if (!target.Valid() || !from.Valid() || !to.Valid()) return;
    const auto& wipe_kernels = kernels::WipeKernels();
    for (int y = 0; y < h; ++y) {
        const uint8_t* m = Mask.Row(y % Mask.Height);
        uint32_t* t = target.Row(y);
        const uint32_t* f = from.Row(y);
        const uint32_t* n = to.Row(y);
        if (Binary) {
            wipe_kernels.select32(t, f, n, m, static_cast<size_t>(w));
        } else {
            wipe_kernels.blend32(t, f, n, m, static_cast<size_t>(w));
        }
    }
}

}  // namespace mobu
