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

}  // namespace mobu
