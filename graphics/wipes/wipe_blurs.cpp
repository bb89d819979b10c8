#include "graphics/wipes/wipe_blurs.h"

#include <algorithm>

#include "graphics/wipes/wipe_pixels.h"

namespace mobu {

using namespace wipes;

namespace {

void BlurredCopy(TDIBX& copy, TCustomDIBX& source, int radius)
{
    copy.SetSize(source.Width(), source.Height(), 32);
    CopyImage(copy, source);
    copy.Store().Blur(32, radius);
}

}  // namespace

void TWipeBlurWhite::Prepare()
{
    if (!SurfacesUsable()) return;
    const int radius = std::min(Width(), Height()) / 20;
    BlurredCopy(BlurredFrom, *FromImage, radius);
    BlurredCopy(BlurredTo, *ToImage, radius);
}

void TWipeBlurWhite::Level(int grey) { Target->FillRectAdd(Target->SurfaceRect(), Grey32(grey)); }

void TWipeBlurBlack::Level(int grey) { Target->FillRectSub(Target->SurfaceRect(), Grey32(grey)); }

void TWipeBlurWhite::DrawState()
{
    if (BlurredFrom.Width() != Width() || BlurredFrom.Height() != Height() || BlurredTo.Width() != Width() ||
        BlurredTo.Height() != Height())
        Prepare();
    const auto a = static_cast<int>(Pos() * 639 / Dur());
    const TRect whole = Target->SurfaceRect();
    if (a < 256) {
        CopyImage(*Target, *FromImage);
        Target->DrawAlpha(0, 0, BlurredFrom, whole, false, false, false, a);
    } else if (a < 320) {
        CopyImage(*Target, BlurredFrom);
        Level((a - 256) * 4);
    } else if (a < 384) {
        CopyImage(*Target, BlurredTo);
        Level((383 - a) * 4);
    } else {
        CopyImage(*Target, *ToImage);
        Target->DrawAlpha(0, 0, BlurredTo, whole, false, false, false, 639 - a);
    }
}

}  // namespace mobu
