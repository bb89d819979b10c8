#include "platform/sdl_pointer.h"

#include <SDL.h>

namespace mobu {

TSdlPointer::~TSdlPointer()
{
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_SetCursor(SDL_GetDefaultCursor());
    FreeAll();
    if (arrow_) SDL_FreeCursor(arrow_);
}

void TSdlPointer::FreeAll()
{
    for (auto& [key, cursor] : cursors_)
        if (cursor) SDL_FreeCursor(cursor);
    cursors_.clear();
}

bool TSdlPointer::Show(const std::string& key, int width, int height, int hot_x, int hot_y, const uint32_t* argb)
{
    auto found = cursors_.find(key);
    SDL_Cursor* cursor = nullptr;
    if (found != cursors_.end()) {
        cursor = found->second;
    } else if (argb && width > 0 && height > 0) {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(argb), width, height, 32,
                                                                  width * 4, SDL_PIXELFORMAT_ARGB8888);
        if (surface) {
            cursor = SDL_CreateColorCursor(surface, hot_x, hot_y);
            SDL_FreeSurface(surface);
        }
        if (cursors_.size() >= kMaxCursors) {
            // The one on screen must outlive the cache: show the arrow before freeing.
            ShowArrow();
            FreeAll();
        }
        cursors_[key] = cursor;
    }
    if (!cursor) {
        ShowArrow();
        return false;
    }
    if (shown_ != cursor) SDL_SetCursor(cursor);
    shown_ = cursor;
    return true;
}

void TSdlPointer::ShowArrow()
{
    if (!arrow_) arrow_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    SDL_Cursor* arrow = arrow_ ? arrow_ : SDL_GetDefaultCursor();
    if (shown_ != arrow) SDL_SetCursor(arrow);
    shown_ = arrow;
}

}  // namespace mobu
