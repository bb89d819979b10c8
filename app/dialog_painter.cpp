#include "app/dialog_painter.h"

#include "core/cp932_chars.h"
#include "graphics/custom_dibx.h"
#include "text/font_pixel_manager.h"

namespace mobu {
namespace {

uint32_t Blend(uint32_t under, uint32_t over, int alpha)
{
    uint32_t result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        int a = static_cast<int>((under >> shift) & 0xFF);
        int b = static_cast<int>((over >> shift) & 0xFF);
        result |= static_cast<uint32_t>((a * (255 - alpha) + b * alpha + 127) / 255) << shift;
    }
    return result;
}

// The characters of a caption with their byte codes; "&&" is a literal "&", "&x" marks x.
struct TCaptionChar {
    uint16_t code;
    bool mnemonic;
};

std::vector<TCaptionChar> CaptionChars(const std::string& text)
{
    std::vector<TCaptionChar> chars;
    bool marked = false;
    for (size_t i = 0; i < text.size();) {
        size_t length = Cp932CharLength(text, i);
        if (length == 1 && text[i] == '&' && !marked) {
            marked = true;
            ++i;
            if (i < text.size() && text[i] == '&') {
                chars.push_back({'&', false});
                marked = false;
                ++i;
            }
            continue;
        }
        uint16_t code = static_cast<uint8_t>(text[i]);
        if (length == 2) code = static_cast<uint16_t>(code << 8 | static_cast<uint8_t>(text[i + 1]));
        chars.push_back({code, marked});
        marked = false;
        i += length;
    }
    return chars;
}

}  // namespace

TDialogPainter::TDialogPainter(TCustomDIBX& surface, std::string font_name, int font_size)
    : surface_(surface), font_name_(std::move(font_name)), font_size_(font_size)
{
}

void TDialogPainter::Pixel(int x, int y, uint32_t colour)
{
    if (x < 0 || y < 0 || x >= surface_.Width() || y >= surface_.Height()) return;
    surface_.SetPixel(x, y, colour);
}

void TDialogPainter::Fill(int left, int top, int width, int height, uint32_t colour)
{
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x) Pixel(x, y, colour);
}

void TDialogPainter::Frame(int left, int top, int width, int height, uint32_t top_left, uint32_t bottom_right)
{
    if (width <= 0 || height <= 0) return;
    Fill(left, top, width, 1, top_left);
    Fill(left, top, 1, height, top_left);
    Fill(left, top + height - 1, width, 1, bottom_right);
    Fill(left + width - 1, top, 1, height, bottom_right);
}

void TDialogPainter::Bevel(int left, int top, int width, int height)
{
    Frame(left + 1, top + 1, width - 1, height - 1, dialog_colours::kHighlight, dialog_colours::kHighlight);
    Frame(left, top, width - 1, height - 1, dialog_colours::kShadow, dialog_colours::kShadow);
}

void TDialogPainter::Button(int left, int top, int width, int height, bool pressed, bool is_default)
{
    using namespace dialog_colours;
    Fill(left, top, width, height, kFace);
    if (is_default) {
        Frame(left, top, width, height, kDarkShadow, kDarkShadow);
        ++left, ++top, width -= 2, height -= 2;
    }
    if (pressed) {
        Frame(left, top, width, height, kShadow, kShadow);
        return;
    }
    Frame(left, top, width, height, kHighlight, kDarkShadow);
    Frame(left + 1, top + 1, width - 2, height - 2, kLight, kShadow);
}

void TDialogPainter::CheckBox(int left, int top, bool checked, bool enabled)
{
    using namespace dialog_colours;
    Frame(left, top, 13, 13, kShadow, kHighlight);
    Frame(left + 1, top + 1, 11, 11, kDarkShadow, kLight);
    Fill(left + 2, top + 2, 9, 9, enabled ? kWindow : kFace);
    if (!checked) return;
    uint32_t tick = enabled ? kText : kShadow;
    // The classic tick: a short stroke down to the right, then a long one up, three pixels thick.
    static const int kTick[][2] = {{3, 5}, {4, 6}, {5, 7}, {6, 6}, {7, 5}, {8, 4}, {9, 3}};
    for (const auto& point : kTick)
        for (int dy = 0; dy < 3; ++dy) Pixel(left + point[0], top + point[1] + dy, tick);
}

void TDialogPainter::RadioButton(int left, int top, bool checked, bool enabled)
{
    using namespace dialog_colours;
    // Rings by the distance of each pixel's centre from the button's centre: the outer two
    // are sunken (dark above and left, light below and right), then the well, then the dot.
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            double dx = x - 5.5, dy = y - 5.5;
            double distance = dx * dx + dy * dy;
            bool upper_left = dx + dy < 0;
            if (distance > 36) continue;
            uint32_t colour;
            if (distance > 25) colour = upper_left ? kShadow : kHighlight;
            else if (distance > 16) colour = upper_left ? kDarkShadow : kLight;
            else if (checked && distance <= 4) colour = enabled ? kText : kShadow;
            else colour = enabled ? kWindow : kFace;
            Pixel(left + x, top + y, colour);
        }
    }
}

void TDialogPainter::FocusRect(int left, int top, int width, int height)
{
    for (int x = left; x < left + width; ++x) {
        if ((x - left) % 2 == 0) {
            Pixel(x, top, dialog_colours::kText);
            Pixel(x, top + height - 1, dialog_colours::kText);
        }
    }
    for (int y = top; y < top + height; ++y) {
        if ((y - top) % 2 == 0) {
            Pixel(left, y, dialog_colours::kText);
            Pixel(left + width - 1, y, dialog_colours::kText);
        }
    }
}

int TDialogPainter::TextWidth(const std::string& cp932)
{
    int width = 0;
    for (const TCaptionChar& c : CaptionChars(cp932)) {
        auto glyph = FontPixelManager().GetGlyph(c.code, font_name_, 0, font_size_);
        width += glyph->left_offset + glyph->mask_width + glyph->trailing_advance;
    }
    return width;
}

void TDialogPainter::DrawRun(int x, int y, const std::string& cp932, uint32_t colour, bool underline_mnemonic)
{
    for (const TCaptionChar& c : CaptionChars(cp932)) {
        auto glyph = FontPixelManager().GetGlyph(c.code, font_name_, 0, font_size_);
        int advance = glyph->left_offset + glyph->mask_width + glyph->trailing_advance;
        for (int my = 0; my < glyph->mask_height; ++my) {
            for (int mx = 0; mx < glyph->mask_width; ++mx) {
                int alpha = glyph->MaskAt(mx, my);
                if (alpha == 0) continue;
                int px = x + glyph->left_offset + mx, py = y + glyph->top_offset + my;
                if (px < 0 || py < 0 || px >= surface_.Width() || py >= surface_.Height()) continue;
                Pixel(px, py, Blend(surface_.GetPixel(px, py), colour, alpha));
            }
        }
        if (underline_mnemonic && c.mnemonic) Fill(x, y + font_size_ - 1, advance, 1, colour);
        x += advance;
    }
}

void TDialogPainter::Text(int x, int y, const std::string& cp932, bool enabled)
{
    if (enabled) {
        DrawRun(x, y, cp932, dialog_colours::kText, true);
        return;
    }
    DrawRun(x + 1, y + 1, cp932, dialog_colours::kHighlight, true);
    DrawRun(x, y, cp932, dialog_colours::kShadow, true);
}

}  // namespace mobu
