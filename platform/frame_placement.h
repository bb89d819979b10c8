// Where the game screen goes in an output area (the full screen, or the part of a window
// below the toolbar strip): scaled by the chosen rule and centred with black bars; the way
// back from an output point to game coordinates; and the whole factor a window is opened at.
#pragma once

#include <cstdint>

namespace mobu {

struct TPlacement {
    int32_t x = 0, y = 0, width = 0, height = 0;
};

// "game.ini" [Video] ScaleMode.
enum class TScaleMode : int32_t {
    WholeOrAspect = 0,  // a whole factor when one fits, else shrunk keeping the aspect ratio
    Aspect = 1,         // keeping the aspect ratio at any factor
    Stretch = 2,        // filling the area
};

TPlacement PlaceFrame(int32_t frame_width, int32_t frame_height, int32_t output_width, int32_t output_height,
                      TScaleMode mode = TScaleMode::WholeOrAspect);

// Whether the placement shows the frame at the same whole factor across and down (1 included).
bool IsWholeScale(const TPlacement& placement, int32_t frame_width, int32_t frame_height);

// The game coordinate of output point (x, y); points in the bars land outside the frame
// (negative or beyond its size), like a mouse outside the window.
void OutputToGame(const TPlacement& placement, int32_t frame_width, int32_t frame_height, int32_t x, int32_t y,
                  int32_t& game_x, int32_t& game_y);

// The whole factor of a window showing a panel_width x panel_height game under a strip of
// strip_height unscaled pixels: `requested` (0: the largest that fits), lowered until the
// window (with its decorations) fits the usable area; never below 1.
int32_t FitWindowScale(int32_t requested, int32_t panel_width, int32_t panel_height, int32_t strip_height,
                       int32_t usable_width, int32_t usable_height);

}  // namespace mobu
