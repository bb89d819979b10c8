// The frame loop: waits with the timing rules of TLoopTiming on a TFrameClock and runs
// one frame per accepted tick on the calling (main) thread. A separate timing thread is
// not needed: the wait itself is where the window front end handles its events.
#pragma once

#include <cstdint>
#include <functional>

#include "app/frame_clock.h"
#include "app/loop_timing.h"

namespace mobu {

class TFrameLoop {
public:
    TFrameLoop(TFrameClock& clock, std::function<void()> on_tick);

    // Arms the timing; call once before the first Step.
    void Start();
    // One wait and, when a frame is due, one frame. While suspended it only waits idly.
    void Step();
    // Steps until Stop() is called (from a frame or from an event handled during a wait).
    void Run();
    void Stop() { stopped_ = true; }
    bool Stopped() const { return stopped_; }

    // A suspended loop runs no frames; the first wake after Resume sees a long gap, which
    // is dropped, so paused time never reaches GameClockMs.
    void Suspend() { suspended_ = true; }
    void Resume() { suspended_ = false; }
    bool Suspended() const { return suspended_; }

    // While the display mode is being switched, due ticks run no frame.
    void SetSwitchInProgress(bool on) { switch_in_progress_ = on; }

    TFrameRateMeter& RateMeter() { return meter_; }

private:
    TFrameClock& clock_;
    std::function<void()> on_tick_;
    TLoopTiming timing_;
    TFrameRateMeter meter_;
    bool stopped_ = false;
    bool suspended_ = false;
    bool switch_in_progress_ = false;
};

}  // namespace mobu
