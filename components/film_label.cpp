#include "components/film_label.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/cp932_chars.h"
#include "platform/text_encoding.h"
#include "text/font_pixel_manager.h"
#include "text/font_style.h"

namespace mobu {
namespace {

struct TPlacedGlyph {
    std::shared_ptr<const TFontPixel> glyph;
    int64_t x = 0;
    int line = 0;
};

bool AtDefaults(const TLabelFrameList& track)
{
    const TImageRecord& r = track.Live;
    auto plain_alpha = [](int32_t a) { return a == 0 || a == 255; };
    return plain_alpha(r.AlphaStart) && plain_alpha(r.AlphaEnd) && r.ZoomXStart == 1.0 && r.ZoomXEnd == 1.0 &&
           r.ZoomYStart == 1.0 && r.ZoomYEnd == 1.0 && r.AngleStart == 0 && r.AngleEnd == 0;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < text.size();) {
        const size_t length = Cp932CharLength(text, i);
        if (length == 1 && text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            lines.emplace_back();
            i += 2;
            continue;
        }
        if (length == 1 && text[i] == '\n') {
            lines.emplace_back();
            ++i;
            continue;
        }
        lines.back().append(text, i, length);
        i += length;
    }
    return lines;
}

}  // namespace

void RenderFilmLabel(const TLabelFrameList& track, TDIBX& colour, std::unique_ptr<TDIBX>& mask)
{
    const std::string font = track.FontName.empty() ? SysText(u8"ＭＳ ゴシック") : track.FontName;
    const int32_t size = std::max(1, track.FontSize);
    const int style = track.FontStyle;
    const std::vector<std::string> lines = Lines(track.Text);
    const int64_t line_count = static_cast<int64_t>(lines.size());
    const int64_t height64 = line_count * size + (line_count - 1) * int64_t{track.LineSpacing};
    int factor = track.Antialias && AtDefaults(track) ? 4 : 1;

    auto layout = [&](int f, std::vector<TPlacedGlyph>& placed) {
        placed.clear();
        int64_t widest = 0;
        for (size_t n = 0; n < lines.size(); ++n) {
            int64_t x = 0;
            std::shared_ptr<const TFontPixel> last;
            const std::string& line = lines[n];
            for (size_t i = 0; i < line.size();) {
                const size_t length = Cp932CharLength(line, i);
                uint16_t code = static_cast<uint8_t>(line[i]);
                if (length == 2) code = static_cast<uint16_t>(code << 8 | static_cast<uint8_t>(line[i + 1]));
                i += length;
                auto glyph = FontPixelManager().GetGlyph(code, font, style, static_cast<int>(std::min<int64_t>(int64_t{size} * f, 65535)));
                placed.push_back({glyph, x, static_cast<int>(n)});
                x += glyph->left_offset + glyph->mask_width + glyph->trailing_advance;
                last = glyph;
            }
            if ((style & kFontItalic) && last && last->abc_c < 0) x += last->abc_c;  // the overhang
            widest = std::max(widest, x);
        }
        return widest;
    };

    std::vector<TPlacedGlyph> placed;
    int64_t widest = layout(factor, placed);
    if (factor > 1 && (widest > kFilmLabelMaxSide || height64 * factor > kFilmLabelMaxSide)) {
        factor = 1;
        widest = layout(1, placed);
    }
    const int width = static_cast<int>(std::clamp<int64_t>(widest / factor, 0, kFilmLabelMaxSide));
    const int height = static_cast<int>(std::clamp<int64_t>(height64, 0, kFilmLabelMaxSide));
    colour.SetSize(width, height, 32);
    mask = std::make_unique<TDIBX>();
    mask->SetSize(width, height, 8);
    if (width == 0 || height == 0) return;
    colour.Clear(static_cast<uint32_t>(colour.ColorToPixel(track.Colour & 0xFFFFFF)));
    mask->Clear(0);

    // Coverage at the enlarged size, then averaged over factor x factor blocks.
    const int big_w = width * factor, big_h = height * factor;
    std::vector<uint8_t> big(static_cast<size_t>(big_w) * static_cast<size_t>(big_h), 0);
    for (const TPlacedGlyph& p : placed) {
        const TFontPixel& g = *p.glyph;
        const int64_t top = (int64_t{size} + track.LineSpacing) * p.line * factor + g.top_offset;
        const int64_t left = p.x + g.left_offset;
        for (int y = 0; y < g.mask_height; ++y) {
            const int64_t by = top + y;
            if (by < 0 || by >= big_h) continue;
            for (int x = 0; x < g.mask_width; ++x) {
                const int64_t bx = left + x;
                if (bx < 0 || bx >= big_w) continue;
                uint8_t& cell = big[static_cast<size_t>(by) * static_cast<size_t>(big_w) + static_cast<size_t>(bx)];
                cell = std::max(cell, g.MaskAt(x, y));
            }
        }
    }
    const int samples = factor * factor;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int sum = 0;
            for (int sy = 0; sy < factor; ++sy)
                for (int sx = 0; sx < factor; ++sx)
                    sum += big[static_cast<size_t>(y * factor + sy) * static_cast<size_t>(big_w) + static_cast<size_t>(x * factor + sx)];
            mask->SetPixel(x, y, static_cast<uint32_t>(sum / samples));
        }
}

}  // namespace mobu
