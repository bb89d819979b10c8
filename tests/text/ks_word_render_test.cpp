#include <gtest/gtest.h>

#include "graphics/dibx.h"
#include "text/ks_word.h"

namespace mobu {
namespace {

struct Scene {
    TKsWord engine;
    TWdPageList pages;
    TDIBX target;

    explicit Scene(const std::string& text)
    {
        engine.FontSize = 20;
        engine.Width = 200;
        engine.Height = 60;
        engine.OriginX = 10;
        engine.OriginY = 5;
        engine.FontColor = 0xFFFFFF;
        engine.HoverColor = 0x00FF00;  // green
        engine.LinkColor = 0xFF0000;   // blue
        engine.SetText({text}, 0);
        engine.Layout(pages);
        engine.ShowAll();
        engine.Render(*pages.at(0), false);
        target.SetSize(220, 70, 32);
        Paint();
    }
    void Paint()
    {
        target.Clear(0);
        engine.Target = &target;
        engine.Clip = TRect{0, 0, 220, 70};
        engine.Paint(*pages.at(0));
    }
    // Pixels whose strongest channel is `shift` (16 red, 8 green, 0 blue), in columns [x0, x1).
    int Pixels(int shift, int x0 = 0, int x1 = 220)
    {
        int n = 0;
        for (int y = 0; y < 70; ++y)
            for (int x = x0; x < x1; ++x) {
                const uint32_t p = target.GetPixel(x, y);
                const uint32_t c = p >> shift & 0xFF;
                if (c > 100 && c >= (p >> 16 & 0xFF) && c >= (p >> 8 & 0xFF) && c >= (p & 0xFF) &&
                    ((p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF)) < c * 2)
                    ++n;
            }
        return n;
    }
};

TEST(KsWordRender, LinksHoverAndRedrawTheirGroup)
{
    Scene scene("<A HREF=x>ab</A>c");
    const int blue = scene.Pixels(0, 10, 50);
    EXPECT_GT(blue, 10);  // the link colour
    EXPECT_EQ(scene.Pixels(8), 0);
    // Hover over "a": the group turns green and its glyphs and the one after are redrawn.
    scene.engine.SetHover(*scene.pages[0], 15, 15);
    EXPECT_EQ(scene.engine.LinkText(*scene.pages[0]), "ab");
    EXPECT_EQ(scene.engine.ChangedRects().size(), 3u);
    scene.Paint();
    EXPECT_GT(scene.Pixels(8, 10, 50), 10);
    EXPECT_EQ(scene.Pixels(0, 10, 50), 0);
    // Away: back to the link colour.
    scene.engine.SetHover(*scene.pages[0], -1, -1);
    EXPECT_EQ(scene.engine.LinkText(*scene.pages[0]), "");
    scene.Paint();
    EXPECT_EQ(scene.Pixels(8), 0);
    EXPECT_GT(scene.Pixels(0, 10, 50), 10);
}

TEST(KsWordRender, OpacityFullRenderAndClip)
{
    Scene scene("<FONT COLOR=#FF0000 BORDER=2 BCOLOR=#0000FF>AB</FONT>");
    EXPECT_GT(scene.Pixels(16), 10);  // red text
    EXPECT_GT(scene.Pixels(0), 10);   // blue outline
    // A full render makes every glyph transparent: nothing is painted.
    scene.engine.Render(*scene.pages[0], true);
    scene.Paint();
    EXPECT_EQ(scene.Pixels(16) + scene.Pixels(0), 0);
    // Half opacity: the red is at most about half.
    for (auto& row : scene.pages[0]->Rows)
        for (auto* g : row->Glyphs)
            if (g->IsReal()) static_cast<TWdReal*>(g)->Opacity = 128;
    scene.Paint();
    uint32_t max_red = 0;
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 220; ++x) max_red = std::max(max_red, scene.target.GetPixel(x, y) >> 16 & 0xFF);
    EXPECT_GT(max_red, 100u);
    EXPECT_LE(max_red, 129u);
    // Nothing is painted outside the engine's area.
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 220; ++x)
            if (x < 10 || y < 5 || x >= 210 || y >= 65) {
                ASSERT_EQ(scene.target.GetPixel(x, y), 0u) << x << "," << y;
            }
}

}  // namespace
}  // namespace mobu
