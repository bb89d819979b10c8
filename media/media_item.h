// TDMediaItem: the one interface every sound, music and video item offers to the media
// components. The operations keep the order of the item's virtual table; each does nothing
// or answers 0 in the base. TVideoItem adds the picture of a movie.
#pragma once

#include <cstdint>

namespace mobu {

class TDIBX;

class TDMediaItem {
public:
    virtual ~TDMediaItem() = default;

    virtual bool GetAutoRepeat() { return false; }
    virtual void SetAutoRepeat(bool) {}
    virtual int GetRepeatPos() { return 0; }
    virtual void SetRepeatPos(int) {}
    virtual int GetPan() { return 0; }
    virtual int GetVolume() { return 0; }
    virtual void SetPan(int) {}
    virtual void SetVolume(int) {}
    virtual int GetPosition() { return 0; }
    virtual void SetPosition(int) {}
    virtual int GetLength() { return 0; }
    virtual bool IsEnd() { return false; }
    // A slot without behaviour in the item's table.
    virtual void Reserved1() {}
    virtual bool IsPlaying() { return false; }
    virtual bool IsPaused() { return false; }
    virtual void Play() {}
    virtual void Pause() {}

    // Set by the manager while the window is inactive: the item was playing and paused by it.
    bool Suspended = false;
    // The manager's sound switch: a muted item keeps playing silently.
    virtual void SetMuted(bool) {}
};

class TVideoItem : public TDMediaItem {
public:
    virtual int GetSourceHeight() { return 0; }
    virtual int GetSourceWidth() { return 0; }
    virtual bool GetVisible() { return false; }
    virtual void SetVisible(bool) {}
    virtual void Reserved2() {}
    virtual bool NeedPaint() { return false; }
    virtual void SetRect(int /*left*/, int /*top*/) {}
    // The current picture as a 32-bit surface, or nullptr.
    virtual TDIBX* GetDC() { return nullptr; }
    virtual void Reserved3() {}
};

}  // namespace mobu
