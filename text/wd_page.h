// Rows and pages of laid-out text, with a page's reveal state.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "text/wd_glyph.h"

namespace mobu {

// A glyph that contains glyphs: the base of rows and pages.
class TWdComposite {
public:
    virtual ~TWdComposite() = default;
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Width = 0;
    int32_t Height = 0;
};

class TWdRow : public TWdComposite {
public:
    std::vector<TWdGlyph*> Glyphs;      // not owned, except the indent space below
    std::unique_ptr<TWdSpace> IndentSpace;
    int32_t LeftBound = 0;
    int32_t RightBound = 0;
    uint8_t Align = 1;
    int32_t Indent = 0;
    int FirstIndex = -1;  // engine index of its first glyph (the indent space is not one)
    int64_t ContentWidth = 0;  // sum of the glyph widths

    // For the row height: the tallest character and the tallest image of each alignment.
    int32_t CharHeight = 0;
    int32_t CenterImage = 0;
    int32_t TopImage = 0;
    int32_t BottomImage = 0;
    bool HasChar = false;
    bool EndsWithBreak = false;
    int32_t ExtraAbove = 0;
    int32_t ExtraBelow = 0;

    bool HoldsGlyphs() const { return Glyphs.size() > (IndentSpace ? 1u : 0u); }
    int64_t Bottom() const { return int64_t{Y} + Height; }
};

class TWdPage : public TWdComposite {
public:
    std::vector<std::unique_ptr<TWdRow>> Rows;
    int32_t ContentHeight = 0;
    int32_t Scroll = 0;

    // Reveal state.
    int32_t NextRow = 0;
    int32_t NextGlyph = 0;
    int64_t Budget = 0;
    int32_t StartDelay = 0;
    int64_t FadeAccumulator = 0;
    std::vector<TWdReal*> Fading;
    std::vector<TWdReal*> Animated;
    std::string PendingNotify;  // texts separated by TAB
    bool HasPendingNotify = false;
    bool Done = false;
    bool Started = false;  // the first glyph has been reached
    std::string OutputText;  // text revealed in the last Progress

    const TWdGlyph* HoverFirst = nullptr;
    std::string FixedValues;

    bool GlyphsRemain() const { return NextRow < static_cast<int32_t>(Rows.size()); }
};

using TWdPageList = std::vector<std::unique_ptr<TWdPage>>;

}  // namespace mobu
