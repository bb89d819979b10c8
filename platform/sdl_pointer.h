// The mouse pointer of the SDL window: colour cursors made from straight-alpha 0xAARRGGBB
// images with a hot spot, kept by a key the caller chooses (a cursor file and frame), and the
// system arrow. Pointers are shown at their own size, also over a scaled game screen, as the
// system shows pointers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

struct SDL_Cursor;

namespace mobu {

class TSdlPointer {
public:
    // Most cursors kept; beyond that the cache starts again.
    static constexpr size_t kMaxCursors = 256;

    TSdlPointer() = default;
    ~TSdlPointer();
    TSdlPointer(const TSdlPointer&) = delete;
    TSdlPointer& operator=(const TSdlPointer&) = delete;

    // Shows the image kept under `key`, made from the pixels when it is not kept yet. False
    // when SDL could not make the cursor (the arrow is shown then).
    bool Show(const std::string& key, int width, int height, int hot_x, int hot_y, const uint32_t* argb);
    // Whether a cursor is kept under `key` (then Show needs no pixels).
    bool Has(const std::string& key) const { return cursors_.count(key) != 0; }
    void ShowArrow();
    size_t CachedCount() const { return cursors_.size(); }

private:
    void FreeAll();

    std::map<std::string, SDL_Cursor*> cursors_;
    SDL_Cursor* shown_ = nullptr;
    SDL_Cursor* arrow_ = nullptr;
};

}  // namespace mobu
