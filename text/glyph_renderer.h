// Renders one character of a selected font into an opacity mask with FreeType: the outline
// is hinted by the TrueType v35 interpreter, emboldened and sheared for bold and italic,
// and point-sampled at 2, 4 or 8 samples per pixel side; each pixel's count of covered
// samples becomes its opacity through the level's table. Level 0 is FreeType's monochrome
// rendering.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "text/glyph_sampler.h"

typedef struct FT_LibraryRec_* FT_Library;
typedef struct FT_FaceRec_* FT_Face;
typedef struct FT_Outline_ FT_Outline;

namespace mobu {

// Metrics of the selected font in pixels.
struct TFontMetrics {
    int size = 0;     // requested cell height (ascent + descent)
    int ppem = 0;     // em size the outlines are scaled to
    int ascent = 0;
    int descent = 0;
    int underline_thickness = 1;
    int strikeout_position = 0;   // above the baseline
    int strikeout_thickness = 1;
};

struct TRenderedGlyph {
    bool has_outline = false;
    int width = 0;      // black box, whole pixels
    int height = 0;
    int origin_x = 0;   // left edge of the black box relative to the pen position
    int origin_y = 0;   // top edge of the black box above the baseline
    int advance = 0;    // cell advance
    std::vector<uint8_t> mask;  // width x height opacities, top row first
};

// A point of a flattened outline, in pixels with y pointing down from the black box top.
struct TOutlinePoint {
    double x;
    double y;
};

class TGlyphRenderer {
public:
    TGlyphRenderer();
    ~TGlyphRenderer();
    TGlyphRenderer(const TGlyphRenderer&) = delete;
    TGlyphRenderer& operator=(const TGlyphRenderer&) = delete;

    // Selects a font by its cp932 name; a name no installed font answers to selects the
    // default "ＭＳ ゴシック". Returns false when no font at all could be opened.
    bool SelectFont(const std::string& cp932_name, int size, int style);
    const TFontMetrics& Metrics() const { return metrics_; }
    // The family actually used for the selected name (UTF-8), for diagnostics and tests.
    const std::string& SelectedFamily() const { return family_; }

    // Renders a character code (single byte, or lead byte x 256 + trail byte) at an
    // antialias level. Returns false when the renderer could not produce that level.
    bool Render(uint16_t code, int level, TRenderedGlyph& out);

    // Advance of a character in the selected font (the text width of a blank).
    int TextWidth(uint16_t code);

    // The outline Render samples for a character at a level, flattened into closed
    // polygons in black-box pixel coordinates (y down). For checking coverage.
    std::vector<std::vector<TOutlinePoint>> FlattenedOutline(uint16_t code, int level);

    // Makes every later sampled (gray) rendering fail, as a platform without gray glyph
    // output would. For tests of the level-0 fallback.
    void SimulateGrayFailure(bool fail) { simulate_gray_failure_ = fail; }

private:
    FT_Face OpenFace(const std::string& path, int index);
    // Loads the hinted, styled outline of a character into the face's glyph slot and
    // gives its advance in 26.6 pixels.
    bool LoadOutline(uint16_t code, int level, long& advance);
    // Level 0: FreeType's monochrome rendering of the outline's black box (with its dropout
    // control) into 0 / 255 opacities, in bands from the top. False when FreeType fails.
    bool RenderMonochrome(FT_Outline& outline, long left, long bottom, int width, int height, std::vector<uint8_t>& mask);

    FT_Library library_ = nullptr;
    std::map<std::pair<std::string, int>, FT_Face> faces_;  // open faces by file and index
    FT_Face face_ = nullptr;  // selected face
    int style_ = 0;
    TFontMetrics metrics_;
    std::string family_;
    bool simulate_gray_failure_ = false;
    TGlyphSampler sampler_;  // its buffers serve every glyph
};

// The 16-bit character code as a Unicode code point (0 when cp932 has no such character).
uint32_t CharCodeToUnicode(uint16_t code);

}  // namespace mobu
