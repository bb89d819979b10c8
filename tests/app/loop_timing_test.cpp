#include "app/loop_timing.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/frame_loop.h"
#include "core/globals.h"

namespace mobu {
namespace {

// A clock that moves only when the loop waits or a frame spends time.
class TFakeClock : public TFrameClock {
public:
    uint32_t NowMs() override { return now; }
    void WaitMs(uint32_t ms) override
    {
        waits.push_back(ms);
        now += ms + extra_wait_ms;
        extra_wait_ms = 0;
    }
    void WaitIdle() override { now += 100; ++idle_waits; }

    uint32_t now = 1000;
    uint32_t extra_wait_ms = 0;  // the next wait oversleeps by this much (a stall)
    std::vector<uint32_t> waits;
    int idle_waits = 0;
};

class LoopTimingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GameClockMs = 0;
        FrameDeltaMs = 0;
        LastTickMs = 0;
    }
};

TEST_F(LoopTimingTest, WaitsThePeriodMinusTheFrameTimeAndAtLeastOneMillisecond)
{
    TFakeClock clock;
    uint32_t frame_cost = 0;
    int frames = 0;
    TFrameLoop loop(clock, [&] { clock.now += frame_cost; ++frames; });
    loop.Start();

    loop.Step();  // first wait is the minimum one
    EXPECT_EQ(clock.waits.back(), 1u);
    EXPECT_EQ(frames, 1);

    struct Case { uint32_t cost; uint32_t expected_wait; };
    for (Case c : {Case{0, 15}, Case{4, 11}, Case{14, 1}, Case{15, 1}, Case{40, 1}, Case{0, 15}}) {
        frame_cost = c.cost;
        loop.Step();   // this frame costs c.cost ...
        loop.Step();   // ... so the wait before the next one is the rest of the period
        EXPECT_EQ(clock.waits.back(), c.expected_wait) << "frame cost " << c.cost;
    }
}

TEST_F(LoopTimingTest, SteadyLoopRunsAboutSixtySixFramesPerSecond)
{
    TFakeClock clock;
    int frames = 0;
    TFrameLoop loop(clock, [&] { clock.now += 3; ++frames; });
    loop.Start();
    uint32_t start = clock.now;
    while (clock.now - start < 3000) loop.Step();
    EXPECT_NEAR(frames, 200, 2);
    EXPECT_NEAR(GameClockMs, 3000, 16);
    EXPECT_EQ(FrameDeltaMs, 15);
    EXPECT_NEAR(loop.RateMeter().FramesPerSecond(), 0, 0);  // nothing was presented
}

TEST_F(LoopTimingTest, GapOf350MsIsDroppedWithoutAFrame)
{
    TFakeClock clock;
    int frames = 0;
    TFrameLoop loop(clock, [&] { ++frames; });
    loop.Start();
    loop.Step();
    loop.Step();
    int32_t clock_before = GameClockMs;
    uint32_t last_tick_before = LastTickMs;
    int frames_before = frames;

    clock.extra_wait_ms = 350 - 15;  // the next wake comes 350 ms after the previous one
    loop.Step();
    EXPECT_EQ(frames, frames_before);
    EXPECT_EQ(GameClockMs, clock_before);
    EXPECT_EQ(LastTickMs, last_tick_before);
    EXPECT_EQ(clock.waits.back(), 15u);

    loop.Step();  // after a dropped gap the loop waits the minimum and goes on
    EXPECT_EQ(clock.waits.back(), 1u);
    EXPECT_EQ(frames, frames_before + 1);
    EXPECT_EQ(GameClockMs, clock_before + 1);
    EXPECT_EQ(FrameDeltaMs, 1);
}

TEST_F(LoopTimingTest, GapOf299MsIsStillAccepted)
{
    TLoopTiming timing;
    timing.Start(0);
    EXPECT_TRUE(timing.Wake(299));
    EXPECT_EQ(GameClockMs, 299);
    EXPECT_FALSE(timing.Wake(299 + 300));
    EXPECT_EQ(GameClockMs, 299);
}

TEST_F(LoopTimingTest, PlatformClockWrapIsAShortTick)
{
    TLoopTiming timing;
    timing.Start(0xFFFFFFF8u);
    EXPECT_TRUE(timing.Wake(7));
    EXPECT_EQ(FrameDeltaMs, 15);
    EXPECT_EQ(LastTickMs, 7u);
}

TEST_F(LoopTimingTest, GameClockWrapsInsteadOfOverflowing)
{
    GameClockMs = INT32_MAX - 5;
    TLoopTiming timing;
    timing.Start(100);
    EXPECT_TRUE(timing.Wake(115));
    EXPECT_EQ(GameClockMs, INT32_MIN + 9);
}

TEST_F(LoopTimingTest, SuspendedLoopRunsNoFramesAndDropsThePause)
{
    TFakeClock clock;
    int frames = 0;
    TFrameLoop loop(clock, [&] { ++frames; });
    loop.Start();
    loop.Step();
    loop.Suspend();
    for (int i = 0; i < 5; ++i) loop.Step();
    EXPECT_EQ(frames, 1);
    EXPECT_EQ(clock.idle_waits, 5);
    int32_t clock_before = GameClockMs;
    loop.Resume();
    loop.Step();  // 500 ms passed: dropped
    EXPECT_EQ(frames, 1);
    EXPECT_EQ(GameClockMs, clock_before);
    loop.Step();
    EXPECT_EQ(frames, 2);
}

TEST_F(LoopTimingTest, NoFrameWhileTheDisplayModeIsSwitching)
{
    TFakeClock clock;
    int frames = 0;
    TFrameLoop loop(clock, [&] { ++frames; });
    loop.Start();
    loop.SetSwitchInProgress(true);
    loop.Step();
    loop.Step();
    EXPECT_EQ(frames, 0);
    loop.SetSwitchInProgress(false);
    loop.Step();
    EXPECT_EQ(frames, 1);
}

TEST_F(LoopTimingTest, FrameRateIsMeasuredOverTwoSeconds)
{
    TFrameRateMeter meter;
    meter.Start(0);
    uint32_t now = 0;
    for (int i = 0; i < 133; ++i) {  // 133 ticks of 15 ms = 1995 ms: not yet
        now += 15;
        meter.FramePresented();
        meter.Tick(now);
    }
    EXPECT_EQ(meter.FramesPerSecond(), 0);
    now += 15;  // 2010 ms, 134 frames
    meter.FramePresented();
    meter.Tick(now);
    EXPECT_DOUBLE_EQ(meter.FramesPerSecond(), 134 * 2000.0 / 2010);
}

}  // namespace
}  // namespace mobu
