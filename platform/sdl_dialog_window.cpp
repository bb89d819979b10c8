#include "platform/sdl_dialog_window.h"

#include <SDL.h>

#include "platform/sdl_window.h"
#include "platform/virtual_keys.h"

namespace mobu {

std::unique_ptr<TSdlDialogWindow> TSdlDialogWindow::Open(const std::string& caption_utf8, int width, int height,
                                                         std::string& error)
{
    error = NoDisplayReason();
    if (!error.empty()) return nullptr;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        error = SDL_GetError();
        return nullptr;
    }
    SDL_Window* window = SDL_CreateWindow(caption_utf8.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                                          height, 0);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    SDL_Texture* texture = renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                                        width, height)
                                    : nullptr;
    if (!texture) {
        error = SDL_GetError();
        if (renderer) SDL_DestroyRenderer(renderer);
        if (window) SDL_DestroyWindow(window);
        SDL_Quit();
        return nullptr;
    }
    return std::unique_ptr<TSdlDialogWindow>(new TSdlDialogWindow(window, renderer, texture));
}

TSdlDialogWindow::TSdlDialogWindow(SDL_Window* window, SDL_Renderer* renderer, SDL_Texture* texture)
    : window_(window), renderer_(renderer), texture_(texture)
{
}

TSdlDialogWindow::~TSdlDialogWindow()
{
    SDL_DestroyTexture(texture_);
    SDL_DestroyRenderer(renderer_);
    SDL_DestroyWindow(window_);
    SDL_Quit();
}

void TSdlDialogWindow::Present(const FrameBuffer& picture)
{
    SDL_UpdateTexture(texture_, nullptr, picture.pixels.data(), picture.pitch);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
}

void TSdlDialogWindow::Run(TDialogWindowEvents& events, int64_t presents)
{
    Present(events.Picture());
    if (presents == 1) return;
    int64_t shown = 1;
    SDL_Event event;
    while (events.StillOpen() && SDL_WaitEvent(&event)) {
        switch (event.type) {
        case SDL_QUIT: events.CloseAsked(); break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) events.CloseAsked();
            break;
        case SDL_KEYDOWN:
            if (int key = VirtualKeyFromSdlKey(event.key.keysym.sym)) events.KeyDown(key);
            break;
        case SDL_KEYUP:
            if (int key = VirtualKeyFromSdlKey(event.key.keysym.sym)) events.KeyUp(key);
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button == SDL_BUTTON_LEFT) events.MouseDown(event.button.x, event.button.y);
            break;
        case SDL_MOUSEBUTTONUP:
            if (event.button.button == SDL_BUTTON_LEFT) events.MouseUp(event.button.x, event.button.y);
            break;
        case SDL_MOUSEMOTION: events.MouseMove(event.motion.x, event.motion.y); break;
        default: continue;  // nothing changed: no repaint
        }
        if (!events.StillOpen()) break;
        Present(events.Picture());
        if (presents > 0 && ++shown >= presents) return;
    }
}

void TSdlDialogWindow::ShowError(const std::string& caption_utf8, const std::string& text_utf8)
{
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, caption_utf8.c_str(), text_utf8.c_str(), window_) != 0)
        SDL_Log("%s: %s", caption_utf8.c_str(), text_utf8.c_str());
}

}  // namespace mobu
