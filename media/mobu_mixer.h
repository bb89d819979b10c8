// TMobuMixer and its fades: move an item's volume from a start to an end level over a
// duration measured on the frame clock (milliseconds of play).
#pragma once

#include <cstdint>

namespace mobu {

class TDMediaItem;

class TMobuMixer {
public:
    TMobuMixer(TDMediaItem* item, int duration_ms) : Item(item), Duration(duration_ms) {}
    virtual ~TMobuMixer() = default;

    // One step at frame-clock time `now_ms`; true once the fade is finished.
    bool Tick(uint32_t now_ms);

    uint32_t StartTick = 0;
    int StartVolume = 0;
    TDMediaItem* Item;
    int EndVolume = 0;
    bool Started = false;
    int Duration;

protected:
    // The first step: sets the start and end levels (and may start the item).
    virtual void Begin() = 0;
};

// Starts the item silent and raises it to `end_volume`.
class TMobuMixerFadein : public TMobuMixer {
public:
    TMobuMixerFadein(TDMediaItem* item, int duration_ms, int end_volume)
        : TMobuMixer(item, duration_ms)
    {
        EndVolume = end_volume;
    }

protected:
    void Begin() override;
};

// Lowers the item from its current volume to silence.
class TMobuMixerFadeout : public TMobuMixer {
public:
    using TMobuMixer::TMobuMixer;

protected:
    void Begin() override;
};

}  // namespace mobu
