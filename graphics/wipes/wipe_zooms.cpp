#include "graphics/wipes/wipe_zooms.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "graphics/wipes/wipe_pixels.h"

namespace mobu {

using namespace wipes;

namespace {

void DrawTurned(TCustomDIBX& target, TCustomDIBX& source, int zoom, int angle)
{
    const int cx = target.Width() / 2, cy = target.Height() / 2;
    target.DrawRotate(cx, cy, zoom, zoom, source, source.SurfaceRect(), cx, cy, angle, false, false, false, 255);
}

}  // namespace

void TWipeSmall::DrawState()
{
    const double p = static_cast<double>(Pos()), d = static_cast<double>(Dur());
    CopyImage(*Target, *ToImage);
    const auto zoom = static_cast<int>(RoundEven((d - p - 1) / d * 255));
    auto angle = static_cast<int>(RoundEven(Params[0] * p / d));
    DrawTurned(*Target, *FromImage, zoom, Reverse ? -angle : angle);
}

void TWipeBig::DrawState()
{
    const double p = static_cast<double>(Pos()), d = static_cast<double>(Dur());
    CopyImage(*Target, *FromImage);
    const auto zoom = static_cast<int>(RoundEven(p / d * 255));
    auto angle = static_cast<int>(RoundEven(Params[0] * (d - p - 1) / d));
    DrawTurned(*Target, *ToImage, zoom, Reverse ? -angle : angle);
}

void TWipeZoomin::DrawState()
{
    const double w = Width(), h = Height();
    const double c = 2.0 * static_cast<double>(Pos()) / static_cast<double>(Dur());
    const bool first = c <= 1;
    const double share = first ? 1 - c : c - 1;  // window size as a share of the screen
    const double pull = first ? c : 2 - c;       // how far the centre has moved to the point
    const auto ww = static_cast<int>(std::clamp(share * w, 1.0, w));
    const auto wh = static_cast<int>(std::clamp(share * h, 1.0, h));
    const double cx = (Params[0] - w / 2) * pull + w / 2, cy = (Params[1] - h / 2) * pull + h / 2;
    // The window's top left, kept inside the image.
    const auto left = static_cast<int>(std::clamp<double>(std::floor(cx - ww / 2.0), 0, Width() - ww));
    const auto top = static_cast<int>(std::clamp<double>(std::floor(cy - wh / 2.0), 0, Height() - wh));
    Target->StretchDrawAlpha(Target->SurfaceRect(), first ? *FromImage : *ToImage,
                             TRect{left, top, left + ww, top + wh}, false, false, false, 255);
}

void TWipeTwistH::DrawState()
{
    const bool columns = Columns();
    const int lines = columns ? Width() : Height();  // rows (columns) that turn
    const int length = columns ? Height() : Width();
    const double phi = static_cast<double>(Pos()) * (3 * std::numbers::pi / 2) / static_cast<double>(Dur());
    auto line_rect = [columns](int line, int from, int to) {
        return columns ? TRect{line, from, line + 1, to} : TRect{from, line, to, line + 1};
    };
    for (int k = 0; k < lines; ++k) {
        const int line = Reverse ? lines - 1 - k : k;
        const double e = phi - (static_cast<double>(k) / lines) * (std::numbers::pi / 2);
        if (e < 0) continue;
        const TRect whole = line_rect(line, 0, length);
        if (e >= std::numbers::pi) {
            Target->Draw(whole.Left, whole.Top, *ToImage, whole, false, false, false);
            continue;
        }
        Target->FillRect(whole, 0);
        const double cosine = std::cos(e);
        const auto squeezed = static_cast<int>(RoundEven(std::fabs(cosine) * length));
        if (squeezed <= 0 || cosine == 0) continue;
        const int start = (length - squeezed) / 2;
        Target->StretchDrawAlpha(line_rect(line, start, start + squeezed), cosine > 0 ? *FromImage : *ToImage, whole,
                                 false, false, false, 255);
    }
}

}  // namespace mobu
