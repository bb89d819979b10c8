// The time source of the frame loop. The window front end waits on its event queue; the
// tests and the headless runner use clocks of their own.
#pragma once

#include <cstdint>

namespace mobu {

class TFrameClock {
public:
    virtual ~TFrameClock() = default;
    // Milliseconds on a free-running 32-bit clock (wraps around).
    virtual uint32_t NowMs() = 0;
    // Sleeps (or handles window events) for about `ms` milliseconds without spinning.
    virtual void WaitMs(uint32_t ms) = 0;
    // Sleeps until something may have changed (used while the loop is suspended).
    virtual void WaitIdle() { WaitMs(100); }
};

}  // namespace mobu
