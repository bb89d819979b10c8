#include <gtest/gtest.h>

#include <cstdint>

#include "components/mobu_base_list.h"
#include "components/mobu_box.h"
#include "graphics/dibx.h"

namespace mobu {
namespace {

constexpr int32_t kBackground = 0x404040;

// A 16 × 16 screen of the background colour with one box drawn on it.
struct TBoxScene {
    TMobuBaseList list;
    TMobuControl* box;

    TBoxScene(TRect r, int32_t colour, int32_t alpha, int32_t border = 0, int32_t border_colour = -1)
    {
        list.SetSize(16, 16);
        list.GetBase(0)->Color = kBackground;
        box = list.CreateComponent(LT_BOX)->AsControl();
        box->SetBounds(r.Left, r.Top, r.Width(), r.Height());
        box->SetColor(colour);
        box->SetProp(PR_ALPHA, TPropValue::Int(alpha));
        box->SetProp(PR_BORDERWIDTH, TPropValue::Int(border));
        box->SetProp(PR_BORDERCOLOR, TPropValue::Int(border_colour));
        list.DrawPass();
        list.ClearDirty();
    }
    uint32_t At(int x, int y) { return list.FrameSurface().GetPixel(x, y); }
};

// The pixel of one fill on one background pixel, done by the surface itself.
uint32_t Reference(int32_t colour, int32_t alpha)
{
    TDIBX one;
    one.SetSize(1, 1, 32);
    one.Clear(static_cast<uint32_t>(one.ColorToPixel(kBackground)));
    uint32_t pixel = static_cast<uint32_t>(one.ColorToPixel(colour));
    if (alpha == 255) one.FillRect(TRect{0, 0, 1, 1}, pixel);
    else one.FillRectAlpha(TRect{0, 0, 1, 1}, pixel, alpha);
    return one.GetPixel(0, 0);
}

// 32-bit pixel 0x00RRGGBB from the three channels.
uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r << 16 | g << 8 | b; }

TEST(BoxDraw, AlphaRangesBlendCopyAddOrHide)
{
    const int32_t colour = 0xFF8020;  // blue 0xFF, green 0x80, red 0x20
    const uint32_t background = Rgb(0x40, 0x40, 0x40);
    struct TCase {
        int32_t alpha;
        uint32_t expected;
    } cases[] = {
        {-5, background},
        {0, background},
        {1, Reference(colour, 1)},
        {128, Reference(colour, 128)},
        {254, Reference(colour, 254)},
        {255, Rgb(0x20, 0x80, 0xFF)},
        // Additive: each channel scaled by (alpha - 256) / 256, added with saturation.
        {256, background},
        {300, Rgb(0x40 + (0x20 * 44 >> 8), 0x40 + (0x80 * 44 >> 8), 0x40 + (0xFF * 44 >> 8))},
        {400, Rgb(0x40 + (0x20 * 144 >> 8), 0x40 + (0x80 * 144 >> 8), 0x40 + (0xFF * 144 >> 8))},
        {511, Rgb(0x40 + (0x20 * 255 >> 8), 0xBF, 0xFF)},
        {512, background},
        {100000, background},
    };
    for (const TCase& c : cases) {
        TBoxScene scene({4, 4, 12, 12}, colour, c.alpha);
        EXPECT_EQ(scene.At(8, 8), c.expected) << "alpha " << c.alpha;
        EXPECT_EQ(scene.At(2, 2), background) << "alpha " << c.alpha;
    }
}

TEST(BoxDraw, ScaleColourPerChannel)
{
    EXPECT_EQ(ScaleColour(0xFFFFFF, 255), 0xFEFEFE);
    EXPECT_EQ(ScaleColour(0xFFFFFF, 128), 0x7F7F7F);
    EXPECT_EQ(ScaleColour(0x804020, 0), 0);
    EXPECT_EQ(ScaleColour(0x804020, 128), 0x402010);
}

// The border and the fill each cover their own pixels: every pixel is blended once.
TEST(BoxDraw, FillStaysInsideTheBorder)
{
    const int32_t fill = 0x0000FF, frame = 0x00FF00;
    const uint32_t background = Rgb(0x40, 0x40, 0x40);
    struct TCase {
        const char* what;
        int32_t alpha, border, border_colour;
        int x, y;  // a pixel of the box at (2, 2)-(12, 12)
        uint32_t expected;
    } cases[] = {
        {"blended border", 128, 2, frame, 3, 3, Reference(frame, 128)},
        {"blended border, right edge", 128, 2, frame, 11, 7, Reference(frame, 128)},
        {"blended inside", 128, 2, frame, 4, 4, Reference(fill, 128)},
        {"opaque border", 255, 2, frame, 2, 11, Rgb(0, 0xFF, 0)},
        {"opaque inside", 255, 2, frame, 7, 7, Rgb(0xFF, 0, 0)},
        {"added border", 300, 2, frame, 2, 2, Rgb(0x40, 0x40 + (0xFF * 44 >> 8), 0x40)},
        {"added inside", 300, 2, frame, 5, 5, Rgb(0x40 + (0xFF * 44 >> 8), 0x40, 0x40)},
        {"border filling the box", 128, 5, frame, 6, 6, Reference(frame, 128)},
        {"no border colour: whole box filled", 128, 2, -1, 2, 2, Reference(fill, 128)},
        {"outside", 128, 2, frame, 1, 1, background},
    };
    for (const TCase& c : cases) {
        TBoxScene scene({2, 2, 12, 12}, fill, c.alpha, c.border, c.border_colour);
        EXPECT_EQ(scene.At(c.x, c.y), c.expected) << c.what;
    }
}

}  // namespace
}  // namespace mobu
