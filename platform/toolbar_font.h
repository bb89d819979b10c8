// The font of the toolbar captions: IPA Gothic found through fontconfig, rasterised with
// FreeType into 32-bit pixels.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace mobu {

class TToolbarFont {
public:
    TToolbarFont();
    ~TToolbarFont();
    TToolbarFont(const TToolbarFont&) = delete;
    TToolbarFont& operator=(const TToolbarFont&) = delete;

    // Loads the font at `pixel_size`; false when no usable font was found.
    bool Load(int pixel_size);
    // Width in pixels of `utf8` drawn in this font.
    int TextWidth(const std::string& utf8);
    // Draws `utf8` with its box centred on (centre_x, centre_y), blending `colour`
    // (0x00RRGGBB) over the 0x00RRGGBB pixels, clipped to width x height.
    void Draw(uint32_t* pixels, int width, int height, int centre_x, int centre_y, const std::string& utf8,
              uint32_t colour);

private:
    struct TImpl;
    std::unique_ptr<TImpl> impl_;
};

// Decodes UTF-8 into code points (malformed bytes become U+FFFD).
std::u32string DecodeUtf8(const std::string& utf8);

}  // namespace mobu
