// The display modes the player may switch to, for the system variables that list them.
#pragma once

#include <cstdint>
#include <vector>

namespace mobu {

struct TDisplayMode {
    int32_t width = 0;
    int32_t height = 0;
    int32_t refresh_rate = 0;
    int32_t bit_depth = 0;
};

// The modes of the first display at least `minimum_width` x `minimum_height` with 16 or
// more bits per pixel, in the order the system reports them. Empty without a display (the
// headless runner).
std::vector<TDisplayMode> ListDisplayModes(int32_t minimum_width, int32_t minimum_height);

}  // namespace mobu
