// Style flags of a font request, as the text engine stores them.
#pragma once

namespace mobu {

constexpr int kFontBold = 1;
constexpr int kFontItalic = 2;
constexpr int kFontUnderline = 4;
constexpr int kFontStrikeOut = 8;

}  // namespace mobu
