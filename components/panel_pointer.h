// TPanelPointer: the mouse pointer the component list chooses for the panel. The cursor step
// of the mouse pass names a cursor file (the control's under the mouse, else the game's
// default "@Cursor", else none for the system arrow); the file is read through the virtual
// file manager only when it differs from the one loaded (`CursorPath`), and decoded shapes
// are kept by path. Animated cursors advance on the frame clock in jiffies of 1/60 s.
//
// The pointer is shown by a TPointerDevice that the front end installs (the SDL window, or
// the headless runner recording what would be shown); without one, nothing is shown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "graphics/cursor_shape.h"

namespace mobu {

class TPointerDevice {
public:
    virtual ~TPointerDevice() = default;
    // Shows frame `frame` of `shape`, read from `path` (a virtual path, cp932). The same path
    // always comes with the same shape, so the device may keep what it made from it by path.
    virtual void ShowShape(const std::string& path, const TCursorShape& shape, size_t frame) = 0;
    // Shows the system arrow.
    virtual void ShowArrow() = 0;
};

// The device of the running player (null: none). Not owned.
void SetPointerDevice(TPointerDevice* device);
TPointerDevice* PointerDevice();

class TPanelPointer {
public:
    // Most decoded shapes kept; the cache starts again when a game names more.
    static constexpr size_t kMaxCachedShapes = 64;

    // The cursor step: `control_path` is the cursor of the control under the mouse ("" for
    // none or no control), `default_path` the game's default cursor.
    void Choose(const std::string& control_path, const std::string& default_path);
    // Lets `elapsed_ms` of the frame clock pass for an animated pointer.
    void Advance(int32_t elapsed_ms);
    // Shows the current choice on the device again (a new device, or after a display change).
    void Reshow();
    // Forgets the loaded cursor and the decoded shapes (the next step loads afresh).
    void Clear();

    // The cursor file loaded now ("" for the system arrow; also set when the file could not
    // be read, so it is not read again on every frame).
    const std::string& CursorPath() const { return cursor_path_; }
    // The shape shown (null: the system arrow), and its current frame and step.
    const TCursorShape* Shape() const { return shape_.get(); }
    size_t FrameIndex() const;
    size_t StepIndex() const { return step_; }

private:
    std::shared_ptr<const TCursorShape> Load(const std::string& path);
    void Show();

    std::string cursor_path_;
    std::shared_ptr<const TCursorShape> shape_;
    size_t step_ = 0;
    int64_t elapsed_ = 0;  // in 1/60 ms since the step began
    std::map<std::string, std::shared_ptr<const TCursorShape>> cache_;  // by lowered path; null = unreadable
};

}  // namespace mobu
