// The pictures of a message box's inline image glyphs: taken from the image cache when the
// text is measured, held until the box goes, and drawn at their glyph's place.
#pragma once

#include <map>
#include <string>

#include "graphics/custom_dibx.h"

namespace mobu {

class TFeskItem;

class TMesInlineImages {
public:
    TMesInlineImages() = default;
    ~TMesInlineImages();
    TMesInlineImages(const TMesInlineImages&) = delete;
    TMesInlineImages& operator=(const TMesInlineImages&) = delete;

    // The size of the picture's first frame; false (0 x 0) when it cannot be loaded.
    bool Size(const std::string& source, int& width, int& height);
    // Draws the first frame at (x, y): blended by `opacity` (255 copies), or added with
    // `amount` when `additive`; keyed or through its mask as the picture has them.
    void Draw(const std::string& source, TCustomDIBX& target, int x, int y, int opacity, bool additive, int amount);

private:
    TFeskItem* Item(const std::string& source);
    std::map<std::string, TFeskItem*> items_;  // held in the cache for this holder
};

}  // namespace mobu
