#include "text/font_pixel_manager.h"

#include <algorithm>

#include "text/font_style.h"

namespace mobu {

TFontPixelManager::TFontPixelManager() = default;

void TFontPixelManager::SetAntialias(int level)
{
    antialias_ = gray_failed_ ? 0 : std::clamp(level, 0, 3);
}

std::vector<uint16_t> TFontPixelManager::RecentCodes() const
{
    std::vector<uint16_t> codes;
    codes.reserve(recent_.size());
    for (const auto& glyph : recent_) codes.push_back(glyph->code);
    return codes;
}

void TFontPixelManager::Clear()
{
    for (auto& bucket : buckets_) bucket.clear();
    recent_.clear();
}

std::shared_ptr<const TFontPixel> TFontPixelManager::GetGlyph(uint16_t code, const std::string& font_name, int style,
                                                             int size)
{
    auto& bucket = buckets_[code & 0xFF];
    for (auto entry : bucket) {
        const TFontPixel& glyph = **entry;
        if (glyph.code == code && glyph.size == size && glyph.style == style && glyph.antialias == antialias_ &&
            glyph.font_name == font_name) {
            recent_.splice(recent_.begin(), recent_, entry);
            return *entry;
        }
    }

    std::shared_ptr<TFontPixel> glyph = Render(code, font_name, style, size);
    recent_.push_front(glyph);
    bucket.push_back(recent_.begin());
    if (recent_.size() > kCapacity) {
        auto last = std::prev(recent_.end());
        auto& old_bucket = buckets_[(*last)->code & 0xFF];
        old_bucket.erase(std::find(old_bucket.begin(), old_bucket.end(), last));
        recent_.erase(last);  // holders of the glyph keep it alive
    }
    return glyph;
}

const TFontMetrics& TFontPixelManager::FontMetrics(const std::string& font_name, int size, int style)
{
    SelectFont(font_name, size, style);
    return renderer_.Metrics();
}

void TFontPixelManager::SelectFont(const std::string& font_name, int size, int style)
{
    if (font_selected_ && font_name == selected_name_ && size == selected_size_ && style == selected_style_) return;
    renderer_.SelectFont(font_name, size, style);
    font_selected_ = true;
    selected_name_ = font_name;
    selected_size_ = size;
    selected_style_ = style;
}

std::shared_ptr<TFontPixel> TFontPixelManager::Render(uint16_t code, const std::string& font_name, int style, int size)
{
    auto glyph = std::make_shared<TFontPixel>();
    glyph->code = code;
    glyph->font_name = font_name;
    glyph->size = size;
    glyph->style = style;
    glyph->antialias = antialias_;

    SelectFont(font_name, size, style);
    TRenderedGlyph rendered;
    if (!renderer_.Render(code, antialias_, rendered)) {
        // No gray output on this platform: monochrome from now on, without retrying gray.
        gray_failed_ = true;
        antialias_ = 0;
        if (!renderer_.Render(code, 0, rendered)) rendered = TRenderedGlyph{};
    }
    glyph->antialias = antialias_;

    const TFontMetrics& metrics = renderer_.Metrics();
    int advance = rendered.advance;
    if (rendered.has_outline) {
        glyph->mask = std::move(rendered.mask);
        glyph->mask_width = rendered.width;
        glyph->mask_height = rendered.height;
        glyph->left_offset = std::max(0, rendered.origin_x);
        glyph->top_offset = std::max(0, metrics.ascent - rendered.origin_y);
        glyph->trailing_advance = std::max(0, advance - glyph->mask_width - glyph->left_offset);
        glyph->abc_a = rendered.origin_x;
        glyph->abc_b = rendered.width;
        glyph->abc_c = advance - rendered.origin_x - rendered.width;
    } else {
        glyph->trailing_advance = renderer_.TextWidth(code);
        glyph->abc_c = glyph->trailing_advance;
    }
    if (style & kFontUnderline) glyph->underline_thickness = metrics.underline_thickness;
    if (style & kFontStrikeOut) {
        glyph->strikeout_position = metrics.ascent - metrics.strikeout_position;
        glyph->strikeout_thickness = metrics.strikeout_thickness;
    }
    return glyph;
}

TFontPixelManager& FontPixelManager()
{
    static TFontPixelManager manager;
    return manager;
}

}  // namespace mobu
