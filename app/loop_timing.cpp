#include "app/loop_timing.h"

#include "core/globals.h"

namespace mobu {

void TLoopTiming::Start(uint32_t now_ms)
{
    previous_wake_ms_ = now_ms;
    wait_ms_ = kMinimumWaitMs;
}

bool TLoopTiming::Wake(uint32_t now_ms)
{
    uint32_t delta = now_ms - previous_wake_ms_;  // the clock wraps: unsigned difference
    previous_wake_ms_ = now_ms;
    if (delta >= kGapMs) {
        wait_ms_ = kMinimumWaitMs;
        return false;
    }
    AdvanceGameClock(static_cast<int32_t>(delta));
    FrameDeltaMs = static_cast<int32_t>(delta);
    LastTickMs = now_ms;
    return true;
}

void TLoopTiming::FrameDone(uint32_t now_ms)
{
    // The rest of the period after the time this frame took. Waiting 15 minus the whole
    // tick length instead (wait included) would alternate 1 ms and 14 ms waits and run two
    // frames per period on a clock with millisecond waits.
    uint32_t spent = now_ms - previous_wake_ms_;
    wait_ms_ = spent + kMinimumWaitMs >= kPeriodMs ? kMinimumWaitMs : kPeriodMs - spent;
}

void TFrameRateMeter::Tick(uint32_t now_ms)
{
    accumulated_ms_ += now_ms - previous_tick_ms_;
    previous_tick_ms_ = now_ms;
    if (accumulated_ms_ >= kWindowMs) {
        frames_per_second_ = presented_frames_ * 2000.0 / accumulated_ms_;
        accumulated_ms_ = 0;
        presented_frames_ = 0;
    }
}

}  // namespace mobu
