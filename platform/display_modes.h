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

// Bits per pixel of the desktop (24 when there is no display).
int32_t DesktopBitDepth();

// The mode chosen at start: the first one, replaced by a later mode of exactly the preferred
// size when the choice is not of that size; a choice of the preferred size is replaced only
// by one of the desktop's depth when the choice has another depth or a lower refresh rate
// than the newcomer. -1 when there are no modes.
int32_t ChooseDisplayMode(const std::vector<TDisplayMode>& modes, int32_t preferred_width, int32_t preferred_height,
                          int32_t desktop_depth);

}  // namespace mobu
