// What the media commands (MovieStop, MediaPlay) and film sound tracks need of a component
// that plays: its play state (the stored LP_* mode), whether it has played to its end, and
// the fade time it stops with. Sounds implement it; others (videos, cinemas) follow.
#pragma once

#include <cstdint>
#include <string>

namespace mobu {

class TMediaPlayState {
public:
    virtual ~TMediaPlayState() = default;
    // The stored play mode (LP_PLAY ... LP_STOPFADE).
    virtual int PlayState() const = 0;
    // Played to its end without repeating.
    virtual bool PlayFinished() const = 0;
    // The source the component plays ("" when none).
    virtual const std::string& MediaSource() const = 0;
    // Whether its item plays now.
    virtual bool MediaPlaying() = 0;
    // The fade time of the next fade (PR_DELAY).
    virtual void SetFadeTime(int32_t ms) = 0;
};

}  // namespace mobu
