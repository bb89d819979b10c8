// What the demo game's screens look like, read back from a screenshot (a PNG file of the
// headless runner or a capture of the window). The window tests and the headless tests check
// the same sights through these helpers. Colours come from examples/demo/art/make_art.sh.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "graphics/fesk_frame_list.h"

namespace mobu::demo_screens {

struct TRgb {
    int r = 0, g = 0, b = 0;
};

// A screenshot with the game screen starting `top` rows down (the window's toolbar strip).
class TShot {
public:
    bool Load(const std::string& png_path, int top = 0)
    {
        top_ = top;
        try {
            list_.LoadFromFile(png_path, true, false, false);
        } catch (...) {
            return false;
        }
        return list_.Count() == 1;
    }
    int Width() const { return list_.Frames(0).Image.Width(); }
    int Height() const { return list_.Frames(0).Image.Height(); }
    // The pixel at game screen coordinates.
    TRgb At(int x, int y) const
    {
        const TDIBSurface& image = list_.Frames(0).Image;
        TRgb rgb;
        image.RGBOfValue(image.GetPixel(x, y + top_), false, rgb.r, rgb.g, rgb.b);
        return rgb;
    }

private:
    TFeskFrameList list_;
    int top_ = 0;
};

// The title's night sky: deep blue.
inline bool IsSky(TRgb c) { return c.b > c.r + 40 && c.b > c.g + 20; }
// The field's grass: green.
inline bool IsGrass(TRgb c) { return c.g > c.r + 40 && c.g > c.b + 20; }
// The tile pattern: browns and ochre, red well above blue.
inline bool IsTile(TRgb c) { return c.r > c.b + 40 && c.r > 90; }

// The title screen: the night sky.
inline bool TitleShown(const TShot& shot) { return IsSky(shot.At(20, 20)) && IsSky(shot.At(600, 220)); }

// The field screen: grass on both sides under the pale band.
inline bool FieldShown(const TShot& shot)
{
    const TRgb band = shot.At(320, 18);
    return IsGrass(shot.At(20, 100)) && IsGrass(shot.At(620, 300)) && band.r > 180 && band.g > 210;
}

// The field's other background (the effect button switches to it): violet above, orange
// towards the floor, under a pale band.
inline bool IsDusk(TRgb c) { return c.r > c.g + 20 && c.r > 60; }
inline bool DuskShown(const TShot& shot) { return IsDusk(shot.At(20, 60)) && IsDusk(shot.At(620, 300)); }

// A screen in the middle of a switch between the title and the field: sky and grass both show
// among points spread over the screen away from the buttons (a curtain shows columns of each,
// the mask fade the one in the middle and the other in the corners).
inline bool SkyAndGrassMixed(const TShot& shot)
{
    int sky = 0, grass = 0;
    for (int y = 50; y < 280; y += 20)
        for (int x = 10; x < 640; x += 30) {
            const TRgb c = shot.At(x, y);
            sky += IsSky(c);
            grass += IsGrass(c);
        }
    return sky >= 3 && grass >= 3;
}

// A tiled band (the title's strip, rows 448..479; the field's floor, rows 376..439): the
// pattern at the left end, in the middle and at the right end of row `y`.
inline bool TilesAcross(const TShot& shot, int y)
{
    return IsTile(shot.At(4, y)) && IsTile(shot.At(320, y)) && IsTile(shot.At(636, y));
}
// Row `y` of `later` is row `y` of `earlier` moved `shift` pixels to the left (wrapping).
inline bool RowShiftedLeft(const TShot& earlier, const TShot& later, int y, int shift)
{
    for (int x = 0; x < 640; ++x) {
        const TRgb a = earlier.At((x + shift) % 640, y), b = later.At(x, y);
        if (a.r != b.r || a.g != b.g || a.b != b.b) return false;
    }
    return true;
}

// The light rim of the translucent plate (a box) behind the start button: its left edge at
// x 200..201 from y 284 to 363, nothing as light just outside it.
inline bool TitlePlateRimShown(const TShot& shot)
{
    const TRgb rim = shot.At(200, 320), outside = shot.At(197, 320);
    return rim.r > 100 && rim.g > 100 && rim.b > 100 && outside.r < 90 && outside.g < 90;
}

// A point on the start button's plate (240..400 x 300..348): red normally, orange when lit.
inline TRgb StartButtonPlate(const TShot& shot) { return shot.At(252, 324); }
inline bool IsLitPlate(TRgb c) { return c.r > 200 && c.g > 110 && c.b < 80; }
inline bool IsUnlitPlate(TRgb c) { return c.r > 140 && c.g < 80; }
// A point on the back button's plate (500..620 x 420..460): dark blue normally, light blue lit.
inline TRgb BackButtonPlate(const TShot& shot) { return shot.At(510, 440); }

// The star crossing the title sky (rows 150..213 hold only sky and the star).
struct TStar {
    int left = 0, right = 0;  // columns holding star pixels
    char colour = '?';        // 'r', 'y', 'g' or 'b': the frame shown
};
inline std::optional<TStar> FindStar(const TShot& shot)
{
    TStar star;
    star.left = shot.Width();
    int red = 0, yellow = 0, green = 0, blue = 0, pixels = 0;
    for (int y = 150; y < 214; ++y)
        for (int x = 0; x < shot.Width(); ++x) {
            TRgb c = shot.At(x, y);
            if (IsSky(c) && c.r < 90) continue;
            ++pixels;
            star.left = std::min(star.left, x);
            star.right = std::max(star.right, x);
            if (c.r > 200 && c.g > 200 && c.b > 200) continue;  // the white rim
            if (c.r > 200 && c.g < 120) ++red;
            else if (c.r > 200 && c.g > 160 && c.b < 100) ++yellow;
            else if (c.g > 180 && c.r < 120 && c.b < 150) ++green;
            else if (c.b > 200 && c.r < 120) ++blue;
        }
    if (pixels < 100) return std::nullopt;
    const int most = std::max({red, yellow, green, blue});
    star.colour = most == red ? 'r' : most == yellow ? 'y' : most == green ? 'g' : 'b';
    return star;
}

// Pixels of the field that are neither grass nor dark (the turning star, x 250..470,
// y 185..370, clear of the panel, the glow, the emblem and the floor).
inline int FieldStarPixels(const TShot& shot)
{
    int count = 0;
    for (int y = 185; y < 370; ++y)
        for (int x = 250; x < 470; ++x) {
            TRgb c = shot.At(x, y);
            if (c.r > 60 || c.b > 110 || c.g > 180) ++count;
        }
    return count;
}

// The direction (degrees, 0..180) of the emblem's red bar on the field: the emblem turns
// round (120, 260) at 150 %, translucent over the grass; its bar pixels are red but not
// yellow like its ring. Negative when the bar is not found.
inline double EmblemBarDegrees(const TShot& shot)
{
    double n = 0, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    for (int y = 195; y < 325; ++y)
        for (int x = 55; x < 185; ++x) {
            const TRgb c = shot.At(x, y);
            if (c.r <= 130 || c.g >= 130) continue;
            n += 1, sx += x, sy += y, sxx += double(x) * x, syy += double(y) * y, sxy += double(x) * y;
        }
    if (n < 50) return -1;
    const double cxx = sxx / n - (sx / n) * (sx / n), cyy = syy / n - (sy / n) * (sy / n),
                 cxy = sxy / n - (sx / n) * (sy / n);
    double degrees = 0.5 * std::atan2(2 * cxy, cxx - cyy) * 180 / M_PI;
    return degrees < 0 ? degrees + 180 : degrees;
}
// The smaller angle between two directions of EmblemBarDegrees.
inline double TurnBetween(double a, double b)
{
    const double d = std::fabs(a - b);
    return std::min(d, 180 - d);
}

}  // namespace mobu::demo_screens
