#include "app/frame_loop.h"

#include <utility>

namespace mobu {

TFrameLoop::TFrameLoop(TFrameClock& clock, std::function<void()> on_tick)
    : clock_(clock), on_tick_(std::move(on_tick))
{
}

void TFrameLoop::Start()
{
    uint32_t now = clock_.NowMs();
    timing_.Start(now);
    meter_.Start(now);
}

void TFrameLoop::Step()
{
    if (suspended_) {
        clock_.WaitIdle();
        return;
    }
    clock_.WaitMs(timing_.WaitMs());
    if (stopped_ || suspended_) return;
    uint32_t now = clock_.NowMs();
    if (!timing_.Wake(now)) return;
    if (!switch_in_progress_ && on_tick_) {
        on_tick_();
        meter_.Tick(now);
    }
    timing_.FrameDone(clock_.NowMs());
}

void TFrameLoop::Run()
{
    while (!stopped_) Step();
}

}  // namespace mobu
