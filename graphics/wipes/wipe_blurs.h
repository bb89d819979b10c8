// The old picture blurs and fades to white (black); the new one comes back out of it and
// sharpens.
#pragma once

#include "graphics/dibx.h"
#include "graphics/wipes/custom_wipe.h"

namespace mobu {

class TWipeBlurWhite : public TCustomWipe {
public:
    // Makes the blurred copies of both pictures (radius min(W, H) div 20).
    void Prepare() override;

    TDIBX BlurredFrom, BlurredTo;

protected:
    void DrawState() override;
    virtual void Level(int grey);
};

class TWipeBlurBlack : public TWipeBlurWhite {
protected:
    void Level(int grey) override;
};

}  // namespace mobu
