// TMobuBox: a filled rectangle with an optional border, blended by its alpha.
#pragma once

#include "components/mobu_object.h"

namespace mobu {

class TMobuBox : public TMobuControl {
public:
    // Alpha 1-254 blends, 255 is opaque, 256-511 adds the colours scaled by (alpha - 256) / 256;
    // 0 and below, and 512 and above, draw nothing.
    static constexpr int32_t kOpaqueAlpha = 255;
    static constexpr int32_t kAlphaLimit = 512;

    explicit TMobuBox(TMobuBaseList* owner) : TMobuControl(owner, LT_BOX) {}
    void Draw(TCustomDIBX& surface) override;
};

// Each channel of a 0x00BBGGRR colour times amount / 256 (amount 0-255), for additive drawing.
int32_t ScaleColour(int32_t colour, int32_t amount);

}  // namespace mobu
