// A small fixed-size SDL window for a dialog the player draws itself: it shows the owner's
// 32-bit client picture 1:1 and waits on events (no frame loop while idle), turning them
// into virtual-key codes and client coordinates.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/frame_buffer.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace mobu {

class TDialogWindowEvents {
public:
    virtual ~TDialogWindowEvents() = default;
    virtual void KeyDown(int virtual_key) = 0;
    virtual void KeyUp(int virtual_key) = 0;
    // Left button only; client coordinates.
    virtual void MouseDown(int x, int y) = 0;
    virtual void MouseMove(int x, int y) = 0;
    virtual void MouseUp(int x, int y) = 0;
    // The window's close button.
    virtual void CloseAsked() = 0;
    // Whether the owner still wants the window; the pump ends when not.
    virtual bool StillOpen() const = 0;
    // The picture to show now.
    virtual const FrameBuffer& Picture() = 0;
};

class TSdlDialogWindow {
public:
    // Opens a window of the client size, centred; null with the reason in `error`.
    static std::unique_ptr<TSdlDialogWindow> Open(const std::string& caption_utf8, int width, int height,
                                                  std::string& error);
    ~TSdlDialogWindow();
    TSdlDialogWindow(const TSdlDialogWindow&) = delete;
    TSdlDialogWindow& operator=(const TSdlDialogWindow&) = delete;

    // Shows the picture, then waits for events and hands them over, showing the picture
    // again after each, until the owner is no longer open (or, with `presents` above 0,
    // until that many pictures have been shown: start-up measurements).
    void Run(TDialogWindowEvents& events, int64_t presents = 0);

    // A message box over the window (text and caption UTF-8), with an OK button.
    void ShowError(const std::string& caption_utf8, const std::string& text_utf8);

private:
    TSdlDialogWindow(SDL_Window* window, SDL_Renderer* renderer, SDL_Texture* texture);
    void Present(const FrameBuffer& picture);

    SDL_Window* window_;
    SDL_Renderer* renderer_;
    SDL_Texture* texture_;
};

}  // namespace mobu
