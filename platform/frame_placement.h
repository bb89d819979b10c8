// Where the game screen goes in a full-screen output: scaled keeping its aspect ratio, by
// a whole factor when one fits, centred with black bars; and the way back from an output
// point to game coordinates.
#pragma once

#include <cstdint>

namespace mobu {

struct TPlacement {
    int32_t x = 0, y = 0, width = 0, height = 0;
};

TPlacement PlaceFrame(int32_t frame_width, int32_t frame_height, int32_t output_width, int32_t output_height);

// The game coordinate of output point (x, y); points in the bars land outside the frame
// (negative or beyond its size), like a mouse outside the window.
void OutputToGame(const TPlacement& placement, int32_t frame_width, int32_t frame_height, int32_t x, int32_t y,
                  int32_t& game_x, int32_t& game_y);

}  // namespace mobu
