// Copies out of layered image frames, as the image cache uses them: the composed image into
// a memory drawing surface, the alpha plane into an 8-bit drawing surface or store.
#pragma once

#include "graphics/dib_surface.h"
#include "graphics/fesk_frame_list.h"

namespace mobu {

class TDIBX;

// The surface takes the frame's size and keeps its own bit count; pixels are converted
// into its format. Its transparent colour becomes the frame's transparent value in the
// surface's format (-1 when the frame has none). The area lists stay with the frame.
void CopyFrameToSurface(const TFeskFrame& frame, TDIBX& surface);
// An 8-bit surface of the frame's size holding its alpha plane (all 255 without one).
void CopyAlphaToSurface(const TFeskFrame& frame, TDIBX& surface);
// The same into a separate 8-bit store with a grey palette.
void CopyAlphaToStore(const TFeskFrame& frame, TDIBSurface& store);

}  // namespace mobu
