#include "platform/toolbar_strip.h"

#include "platform/text_encoding.h"

namespace mobu {
namespace {

constexpr uint32_t kStripColour = 0xF0F0F0;
constexpr uint32_t kLightEdge = 0xFFFFFF;
constexpr uint32_t kShadowEdge = 0xA0A0A0;
constexpr uint32_t kDarkEdge = 0x696969;
constexpr uint32_t kCaptionColour = 0x000000;

}  // namespace

TToolbarStrip::TToolbarStrip() { font_ok_ = font_.Load(12); }

void TToolbarStrip::SetCaptions(const std::string& exit_cp932, const std::string& switch_cp932)
{
    captions_[0] = Cp932ToUtf8(exit_cp932);
    captions_[1] = Cp932ToUtf8(switch_cp932);
}

int TToolbarStrip::ButtonAt(int x, int y)
{
    for (int i = 0; i < kToolbarButtonCount; ++i) {
        int left = 2 + i * kToolbarButtonWidth;
        if (x >= left && x < left + kToolbarButtonWidth && y >= 2 && y < 2 + kToolbarButtonHeight) return i;
    }
    return -1;
}

void TToolbarStrip::Draw(std::vector<uint32_t>& pixels, int width, int pressed)
{
    pixels.assign(static_cast<size_t>(width) * kToolbarStripHeight, kStripColour);
    for (int i = 0; i < kToolbarButtonCount; ++i) {
        int left = 2 + i * kToolbarButtonWidth, top = 2;
        int right = left + kToolbarButtonWidth - 1, bottom = top + kToolbarButtonHeight - 1;
        bool down = i == pressed;
        auto put = [&](int x, int y, uint32_t colour) {
            if (x >= 0 && x < width && y >= 0 && y < kToolbarStripHeight) pixels[y * width + x] = colour;
        };
        for (int x = left; x <= right; ++x) {
            put(x, top, down ? kDarkEdge : kLightEdge);
            put(x, bottom, down ? kLightEdge : kDarkEdge);
            put(x, bottom - 1, down ? kStripColour : kShadowEdge);
        }
        for (int y = top; y <= bottom; ++y) {
            put(left, y, down ? kDarkEdge : kLightEdge);
            put(right, y, down ? kLightEdge : kDarkEdge);
            if (y > top && y < bottom) put(right - 1, y, down ? kStripColour : kShadowEdge);
        }
        int shift = down ? 1 : 0;
        if (font_ok_)
            font_.Draw(pixels.data(), width, kToolbarStripHeight, (left + right + 1) / 2 + shift,
                       (top + bottom + 1) / 2 + shift, captions_[i], kCaptionColour);
    }
}

}  // namespace mobu
