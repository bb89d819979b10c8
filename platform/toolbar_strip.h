// The toolbar strip above the game screen: two push buttons ("終了" and "画面切替") drawn
// by hand in the colours of a classic button face, with the captions in IPA Gothic.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/toolbar_font.h"

namespace mobu {

// Two buttons of 67 x 18 in a strip 4 pixels taller.
constexpr int32_t kToolbarButtonWidth = 67;
constexpr int32_t kToolbarButtonHeight = 18;
constexpr int32_t kToolbarStripHeight = kToolbarButtonHeight + 4;
constexpr int kToolbarButtonCount = 2;

class TToolbarStrip {
public:
    TToolbarStrip();

    // Captions of the buttons, in code page 932, left to right.
    void SetCaptions(const std::string& exit_cp932, const std::string& switch_cp932);

    // Button index under strip point (x, y), or -1.
    static int ButtonAt(int x, int y);

    // Draws the strip `width` pixels wide (0x00RRGGBB) with button `pressed` (or -1) held down.
    void Draw(std::vector<uint32_t>& pixels, int width, int pressed);

private:
    TToolbarFont font_;
    bool font_ok_ = false;
    std::string captions_[kToolbarButtonCount];  // UTF-8
};

}  // namespace mobu
