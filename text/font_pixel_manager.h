// The glyph cache of the whole program: one rendered mask per character, font, size, style
// and antialias level, at most 256 of them, found through 256 buckets by the low byte of the
// character code and dropped least recently used first. Glyphs are handed out shared: a
// caller holding one keeps it valid even after the cache has dropped it.
#pragma once

#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "text/draw_glyph.h"
#include "text/font_pixel.h"
#include "text/glyph_renderer.h"

namespace mobu {

class TFontPixelManager {
public:
    static constexpr size_t kCapacity = 256;

    TFontPixelManager();

    // Never fails for a missing font; the glyph may have an empty mask.
    std::shared_ptr<const TFontPixel> GetGlyph(uint16_t code, const std::string& font_name, int style, int size);

    // Level 0..3 used by the next renderings (default 3). Once gray rendering has failed the
    // manager stays at level 0.
    void SetAntialias(int level);
    int Antialias() const { return antialias_; }

    // Draws a glyph into a text engine's or label's colour and effect surfaces.
    static TRect DrawGlyph(const TFontPixel& glyph, TCustomDIBX& colour, TCustomDIBX& effect, const TGlyphStyle& style,
                           const TRect& cell)
    {
        return mobu::DrawGlyph(glyph, colour, effect, style, cell);
    }

    // Cache inspection: the number of cached glyphs and their codes, most recent first.
    size_t CachedCount() const { return recent_.size(); }
    std::vector<uint16_t> RecentCodes() const;
    void Clear();

    TGlyphRenderer& Renderer() { return renderer_; }

    // Metrics of a font, selected through the cache so later renderings stay consistent.
    const TFontMetrics& FontMetrics(const std::string& font_name, int size, int style);

    // Font sizes a rendering may ask for: 1 to 512 pixels.
    static int ClampSize(int size) { return size < 1 ? 1 : (size > 512 ? 512 : size); }

private:
    using TRecentList = std::list<std::shared_ptr<TFontPixel>>;

    std::shared_ptr<TFontPixel> Render(uint16_t code, const std::string& font_name, int style, int size);
    void SelectFont(const std::string& font_name, int size, int style);

    std::array<std::vector<TRecentList::iterator>, 256> buckets_;
    TRecentList recent_;  // most recently used first
    int antialias_ = 3;
    bool gray_failed_ = false;

    bool font_selected_ = false;
    std::string selected_name_;
    int selected_size_ = 0;
    int selected_style_ = 0;
    TGlyphRenderer renderer_;
};

// The program's one glyph cache, created on first use.
TFontPixelManager& FontPixelManager();

}  // namespace mobu
