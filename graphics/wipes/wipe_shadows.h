// Transitions driven by a mask picture (the game file named by MaskName): bright pixels of
// the picture change first. The picture is tiled from the top-left over the screen; without
// one every pixel has level 255.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/wipes/wipe_mask.h"

namespace mobu {

// Reads the levels of the first frame of the picture `name` into `levels` (its own size);
// false when there is no readable picture. The layers that know the game's files install it.
using TWipeMaskLoader = std::function<bool(const std::string& name, TWipeMaskPlane& levels)>;
void SetWipeMaskLoader(TWipeMaskLoader loader);
// "bmp", "png" or "fsk" by the first bytes (a layered image when neither of the others).
std::string_view PictureKindOf(std::string_view bytes);
// The levels of the first frame of a picture file's bytes (layered image, PNG or BMP): an
// 8-bit palette picture gives its indices, a true-colour one its grey (R when R = G = B,
// else (77·R + 151·G + 28·B) >> 8). False when the bytes hold no picture.
bool WipeMaskFromBytes(const std::string& bytes, int32_t ident_code, TWipeMaskPlane& levels);
// The mask of the target's size: the picture tiled (inverted when `invert`), or all 255.
void LoadTiledWipeMask(const std::string& name, bool invert, int width, int height, TWipeMaskPlane& out);

// Each pixel blends from old to new over 256 steps, starting by its level.
class TWipeShadow : public TWipeMask {
public:
    void Prepare() override;
    bool UpdateMask() override;

    TWipeMaskPlane Levels;
};

// Each pixel goes from the old picture through white to the new one.
class TWipeShadowWhite : public TCustomWipe {
public:
    void Prepare() override;

    TWipeMaskPlane Levels;

protected:
    void DrawState() override;
    // Whether the grey darkens (else it brightens) the pictures.
    virtual bool Darkens() const { return false; }
};

// The same through black.
class TWipeShadowBlack : public TWipeShadowWhite {
protected:
    bool Darkens() const override { return true; }
};

}  // namespace mobu
