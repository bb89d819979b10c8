// One rendered character: its opacity mask and the offsets that place it in a text cell.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mobu {

class TFontPixel {
public:
    // Mask: black-box width x height opacities 0..255, top row first; empty for characters
    // without an outline (blanks).
    std::vector<uint8_t> mask;
    int mask_width = 0;
    int mask_height = 0;

    uint16_t code = 0;      // single byte, or lead byte x 256 + trail byte
    std::string font_name;  // cp932, as requested
    int size = 0;           // cell height in pixels
    int style = 0;          // kFontBold | kFontItalic | kFontUnderline | kFontStrikeOut
    int antialias = 0;      // level the mask was rendered at

    int left_offset = 0;          // glyph origin x, at least 0
    int top_offset = 0;           // ascent minus glyph origin y, at least 0
    int underline_thickness = 0;  // when underlined
    int strikeout_position = 0;   // ascent minus the font's strike-out position, when struck out
    int strikeout_thickness = 0;  // when struck out
    int trailing_advance = 0;     // cell advance - mask width - left offset (>= 0); blanks: text width

    // Widths of the character in its font: A (origin to black box), B (black box), C (rest
    // of the advance). Used to centre proportional characters in fixed cells.
    int abc_a = 0;
    int abc_b = 0;
    int abc_c = 0;

    bool IsEmpty() const { return mask.empty(); }
    uint8_t MaskAt(int x, int y) const { return mask[static_cast<size_t>(y) * mask_width + x]; }
};

}  // namespace mobu
