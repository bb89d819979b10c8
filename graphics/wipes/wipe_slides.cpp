#include "graphics/wipes/wipe_slides.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "graphics/wipes/wipe_pixels.h"

namespace mobu {

using namespace wipes;

void TWipeScrollH::DrawState()
{
    const int w = Width();
    const auto a = static_cast<int>(w * Pos() / Dur());
    const TRect whole = Target->SurfaceRect();
    const int old_x = Reverse ? a : -a;
    Target->Draw(old_x, 0, *FromImage, whole, false, false, false);
    Target->Draw(Reverse ? old_x - w : old_x + w, 0, *ToImage, whole, false, false, false);
}

void TWipeScrollV::DrawState()
{
    const int h = Height();
    const auto a = static_cast<int>(h * Pos() / Dur());
    const TRect whole = Target->SurfaceRect();
    const int old_y = Reverse ? a : -a;
    Target->Draw(0, old_y, *FromImage, whole, false, false, false);
    Target->Draw(0, Reverse ? old_y - h : old_y + h, *ToImage, whole, false, false, false);
}

int TWipeSudareH::StripWidth(int) const { return 1; }

int TWipeRubberH::StripWidth(int a) const
{
    // Half the duration as a real: a one-step transition still draws its single state.
    const double half = static_cast<double>(Dur()) / 2.0;
    const double away = std::fabs(static_cast<double>(Pos()) - half);
    const auto w = RoundEven(away * ((a + 1) / 2.0) / half);
    return static_cast<int>(std::max<int64_t>(1, w));
}

void TWipeSudareH::DrawState()
{
    const bool vertical = Vertical();
    const int n = vertical ? Height() : Width();
    const int across = vertical ? Width() : Height();
    auto a = static_cast<int>((2 * int64_t{n} - 1) * Pos() / Dur());
    TCustomDIBX* image = FromImage;
    if (a >= n) {
        image = ToImage;
        a = 2 * n - a - 1;
    }
    const int w = StripWidth(a);
    const int strip_first = std::max(0, a - w + 1);
    // Along the sweep: the strip [strip_first, a] is stretched over [0, a]; [a + 1, n) copied.
    // Reversed, everything mirrored: the strip [n - a - 1, n - strip_first - 1] over
    // [n - a - 1, n), and [0, n - a - 1) copied.
    TRect stretched_to{0, 0, a + 1, across}, stretched_from{strip_first, 0, a + 1, across};
    TRect copied{a + 1, 0, n, across};
    if (Reverse) {
        stretched_to = TRect{n - a - 1, 0, n, across};
        stretched_from = TRect{n - a - 1, 0, n - strip_first, across};
        copied = TRect{0, 0, n - a - 1, across};
    }
    auto turn = [vertical](TRect r) { return vertical ? TRect{r.Top, r.Left, r.Bottom, r.Right} : r; };
    Target->StretchDrawAlpha(turn(stretched_to), *image, turn(stretched_from), false, false, false, 255);
    if (copied.Right > copied.Left) {
        const TRect c = turn(copied);
        Target->Draw(c.Left, c.Top, *image, c, false, false, false);
    }
}

void TWipeMosaic::DrawState()
{
    const auto b = static_cast<int>(Pos() * 1023 / Dur());
    int s = 0;
    if (b <= 255) s = 263 - (b / 2) * 15 / 16;
    else if (b <= 511) s = 263 - (((b / 2) * 15) >> 4);
    else s = ((((b - 512) / 2) * 15) >> 4) + 24;
    const int w = std::max(1, (Width() / 4) * s / 256);
    const int h = std::max(1, (Height() / 4) * s / 256);
    if (work_.Width() != w || work_.Height() != h || work_.BitCount() != 32) work_.SetSize(w, h, 32);
    const TRect small{0, 0, w, h};
    const TRect whole = Target->SurfaceRect();
    if (b <= 767) work_.StretchDrawAlpha(small, *FromImage, whole, false, false, false, 255);
    if (b > 767) work_.StretchDrawAlpha(small, *ToImage, whole, false, false, false, 255);
    else if (b >= 512) work_.StretchDrawAlpha(small, *ToImage, whole, false, false, false, (b - 256) / 2);
    else if (b >= 256) work_.StretchDrawAlpha(small, *ToImage, whole, false, false, false, (b - 256) / 4);
    Target->StretchDrawAlpha(whole, work_, small, false, false, false, 255);
}

}  // namespace mobu
