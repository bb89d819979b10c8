// The masks of one map-image picture. Each map image keeps its own copies: the cached
// item's masks are shared by every holder of the same picture, so preparing them for one
// component's hovered region must never show through in another's.
#pragma once

#include <memory>
#include <vector>

#include "components/fesk_collection.h"
#include "components/map_region.h"
#include "graphics/dibx.h"

namespace mobu {

class TMapImageMasks {
public:
    // Copies every frame's mask as loaded (a frame without one gets an opaque mask).
    void Assign(const TFeskItem& item);
    void Clear() { frames_.clear(); }
    int Count() const { return static_cast<int>(frames_.size()); }

    // The mask to draw frame `index` with, prepared for `hovered` (-1 none): inside the
    // hovered region only (the hover picture) or everywhere else (`outside`, the normal
    // picture), combined with the mask as loaded. Rebuilt only when the region changed.
    TDIBX& Prepared(int index, const std::vector<TMapRegion>& regions, int hovered, bool outside);

private:
    struct TFrameMasks {
        TDIBSurface Loaded;
        std::unique_ptr<TDIBX> Working;
        int PreparedFor = -2;  // never prepared
    };
    std::vector<TFrameMasks> frames_;
};

}  // namespace mobu
