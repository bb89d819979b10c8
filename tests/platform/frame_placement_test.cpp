#include "platform/frame_placement.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace mobu
