#include "graphics/wipes/wipe_fades.h"

#include "graphics/wipes/wipe_pixels.h"

namespace mobu {

using namespace wipes;

void TWipeFade::DrawState()
{
    const int64_t p = Pos(), d = Dur();
    CopyImage(*Target, *FromImage);
    const int alpha = static_cast<int>(p * 256 / d);
    const double c = static_cast<double>(d - p - 1) / static_cast<double>(d);
    const auto x = static_cast<int>(RoundEven(c * Params[0]));
    const auto y = static_cast<int>(RoundEven(c * Params[1]));
    Target->DrawAlpha(x, y, *ToImage, ToImage->SurfaceRect(), false, false, false, alpha);
}

void TWipeWhite::Level(int grey) { Target->FillRectAdd(Target->SurfaceRect(), Grey32(grey)); }

void TWipeBlack::Level(int grey) { Target->FillRectSub(Target->SurfaceRect(), Grey32(grey)); }

void TWipeWhite::DrawState()
{
    const auto a = static_cast<int>(Pos() * 511 / Dur());
    if (a <= 255) {
        CopyImage(*Target, *FromImage);
        Level(a);
    } else {
        CopyImage(*Target, *ToImage);
        Level(511 - a);
    }
}

void TWipeFlash::DrawState()
{
    const auto b = static_cast<int>(Pos() * 255 / Dur());
    CopyImage(*Target, *ToImage);
    Target->FillRectAdd(Target->SurfaceRect(), Grey32(255 - b));
}

}  // namespace mobu
