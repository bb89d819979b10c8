// The timing rules of the frame loop, free of any real clock so that they can be driven
// by hand:
//  - a frame is due about every 15 ms: after a frame the loop waits 15 ms minus the time
//    the frame took, and never less than 1 ms (it never spins);
//  - each accepted tick adds its length to GameClockMs (wrapping), sets FrameDeltaMs and
//    LastTickMs and runs exactly one frame: missed frames are never caught up;
//  - a gap of 300 ms or more (a stall, a modal box, a suspended loop) is dropped: no
//    frame, and GameClockMs does not move.
#pragma once

#include <cstdint>

namespace mobu {

class TLoopTiming {
public:
    static constexpr uint32_t kPeriodMs = 15;
    static constexpr uint32_t kGapMs = 300;
    static constexpr uint32_t kMinimumWaitMs = 1;

    // Arms the timing at `now_ms`: the first wait is the minimum one.
    void Start(uint32_t now_ms);

    // How long to wait before the next wake-up.
    uint32_t WaitMs() const { return wait_ms_; }

    // The wait ended at `now_ms`. Returns true when a frame is due; then the frame clock
    // (GameClockMs, FrameDeltaMs, LastTickMs) has been advanced. Returns false for a
    // dropped gap.
    bool Wake(uint32_t now_ms);

    // The frame of the accepted tick finished at `now_ms`: the next wait is the rest of
    // the period.
    void FrameDone(uint32_t now_ms);

private:
    uint32_t previous_wake_ms_ = 0;
    uint32_t wait_ms_ = kMinimumWaitMs;
};

// Frames per second as the display manager reports them: ticks are summed until two
// seconds have passed, then the rate is the frames presented in that window scaled to
// the window length.
class TFrameRateMeter {
public:
    static constexpr uint32_t kWindowMs = 2000;

    void Start(uint32_t now_ms) { previous_tick_ms_ = now_ms; }
    void FramePresented() { ++presented_frames_; }
    // Called after every tick that ran a frame.
    void Tick(uint32_t now_ms);
    double FramesPerSecond() const { return frames_per_second_; }

private:
    uint32_t accumulated_ms_ = 0;
    uint32_t previous_tick_ms_ = 0;
    uint32_t presented_frames_ = 0;
    double frames_per_second_ = 0;
};

}  // namespace mobu
