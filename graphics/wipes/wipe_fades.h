// Transitions that mix the two pictures as a whole: the cross fade and the fades through
// white, black and a flash.
#pragma once

#include "graphics/wipes/custom_wipe.h"

namespace mobu {

// The new picture fades in over the old one (sliding in from (Param 0, Param 1) when set).
class TWipeFade : public TCustomWipe {
protected:
    void DrawState() override;
};

// The old picture brightens to white, then the new one comes out of white.
class TWipeWhite : public TCustomWipe {
protected:
    void DrawState() override;
    virtual void Level(int grey);
};

// The same through black.
class TWipeBlack : public TWipeWhite {
protected:
    void Level(int grey) override;
};

// The new picture at once, covered by white that fades away.
class TWipeFlash : public TCustomWipe {
protected:
    void DrawState() override;
};

}  // namespace mobu
