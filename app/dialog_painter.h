// Drawing of classic dialog controls into a 32-bit surface (pixels 0x00RRGGBB): the face,
// sunken bevels, raised buttons, check boxes, slider channels and thumbs, dotted focus
// rectangles and captions drawn with the glyph rasterizer (the mnemonic letter after "&"
// underlined, disabled text embossed in grey).
#pragma once

#include <cstdint>
#include <string>

namespace mobu {

class TCustomDIBX;

namespace dialog_colours {
constexpr uint32_t kFace = 0xD4D0C8;
constexpr uint32_t kHighlight = 0xFFFFFF;
constexpr uint32_t kLight = 0xD4D0C8;
constexpr uint32_t kShadow = 0x808080;
constexpr uint32_t kDarkShadow = 0x404040;
constexpr uint32_t kText = 0x000000;
constexpr uint32_t kWindow = 0xFFFFFF;
}  // namespace dialog_colours

class TDialogPainter {
public:
    TDialogPainter(TCustomDIBX& surface, std::string font_name, int font_size);

    void Fill(int left, int top, int width, int height, uint32_t colour);
    // A one-pixel frame: top and left in `top_left`, bottom and right in `bottom_right`.
    void Frame(int left, int top, int width, int height, uint32_t top_left, uint32_t bottom_right);
    // The etched frame of a bevel (a sunken line beside a raised one).
    void Bevel(int left, int top, int width, int height);
    // A push button; `is_default` adds the dark outer frame.
    void Button(int left, int top, int width, int height, bool pressed, bool is_default);
    // The sunken white square of a check box with its tick.
    void CheckBox(int left, int top, bool checked, bool enabled);
    // Every other pixel of a rectangle's outline.
    // A 12 x 12 round radio button, with its dot when chosen.
    void RadioButton(int left, int top, bool checked, bool enabled);
    void FocusRect(int left, int top, int width, int height);

    // Width in pixels of a caption (the "&" markers do not count).
    int TextWidth(const std::string& cp932);
    // Draws a caption with its top-left at (x, y), clipped to the surface.
    void Text(int x, int y, const std::string& cp932, bool enabled);
    // Height of a text row.
    int TextHeight() const { return font_size_; }

private:
    void Pixel(int x, int y, uint32_t colour);
    void DrawRun(int x, int y, const std::string& cp932, uint32_t colour, bool underline_mnemonic);

    TCustomDIBX& surface_;
    std::string font_name_;
    int font_size_;
};

}  // namespace mobu
