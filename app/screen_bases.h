// What the shell asks of the screen bases each frame and where it routes input. The
// component list implements this once it exists; until then TBlankScreenBases keeps the
// input state and draws a black screen.
#pragma once

#include <cstdint>

#include "platform/frame_buffer.h"
#include "app/input_script.h"

namespace mobu {

class TCallManComponents;

class TScreenBases {
public:
    virtual ~TScreenBases() = default;

    // Size of both bases (the project's screen size).
    virtual void SetSize(int32_t width, int32_t height) = 0;
    // Per-frame input pass: edges, key repeat, queued events.
    virtual void UpdateInput() = 0;
    // Advances every component one frame.
    virtual void Animate() = 0;
    // Draws the bases (and a running transition) onto the frame.
    virtual void Render(FrameBuffer& frame) = 0;

    // Input from the window layer. Key codes are virtual-key codes below 256.
    virtual void KeyEvent(int code, bool down) = 0;
    virtual void KeyClick(int code) = 0;
    virtual void ClearKeys() = 0;
    // Mouse position in base coordinates, given to both bases.
    virtual void MousePosition(int32_t x, int32_t y) = 0;
    // A press sets the held flags of both bases (a middle press clears them) and the click
    // of the active base.
    virtual void MouseButtonDown(TMouseButton button) = 0;
    // Any release clears the held flags of both bases.
    virtual void MouseButtonUp() = 0;
    virtual void Wheel(bool down) = 0;

    // Around a display change: the surfaces are let go, then re-created and all redrawn.
    virtual void ReleaseSurfaces() {}
    virtual void RestoreSurfaces() {}

    // What the interpreter sees of the components (their events, names and registrations);
    // none when there are no components.
    virtual TCallManComponents* CallManComponents() { return nullptr; }
};

class TBlankScreenBases : public TScreenBases {
public:
    void SetSize(int32_t width, int32_t height) override;
    void UpdateInput() override;
    void Animate() override {}
    void Render(FrameBuffer& frame) override;

    void KeyEvent(int code, bool down) override;
    void KeyClick(int code) override;
    void ClearKeys() override;
    void MousePosition(int32_t x, int32_t y) override;
    void MouseButtonDown(TMouseButton button) override;
    void MouseButtonUp() override;
    void Wheel(bool down) override;

    int32_t width = 0, height = 0;
    bool key_down[256] = {};
    bool key_clicked[256] = {};  // went down since the last input pass
    int32_t mouse_x = 0, mouse_y = 0;
    bool left_held = false, right_held = false;
    bool left_new = false, right_new = false;
    bool wheel_down_new = false, wheel_up_new = false;
};

}  // namespace mobu
