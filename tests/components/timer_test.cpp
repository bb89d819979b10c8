// The timer component: its interval on the game clock, one notification queued at a time
// (a slow handler delays the next one, the interval stays anchored), removal with
// PR_AUTOSCRAP once its event is handled, the setters that restart it, clock wrap-around,
// and its saved form.
#include <gtest/gtest.h>

#include <vector>

#include "core/globals.h"
#include "components/mobu_base_list.h"
#include "components/mobu_timer.h"

namespace mobu {
namespace {

// Runs frames of `tick` ms on a list holding one timer; the interpreter is simulated: each
// waiting notification starts at once and its handler runs for `handler_frames` frames.
struct TTimerRun {
    TMobuBaseList list;
    TMobuTimer* timer = nullptr;
    std::vector<int> fired;  // frames at which a notification was posted
    std::vector<int> running_until;
    int frame = 0;

    explicit TTimerRun(int32_t delay, int32_t start_clock = 0)
    {
        GameClockMs = start_clock;
        FrameDeltaMs = 15;
        timer = static_cast<TMobuTimer*>(list.CreateComponent(LT_TIMER));
        timer->SetName("tick");
        timer->SetProp(PR_ONNOTIFY, TPropValue::Text("h.msb:on"));
        timer->SetProp(PR_DELAY, TPropValue::Int(delay));
    }
    void Frames(int count, int handler_frames)
    {
        for (int i = 0; i < count; ++i) {
            ++frame;
            AdvanceGameClock(FrameDeltaMs);
            TTimerList& events = list.Events();
            // Handlers that have run their time end before the update pass.
            for (int32_t e = 0; e < events.Count(); ++e) {
                if (events.At(e).Level != 0 && frame > running_until[static_cast<size_t>(events.At(e).Level - 1)]) {
                    events.SetLevel(e, -1);
                }
            }
            events.RemoveLevel(-1);
            list.UpdatePass();
            for (int32_t e = 0; e < events.Count(); ++e) {
                if (events.At(e).Level != 0) continue;
                EXPECT_EQ(events.At(e).Code, PR_ONNOTIFY);
                EXPECT_EQ(events.At(e).Handler, "h.msb:on");
                EXPECT_TRUE(events.At(e).Params.empty());
                fired.push_back(frame);
                running_until.push_back(frame + handler_frames);
                events.SetLevel(e, static_cast<int32_t>(running_until.size()));
            }
        }
    }
};

struct TTimerCase {
    const char* name;
    int32_t delay;
    int handler_frames;
    int frames;
    std::vector<int> fired;
};

class TimerIntervals : public ::testing::TestWithParam<TTimerCase> {};

// 15 ms frames; the clock reads 15 x frame. Delay 100: fires at 105, 210, 300, 405 (each
// interval counted from the previous start tick + 100). Delay 1000 with a handler of 1.5 s:
// the start tick moves at 2010 while the handler runs, so the next event waits for 3000.
TEST_P(TimerIntervals, FiresAtTheExpectedFrames)
{
    const TTimerCase& c = GetParam();
    TTimerRun run(c.delay);
    run.Frames(c.frames, c.handler_frames);
    EXPECT_EQ(run.fired, c.fired) << c.name;
}

const TTimerCase kTimerCases[] = {
    {"stopped", -1, 0, 40, {}},
    {"every update", 0, 0, 5, {1, 2, 3, 4, 5}},
    {"every update, slow handler", 0, 2, 7, {1, 4, 7}},
    {"one frame", 15, 0, 4, {1, 2, 3, 4}},
    {"100 ms", 100, 0, 30, {7, 14, 20, 27}},
    {"1000 ms", 1000, 0, 140, {67, 134}},
    {"1000 ms, handler of 1.5 s", 1000, 100, 210, {67, 200}},
};

INSTANTIATE_TEST_SUITE_P(Delays, TimerIntervals, ::testing::ValuesIn(kTimerCases));

TEST(Timer, AutoScrapRemovesItOnceItsEventIsHandled)
{
    TTimerRun run(100);
    run.timer->SetProp(PR_AUTOSCRAP, TPropValue::Flag(true));
    run.Frames(7, 5);
    ASSERT_EQ(run.fired, std::vector<int>{7});
    run.Frames(5, 5);
    EXPECT_TRUE(run.list.IsRegistered(run.timer)) << "its handler still runs";
    run.Frames(1, 5);  // the handler ended before this update
    EXPECT_EQ(run.list.FindComponent("tick"), nullptr);
}

TEST(Timer, PausedTimerWaitsAndRestartsItsInterval)
{
    TTimerRun run(100);
    run.Frames(5, 0);
    run.timer->SetProp(PR_PAUSED, TPropValue::Flag(true));
    run.Frames(20, 0);
    EXPECT_TRUE(run.fired.empty());
    run.timer->SetProp(PR_PAUSED, TPropValue::Flag(false));  // at clock 375
    run.Frames(7, 0);
    EXPECT_EQ(run.fired, std::vector<int>{32});  // 480 - 375 >= 100
}

TEST(Timer, SettersDropItsWaitingEventsAndRestartTheInterval)
{
    TTimerRun run(0);
    run.list.UpdatePass();
    ASSERT_TRUE(run.list.Events().IsQueued(run.timer, PR_ONNOTIFY));
    GameClockMs = 1234;
    run.timer->SetProp(PR_DELAY, TPropValue::Int(50));
    EXPECT_FALSE(run.list.Events().IsQueued(run.timer, PR_ONNOTIFY));
    EXPECT_EQ(run.timer->StartTick, 1234);
    EXPECT_EQ(run.timer->GetProp(PR_DELAY).AsInt(), 50);
    // A running handler is not dropped.
    run.list.Events().Post(TTimerData{"h.msb:on", run.timer, PR_ONNOTIFY, 1, {}});
    run.timer->SetProp(PR_ONNOTIFY, TPropValue::Text("h.msb:other"));
    EXPECT_TRUE(run.list.Events().IsQueued(run.timer, PR_ONNOTIFY));
    // Setting PR_PAUSED to the value it has keeps the interval.
    GameClockMs = 2000;
    run.timer->SetProp(PR_PAUSED, TPropValue::Flag(false));
    EXPECT_EQ(run.timer->StartTick, 1234);
}

TEST(Timer, IntervalSurvivesTheClockWrapping)
{
    TTimerRun run(100, INT32_MAX - 40);
    run.Frames(30, 0);
    EXPECT_EQ(run.fired, (std::vector<int>{7, 14, 20, 27}));
}

TEST(Timer, SavedFormRoundTrips)
{
    TTimerRun run(250);
    run.timer->SetProp(PR_AUTOSCRAP, TPropValue::Flag(true));
    run.timer->Fired = true;
    run.timer->TimerPaused = true;
    ByteWriter out;
    run.timer->SaveToStream(out);
    GameClockMs = 777;
    TMobuBaseList other;
    TMobuTimer loaded(&other);
    ByteReader in(out.Bytes());
    loaded.LoadFromStream(in, kComponentSaveVersion);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(loaded.Name(), "tick");
    EXPECT_EQ(loaded.OnNotify, "h.msb:on");
    EXPECT_EQ(loaded.Delay, 250);
    EXPECT_TRUE(loaded.TimerPaused);
    EXPECT_TRUE(loaded.AutoScrap);
    EXPECT_TRUE(loaded.Fired);
    EXPECT_EQ(loaded.StartTick, 777);
}

// Hand-built forms: before version 104 neither the priority offset nor PR_AUTOSCRAP and
// the fired flag were saved.
TEST(Timer, OldSavedFormHasNoAutoScrap)
{
    ByteWriter out;
    out.String("t");
    out.I32(3);         // priority
    out.String("a.msb");  // OnNotify
    out.I32(40);
    out.U8(1);
    TMobuBaseList list;
    TMobuTimer loaded(&list);
    ByteReader in(out.Bytes());
    loaded.LoadFromStream(in, 103);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(loaded.OnNotify, "a.msb");
    EXPECT_EQ(loaded.Delay, 40);
    EXPECT_TRUE(loaded.TimerPaused);
    EXPECT_FALSE(loaded.AutoScrap);
    // Cut short: the reader refuses it.
    ByteReader cut(std::string_view(out.Bytes()).substr(0, out.Size() - 3));
    TMobuTimer broken(&list);
    EXPECT_ANY_THROW(broken.LoadFromStream(cut, 103));
}

}  // namespace
}  // namespace mobu
