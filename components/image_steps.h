// Small steps shared by the picture components: the capture-mask hit test, the frame
// advance of multi-frame pictures and the layout of a tiled picture.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "graphics/dib_surface.h"

namespace mobu {

// Whether the point (x, y), relative to the component's drawn left/top, falls on the mask
// (a value above 127). The point is scaled by surface size over component size, which also
// holds when an explicit width or height replaced the zoom; flips mirror it. A component of
// no size is never hit.
bool CaptureMaskHit(const TDIBSurface& mask, int32_t component_width, int32_t component_height, int32_t x,
                    int32_t y, bool flip_h, bool flip_v);

// The frame clock of a multi-frame picture.
struct TFrameClock {
    int32_t Index = -1;
    int64_t FrameLeft = 0;  // milliseconds the current frame still shows
};

enum class TFrameAdvanceResult { Running, Finished };

// One update of the animation: takes `elapsed` off the current frame and moves on while the
// frame's time is used up. Moving onto frame i adds delays[i], and on the last frame of more
// than one also `last_frame_wait`. At the last frame with `repeat` it wraps to 0, else it
// stops there and reports Finished. It advances at most one whole cycle per update, so a
// negative last-frame wait that cancels every delay cannot hold the caller in a loop.
TFrameAdvanceResult AdvanceFrames(TFrameClock& clock, const std::vector<int32_t>& delays, int64_t elapsed,
                                  bool repeat, int64_t last_frame_wait);
// Selecting frame `index`: stores it and adds its delay (and the last-frame wait).
void EnterFrame(TFrameClock& clock, const std::vector<int32_t>& delays, int32_t index, int64_t last_frame_wait);

// Cell size and first cell of a tiled picture, or nothing to draw.
struct TTileLayout {
    int32_t StepX = 0;
    int32_t StepY = 0;
    int32_t ShiftX = 0;  // scroll wrapped into [0, step)
    int32_t ShiftY = 0;
    bool UsesDistance = false;
};

// A distance counts when it is at least 1 and at least half the picture size (integer
// half); it then replaces the picture size as the step. An empty picture gives nothing.
std::optional<TTileLayout> LayoutTile(int32_t picture_width, int32_t picture_height, int32_t distance_x,
                                      int32_t distance_y, int32_t scroll_x, int32_t scroll_y);

}  // namespace mobu
