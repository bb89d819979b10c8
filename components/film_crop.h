// A film track's crop, applied to the component the track drives as its clip rectangle
// (relative to the component's drawn origin). A crop of the whole frame is no clip, so a film
// that crops and later shows the whole frame again leaves no clip behind.
#pragma once

#include <cstdint>

#include "components/property_ids.h"

namespace mobu {

template <class TTrackState, class TSetProperty>
void ApplyFilmCrop(const TTrackState& state, TSetProperty&& set)
{
    set(PR_CLIPLEFT, state.WholeFrame ? 0 : state.CropX);
    set(PR_CLIPTOP, state.WholeFrame ? 0 : state.CropY);
    set(PR_CLIPWIDTH, state.WholeFrame ? 0 : state.CropW);
    set(PR_CLIPHEIGHT, state.WholeFrame ? 0 : state.CropH);
}

}  // namespace mobu
