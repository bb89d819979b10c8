// Capture-mask hit test, frame advance and tile layout.
#include <gtest/gtest.h>

#include "components/image_steps.h"

namespace mobu {
namespace {

// 4 × 2 mask: the right half set.
TDIBSurface HalfMask()
{
    TDIBSurface mask(4, 2, 8);
    for (int y = 0; y < 2; ++y)
        for (int x = 2; x < 4; ++x) mask.ScanLine(y)[x] = 200;
    return mask;
}

TEST(CaptureMaskHit, ScalesBySurfaceOverComponentSize)
{
    const TDIBSurface mask = HalfMask();
    struct TCase {
        int width, height, x, y;
        bool flip_h, expected;
    } cases[] = {
        {4, 2, 1, 0, false, false},
        {4, 2, 2, 1, false, true},
        {4, 2, 1, 0, true, true},   // mirrored
        {8, 4, 3, 3, false, false},  // an explicit size twice the picture (zoom was set to 0)
        {8, 4, 4, 0, false, true},
        {2, 1, 1, 0, false, true},   // half size
        {8, 4, 8, 0, false, false},  // outside the component
        {0, 4, 0, 0, false, false},  // no size: never hit, never a division by zero
        {4, 0, 0, 0, false, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CaptureMaskHit(mask, c.width, c.height, c.x, c.y, c.flip_h, false), c.expected)
            << c.width << "x" << c.height << " at " << c.x << "," << c.y;
    TDIBSurface weak(1, 1, 8);
    weak.ScanLine(0)[0] = 127;
    EXPECT_FALSE(CaptureMaskHit(weak, 1, 1, 0, 0, false, false));
}

TEST(FrameAdvance, ThreeFramesPlayOnceThenRest)
{
    const std::vector<int32_t> delays{100, 100, 100};
    TFrameClock clock;
    EnterFrame(clock, delays, 0, 0);
    std::vector<int> seen{clock.Index};
    int finished = 0;
    for (int update = 0; update < 8; ++update) {
        if (AdvanceFrames(clock, delays, 50, false, 0) == TFrameAdvanceResult::Finished) ++finished;
        if (seen.back() != clock.Index) seen.push_back(clock.Index);
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(finished, 3);  // every update while it rests on the last frame (from 300 ms on)
}

TEST(FrameAdvance, RepeatWrapsAndALongStepMovesSeveralFrames)
{
    const std::vector<int32_t> delays{100, 100, 100};
    TFrameClock clock;
    EnterFrame(clock, delays, 0, 0);
    EXPECT_EQ(AdvanceFrames(clock, delays, 250, true, 0), TFrameAdvanceResult::Running);
    EXPECT_EQ(clock.Index, 2);
    AdvanceFrames(clock, delays, 60, true, 0);
    EXPECT_EQ(clock.Index, 0);
}

TEST(FrameAdvance, NegativeLastFrameWaitCannotHangTheUpdate)
{
    // The last-frame wait cancels the whole animation: each cycle adds nothing.
    const std::vector<int32_t> delays{100, 100, 100};
    TFrameClock clock;
    EnterFrame(clock, delays, 0, -300);
    for (int update = 0; update < 5; ++update) {
        EXPECT_EQ(AdvanceFrames(clock, delays, 16, true, -300), TFrameAdvanceResult::Running);
        EXPECT_GE(clock.Index, 0);
        EXPECT_LT(clock.Index, 3);
    }
    // Even further below: still one cycle per update.
    EnterFrame(clock, delays, 2, -100000);
    AdvanceFrames(clock, delays, 16, true, -100000);
}

TEST(TileLayout, StepsDistancesAndWrappedScroll)
{
    EXPECT_FALSE(LayoutTile(0, 0, 0, 0, 5, 5).has_value());  // nothing to tile
    EXPECT_FALSE(LayoutTile(0, 10, 20, 20, 0, 0).has_value());
    auto plain = LayoutTile(10, 6, 0, 0, -3, 13);
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->UsesDistance);
    EXPECT_EQ(plain->StepX, 10);
    EXPECT_EQ(plain->ShiftX, 7);  // negative scroll wraps too
    EXPECT_EQ(plain->ShiftY, 1);
    auto spaced = LayoutTile(10, 6, 5, 2, 0, 0);  // x counts (5 >= 10 / 2), y does not (2 < 3)
    ASSERT_TRUE(spaced);
    EXPECT_TRUE(spaced->UsesDistance);
    EXPECT_EQ(spaced->StepX, 5);
    EXPECT_EQ(spaced->StepY, 6);
}

}  // namespace
}  // namespace mobu
