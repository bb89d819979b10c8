// The SDL window of the window front end: a client area holding the toolbar strip above
// the game screen, the event pump that turns SDL events into the player's own terms
// (virtual-key codes, game coordinates, strip buttons), full screen with the frame scaled
// and centred, and message boxes through SDL. What the events mean is the owner's business.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/frame_buffer.h"
#include "platform/frame_placement.h"
#include "platform/message_box.h"
#include "platform/toolbar_strip.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
union SDL_Event;

namespace mobu {

enum class TPointerButton { Left, Right, Middle };

// What the window reports to its owner, in game terms.
class TWindowEvents {
public:
    virtual ~TWindowEvents() = default;
    virtual void KeyDown(int virtual_key, bool repeat) = 0;
    virtual void KeyUp(int virtual_key) = 0;
    // The mouse over the game screen, in game coordinates (outside the screen too).
    virtual void MouseMove(int32_t game_x, int32_t game_y) = 0;
    virtual void MouseDown(TPointerButton button) = 0;
    virtual void MouseUp() = 0;
    virtual void MouseWheel(bool down) = 0;
    virtual void Activated() = 0;
    virtual void Deactivated() = 0;
    // F11, Alt+Enter and the strip's second button.
    virtual void FullScreenAsked() = 0;
    // The strip's first button.
    virtual void ExitAsked() = 0;
};

// Client size and where the game screen sits in it.
struct TWindowLayout {
    int32_t client_width = 0;
    int32_t client_height = 0;
    bool toolbar_visible = false;
    int32_t panel_x = 0, panel_y = 0;
};

// Why no window can be shown (no DISPLAY or WAYLAND_DISPLAY, and no SDL_VIDEODRIVER chosen
// by hand); "" when a display may be there.
std::string NoDisplayReason();

class TSdlWindow {
public:
    // Opens SDL's video and a hidden window; null with the reason in `error` when there is
    // no display to open it on.
    static std::unique_ptr<TSdlWindow> Open(std::string& error);
    ~TSdlWindow();
    TSdlWindow(const TSdlWindow&) = delete;
    TSdlWindow& operator=(const TSdlWindow&) = delete;

    void SetEvents(TWindowEvents* events) { events_ = events; }
    void SetToolbarCaptions(const std::string& exit_cp932, const std::string& switch_cp932);
    // How the game screen is scaled into the window or the full screen, the whole factor
    // the window is opened at (0: the largest that fits) and smooth scaling (nothing: smooth
    // only when the factor is not whole). Applied from the next layout on.
    void SetScaling(TScaleMode mode, int32_t window_scale, std::optional<bool> smooth);

    void SetCaption(const std::string& utf8);
    void ApplyLayout(const TWindowLayout& layout, bool centre);
    void Present(const FrameBuffer& frame);
    // Returns whether the window is now full screen.
    bool SwitchFullScreen(bool on);
    uint32_t NowMs() const;
    // Moves the mouse cursor to game point (x, y).
    bool WarpCursor(int32_t x, int32_t y);

    void PostClose() { close_posted_ = true; }
    bool ClosePosted() const { return close_posted_; }
    // Closes by itself after that many more presented frames (0: never).
    void CloseAfterFrames(int64_t frames) { frames_left_ = frames; }

    // Handles window events for about `ms` milliseconds (until the window is closed).
    void PumpEvents(uint32_t ms);
    // Waits up to a second for one event and handles it (the loop is suspended).
    void PumpIdle();
    // While another program's dialog is open: handles what waits of the window's own events
    // (close, exposure: the last frame is drawn again) and drops input, without waiting.
    void PumpWindowEventsOnly();

    // Shows the window, raises it, centres it again now that its decorations are known and
    // draws it.
    void Show();

    // Message boxes as SDL shows them, parented to this window; `fallback` answers when SDL
    // cannot show one. `japanese` chooses the button captions.
    MessageBoxPresenter MessageBoxes(MessageBoxPresenter fallback, bool japanese);

private:
    TSdlWindow(SDL_Window* window, SDL_Renderer* renderer);

    void Handle(const SDL_Event& event);
    void HandleWindowEvent(int what);
    void HandleKeyDown(int32_t sdl_key, uint16_t modifiers, bool repeat);
    void HandleMouseMove(int x, int y);
    void HandleMouseDown(int x, int y, int sdl_button);
    void HandleMouseUp(int x, int y, int sdl_button);
    void Redraw();
    void Centre();
    void RebuildStrip();
    bool StripShown() const { return full_screen_ ? strip_revealed_ : layout_.toolbar_visible; }
    // Whether window point (x, y) lies on the strip as it is shown now.
    bool OnStrip(int x, int y) const { return StripShown() && y >= 0 && y < kToolbarStripHeight && x < strip_width_; }
    void ToGame(int x, int y, int32_t& game_x, int32_t& game_y);
    // Where the frame goes now, in renderer output pixels: the whole output in full screen,
    // else the part of the window below the strip.
    TPlacement FramePlacement() const;
    // Window points to output pixels (they differ on high-density outputs).
    void PointsToOutput(int& x, int& y) const;
    // The game screen's size and the client size of the window at the current factor.
    int32_t PanelWidth() const { return texture_width_ > 0 ? texture_width_ : layout_.client_width; }
    int32_t PanelHeight() const;
    int32_t ScaledClientWidth() const { return layout_.client_width * window_factor_; }
    int32_t ScaledClientHeight() const { return layout_.panel_y + (layout_.client_height - layout_.panel_y) * window_factor_; }
    int32_t ChooseWindowFactor() const;

    SDL_Window* window_;
    SDL_Renderer* renderer_;
    TWindowEvents* events_ = nullptr;
    TToolbarStrip strip_;
    TWindowLayout layout_;
    SDL_Texture* frame_texture_ = nullptr;
    SDL_Texture* strip_texture_ = nullptr;
    int texture_width_ = 0, texture_height_ = 0;
    int strip_width_ = 0;
    TScaleMode scale_mode_ = TScaleMode::Aspect;
    int32_t window_scale_ = 1;         // as asked for; 0: the largest that fits
    int32_t window_factor_ = 1;        // as chosen for the usable display area
    std::optional<bool> smooth_;
    bool full_screen_ = false;
    bool strip_revealed_ = false;
    bool close_posted_ = false;
    int64_t frames_left_ = 0;  // presented frames until the window closes by itself; 0: never
    int pressed_button_ = -1;
    bool hover_pressed_ = false;
};

}  // namespace mobu
