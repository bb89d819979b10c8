#include "platform/display_modes.h"

#include <SDL.h>

namespace mobu {

std::vector<TDisplayMode> ListDisplayModes(int32_t minimum_width, int32_t minimum_height)
{
    std::vector<TDisplayMode> modes;
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return modes;
    int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
        int depth = SDL_BITSPERPIXEL(mode.format);
        if (mode.w < minimum_width || mode.h < minimum_height || depth < 16) continue;
        modes.push_back({mode.w, mode.h, mode.refresh_rate, depth});
    }
    return modes;
}

int32_t DesktopBitDepth()
{
    SDL_DisplayMode mode;
    if (!SDL_WasInit(SDL_INIT_VIDEO) || SDL_GetDesktopDisplayMode(0, &mode) != 0) return 24;
    return static_cast<int32_t>(SDL_BITSPERPIXEL(mode.format));
}

int32_t ChooseDisplayMode(const std::vector<TDisplayMode>& modes, int32_t preferred_width, int32_t preferred_height,
                          int32_t desktop_depth)
{
    int32_t chosen = -1;
    for (size_t i = 0; i < modes.size(); ++i) {
        const TDisplayMode& mode = modes[i];
        if (chosen < 0) {
            chosen = static_cast<int32_t>(i);
            continue;
        }
        if (mode.width != preferred_width || mode.height != preferred_height) continue;
        const TDisplayMode& choice = modes[static_cast<size_t>(chosen)];
        const bool choice_preferred = choice.width == preferred_width && choice.height == preferred_height;
        if (!choice_preferred ||
            (mode.bit_depth == desktop_depth &&
             (choice.bit_depth != desktop_depth || choice.refresh_rate < mode.refresh_rate)))
            chosen = static_cast<int32_t>(i);
    }
    return chosen;
}

}  // namespace mobu
