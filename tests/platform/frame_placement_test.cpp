#include "platform/frame_placement.h"

#include <gtest/gtest.h>

#include <string>

namespace mobu {
namespace {

TEST(FramePlacement, WholeFactorWhenItFitsWithBlackBars)
{
    struct Case { int ow, oh; TPlacement expected; };
    for (Case c : {Case{1920, 1080, {320, 60, 1280, 960}}, Case{640, 480, {0, 0, 640, 480}},
                   Case{1280, 1024, {0, 32, 1280, 960}}, Case{800, 600, {80, 60, 640, 480}},
                   Case{320, 480, {0, 120, 320, 240}}}) {
        TPlacement placed = PlaceFrame(640, 480, c.ow, c.oh);
        EXPECT_EQ(placed.x, c.expected.x) << c.ow << "x" << c.oh;
        EXPECT_EQ(placed.y, c.expected.y) << c.ow << "x" << c.oh;
        EXPECT_EQ(placed.width, c.expected.width) << c.ow << "x" << c.oh;
        EXPECT_EQ(placed.height, c.expected.height) << c.ow << "x" << c.oh;
    }
}

TEST(FramePlacement, OutputPointsMapBackToGameCoordinates)
{
    TPlacement placed = PlaceFrame(640, 480, 1920, 1080);  // factor 2 at (320, 60)
    int32_t x = 0, y = 0;
    OutputToGame(placed, 640, 480, 320, 60, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    OutputToGame(placed, 640, 480, 1599, 1019, x, y);
    EXPECT_EQ(x, 639);
    EXPECT_EQ(y, 479);
    OutputToGame(placed, 640, 480, 319, 59, x, y);  // in the bars: outside the game
    EXPECT_EQ(x, -1);
    EXPECT_EQ(y, -1);
}

// Keeping the aspect ratio fills one side at any factor; stretching fills both. A 640 x 480
// game on the common wide screens fills their height.
TEST(FramePlacement, AspectAndStretchModes)
{
    struct Case { TScaleMode mode; int ow, oh; TPlacement expected; bool whole; };
    for (Case c : {Case{TScaleMode::Aspect, 1366, 768, {171, 0, 1024, 768}, false},
                   Case{TScaleMode::Aspect, 1920, 1080, {240, 0, 1440, 1080}, false},
                   Case{TScaleMode::Aspect, 1280, 960, {0, 0, 1280, 960}, true},
                   Case{TScaleMode::Aspect, 800, 900, {0, 150, 800, 600}, false},
                   Case{TScaleMode::Stretch, 1366, 768, {0, 0, 1366, 768}, false},
                   Case{TScaleMode::WholeOrAspect, 1366, 768, {363, 144, 640, 480}, true},
                   Case{TScaleMode::WholeOrAspect, 600, 450, {0, 0, 600, 450}, false}}) {
        TPlacement placed = PlaceFrame(640, 480, c.ow, c.oh, c.mode);
        std::string name = std::to_string(static_cast<int>(c.mode)) + " " + std::to_string(c.ow) + "x" +
                           std::to_string(c.oh);
        EXPECT_EQ(placed.x, c.expected.x) << name;
        EXPECT_EQ(placed.y, c.expected.y) << name;
        EXPECT_EQ(placed.width, c.expected.width) << name;
        EXPECT_EQ(placed.height, c.expected.height) << name;
        EXPECT_EQ(IsWholeScale(placed, 640, 480), c.whole) << name;
    }
}

// The window's factor: the one asked for, lowered until the window fits (never below 1);
// 0 asks for the largest that fits. The strip's 22 pixels are not scaled.
TEST(FramePlacement, WindowScaleFitsTheUsableArea)
{
    struct Case { int requested, usable_width, usable_height, expected; };
    for (Case c : {Case{1, 1920, 1050, 1}, Case{2, 1920, 1050, 2}, Case{3, 1920, 1050, 2}, Case{0, 1920, 1050, 2},
                   Case{0, 1920, 1461, 2}, Case{0, 1920, 1462, 3}, Case{8, 600, 400, 1}, Case{0, 600, 400, 1}}) {
        EXPECT_EQ(FitWindowScale(c.requested, 640, 480, 22, c.usable_width, c.usable_height), c.expected)
            << c.requested << " in " << c.usable_width << "x" << c.usable_height;
    }
}

}  // namespace
}  // namespace mobu
