// Drawing a page: characters into the engine's colour and effect surfaces, painting them onto
// the target, ruby text, and the hovered link group.
#include <algorithm>

#include "platform/text_encoding.h"
#include "text/font_pixel_manager.h"
#include "text/font_style.h"
#include "text/ks_word.h"

namespace mobu {

namespace {

TRect Union(const TRect& a, const TRect& b)
{
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return TRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                 std::max(a.Bottom, b.Bottom)};
}

int32_t ClampInt(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN / 2, INT32_MAX / 2)); }

// A rectangle from 64-bit edges, cut to what 32 bits hold.
TRect Rect64(int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    return TRect{ClampInt(left), ClampInt(top), ClampInt(right), ClampInt(bottom)};
}

bool Meets(const TRect& a, const TRect& b) { return !IntersectRects(a, b).IsEmpty(); }

// The effects a character is drawn with, or the engine's.
int32_t OutlineOf(const TDecorate* d, int32_t engine) { return d != nullptr && d->OutlineWidth >= 0 ? d->OutlineWidth : engine; }
int32_t ShadowOf(const TDecorate* d, int32_t engine) { return d != nullptr && d->ShadowOffset >= 0 ? d->ShadowOffset : engine; }
int32_t OutlineColorOf(const TDecorate* d, int32_t engine) { return d != nullptr && d->OutlineColor != -1 ? d->OutlineColor : engine; }
int32_t ShadowColorOf(const TDecorate* d, int32_t engine) { return d != nullptr && d->ShadowColor != -1 ? d->ShadowColor : engine; }

bool EffectsDiffer(const TWdGlyph* a, const TWdGlyph* b, const TKsWord& e)
{
    if (a == nullptr || b == nullptr || !a->IsChar() || !b->IsChar()) return true;
    const TDecorate* da = static_cast<const TWdChar*>(a)->Decorate;
    const TDecorate* db = static_cast<const TWdChar*>(b)->Decorate;
    return OutlineOf(da, e.OutlineWidth) != OutlineOf(db, e.OutlineWidth) ||
           ShadowOf(da, e.ShadowOffset) != ShadowOf(db, e.ShadowOffset) ||
           OutlineColorOf(da, e.OutlineColor) != OutlineColorOf(db, e.OutlineColor) ||
           ShadowColorOf(da, e.ShadowColor) != ShadowColorOf(db, e.ShadowColor);
}

std::string DefaultFontName() { return SysText(u8"ＭＳ ゴシック"); }

int RubyExtra(const TDecorate* d, int size) { return d != nullptr && !d->Ruby.empty() ? std::max(1, size / 2) : 0; }

}  // namespace

int32_t TKsWord::CharColor(const TWdChar& c) const
{
    if (c.Hover) return HoverColor;
    if (c.Decorate != nullptr && c.Decorate->Color != -1) return c.Decorate->Color;
    return c.Link.empty() ? FontColor : LinkColor;
}

void TKsWord::DrawChar(TWdPage& page, TWdRow& row, size_t index)
{
    auto& c = static_cast<TWdChar&>(*row.Glyphs[index]);
    const TDecorate* d = c.Decorate;
    const int size = TFontPixelManager::ClampSize(GlyphFontSize(d));
    std::string name = d != nullptr && !d->FontName.empty() ? d->FontName : FontName;
    if (name.empty()) name = DefaultFontName();
    int style = d != nullptr ? d->Style : 0;
    if (!c.Link.empty()) style |= kFontUnderline;
    const int64_t left = int64_t{row.X} + c.X;
    const int64_t top = int64_t{row.Y} + c.Y + RubyExtra(d, size);
    const TRect cell{static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(left + c.Width),
                     static_cast<int32_t>(top + size)};
    c.DrawnArea = TRect{cell.Left, static_cast<int32_t>(int64_t{row.Y} + c.Y), cell.Right, static_cast<int32_t>(int64_t{row.Y} + c.Y + c.Height)};
    if (colour_.IsEmpty()) return;
    TGlyphStyle glyph_style;
    glyph_style.text_pixel = static_cast<uint32_t>(colour_.ColorToPixel(CharColor(c)));
    glyph_style.outline_pixel = static_cast<uint32_t>(colour_.ColorToPixel(OutlineColorOf(d, OutlineColor)));
    glyph_style.shadow_pixel = static_cast<uint32_t>(colour_.ColorToPixel(ShadowColorOf(d, ShadowColor)));
    glyph_style.outline_width = std::clamp(OutlineOf(d, OutlineWidth), 0, 32);
    glyph_style.shadow_offset = std::clamp(ShadowOf(d, ShadowOffset), 0, 255);
    glyph_style.previous_differs = EffectsDiffer(index > 0 ? row.Glyphs[index - 1] : nullptr, &c, *this);
    glyph_style.next_differs = EffectsDiffer(&c, index + 1 < row.Glyphs.size() ? row.Glyphs[index + 1] : nullptr, *this);
    auto& manager = FontPixelManager();
    manager.SetAntialias(Antialias);
    auto glyph = manager.GetGlyph(c.Code, name, style, size);
    const TRect touched = DrawGlyph(*glyph, colour_, effect_, glyph_style, cell);
    c.DrawnArea = Union(c.DrawnArea, touched);
    (void)page;
}

void TKsWord::DrawRuby(TWdPage& page, TWdRow& row, size_t first, size_t count)
{
    const auto& head = static_cast<const TWdChar&>(*row.Glyphs[first]);
    const TDecorate* d = head.Decorate;
    if (d == nullptr || d->Ruby.empty() || colour_.IsEmpty()) return;
    const int size = TFontPixelManager::ClampSize(GlyphFontSize(d));
    const int ruby_size = std::max(1, size / 2);
    std::vector<uint16_t> codes;
    for (size_t i = 0; i < d->Ruby.size();) {
        const uint8_t lead = static_cast<uint8_t>(d->Ruby[i]);
        const bool two = ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) && i + 1 < d->Ruby.size();
        codes.push_back(two ? static_cast<uint16_t>(lead << 8 | static_cast<uint8_t>(d->Ruby[i + 1])) : lead);
        i += two ? 2 : 1;
    }
    if (codes.empty()) return;
    int64_t group_left = int64_t{row.X} + row.Glyphs[first]->X;
    int64_t group_width = 0;
    for (size_t i = first; i < first + count; ++i) group_width += row.Glyphs[i]->Width;
    const int64_t top = int64_t{row.Y} + head.Y;
    TGlyphStyle style;
    style.text_pixel = static_cast<uint32_t>(colour_.ColorToPixel(CharColor(head)));
    style.outline_pixel = static_cast<uint32_t>(colour_.ColorToPixel(OutlineColorOf(d, OutlineColor)));
    style.shadow_pixel = static_cast<uint32_t>(colour_.ColorToPixel(ShadowColorOf(d, ShadowColor)));
    style.previous_differs = style.next_differs = true;
    auto& manager = FontPixelManager();
    std::string name = !d->FontName.empty() ? d->FontName : FontName;
    if (name.empty()) name = DefaultFontName();
    const int64_t n = static_cast<int64_t>(codes.size());
    for (int64_t i = 0; i < n; ++i) {
        const int64_t centre = group_left + (2 * i + 1) * group_width / (2 * n);
        const int64_t shift = codes[static_cast<size_t>(i)] > 0xFF ? ruby_size / 2 : ruby_size / 4;
        const int64_t left = centre - shift;
        const TRect cell{static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(left + ruby_size),
                         static_cast<int32_t>(top + ruby_size)};
        auto glyph = manager.GetGlyph(codes[static_cast<size_t>(i)], name, 0, ruby_size);
        DrawGlyph(*glyph, colour_, effect_, style, cell);
    }
    (void)page;
}

void TKsWord::Render(TWdPage& page, bool full)
{
    const int bits = DisplayBitCount == 15 || DisplayBitCount == 16 ? DisplayBitCount : 32;
    int64_t width = std::max(0, Width);
    int64_t height = std::max(0, page.ContentHeight);
    if (width > 0 && width * height > kPixelBudget) height = kPixelBudget / width;
    if (width * height > kPixelBudget) width = 0;
    if (colour_.Width() != width || colour_.Height() != height || colour_.BitCount() != bits) {
        if (width == 0 || height == 0) {
            colour_.SetSize(0, 0, bits);
            effect_.SetSize(0, 0, 8);
        } else {
            colour_.SetSize(static_cast<int>(width), static_cast<int>(height), bits);
            effect_.SetSize(static_cast<int>(width), static_cast<int>(height), 8);
        }
    }
    if (!colour_.IsEmpty()) {
        colour_.Clear(0);
        effect_.Clear(0);
    }
    for (auto& row : page.Rows) {
        for (size_t i = 0; i < row->Glyphs.size(); ++i) {
            TWdGlyph* glyph = row->Glyphs[i];
            if (full && glyph->IsReal()) {
                auto& real = static_cast<TWdReal&>(*glyph);
                if (real.Visible) real.Opacity = 0;
            }
            if (glyph->IsChar()) DrawChar(page, *row, i);
            else if (glyph->Kind == TWdKind::Img) {
                auto& image = static_cast<TWdImg&>(*glyph);
                image.DrawnArea = TRect{row->X + image.X, row->Y + image.Y, row->X + image.X + image.Width,
                                        row->Y + image.Y + image.Height};
            }
        }
        // Ruby once per group of consecutive characters with the same ruby text.
        for (size_t i = 0; i < row->Glyphs.size();) {
            const TWdGlyph* glyph = row->Glyphs[i];
            const TDecorate* d = glyph->IsChar() ? static_cast<const TWdChar*>(glyph)->Decorate : nullptr;
            if (d == nullptr || d->Ruby.empty()) {
                ++i;
                continue;
            }
            size_t j = i + 1;
            while (j < row->Glyphs.size() && row->Glyphs[j]->IsChar() &&
                   static_cast<const TWdChar*>(row->Glyphs[j])->Decorate != nullptr &&
                   static_cast<const TWdChar*>(row->Glyphs[j])->Decorate->Ruby == d->Ruby)
                ++j;
            DrawRuby(page, *row, i, j - i);
            i = j;
        }
    }
}

TRect TKsWord::GlyphRect(const TWdPage& page, const TWdRow& row, const TWdGlyph& glyph) const
{
    const int64_t scroll = Paging ? 0 : page.Scroll;
    const int64_t x = int64_t{OriginX} + row.X + glyph.X;
    const int64_t y = int64_t{OriginY} + row.Y + glyph.Y - scroll;
    return TRect{static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(x + glyph.Width),
                 static_cast<int32_t>(y + glyph.Height)};
}

void TKsWord::Paint(TWdPage& page)
{
    if (Target == nullptr) return;
    const int64_t scroll = Paging ? 0 : page.Scroll;
    const TRect area = Rect64(OriginX, OriginY, int64_t{OriginX} + Width, int64_t{OriginY} + Height);
    const TRect clip = IntersectRects(Clip.IsEmpty() ? area : Clip, area);
    if (clip.IsEmpty()) return;
    const TRect saved = Target->ClipRect;
    Target->SetClipRect(IntersectRects(clip, Target->GetClipRect()));
    for (auto& row : page.Rows) {
        const TRect row_rect = Rect64(int64_t{OriginX} + row->X, int64_t{OriginY} + row->Y - scroll,
                                      int64_t{OriginX} + row->X + row->Width, OriginY + row->Bottom() - scroll);
        if (!Meets(row_rect, clip)) continue;
        for (TWdGlyph* glyph : row->Glyphs) {
            if (!glyph->IsReal()) continue;
            auto& real = static_cast<TWdReal&>(*glyph);
            if (!real.Visible || real.Opacity <= 0) continue;
            const TRect drawn = real.DrawnArea;
            const int x = ClampInt(int64_t{OriginX} + drawn.Left);
            const int y = ClampInt(int64_t{OriginY} + drawn.Top - scroll);
            if (glyph->IsChar()) {
                if (colour_.IsEmpty()) continue;
                const auto& c = static_cast<const TWdChar&>(*glyph);
                const TRect source = IntersectRects(drawn, TRect{0, 0, colour_.Width(), colour_.Height()});
                if (source.IsEmpty()) continue;
                const int sx = ClampInt(int64_t{OriginX} + source.Left);
                const int sy = ClampInt(int64_t{OriginY} + source.Top - scroll);
                const bool effects = OutlineOf(c.Decorate, OutlineWidth) > 0 || ShadowOf(c.Decorate, ShadowOffset) > 0;
                if (effects) {
                    if (real.Opacity < 255) Target->DrawAlphaMask(sx, sy, colour_, source, false, false, effect_, real.Opacity);
                    else Target->DrawMask(sx, sy, colour_, source, false, false, effect_);
                } else {
                    Target->DrawColorMask(sx, sy, effect_, source, false, false,
                                          static_cast<uint32_t>(Target->ColorToPixel(CharColor(c))), real.Opacity);
                }
            } else if (DrawImage) {
                // The engine's opacity applies to images only; above 255 it adds.
                int opacity = real.Opacity;
                int additive = 0;
                if (Opacity < 255) opacity = real.Opacity * std::max(0, Opacity) >> 8;
                else if (Opacity > 255) additive = real.Opacity * (Opacity - 256) / 256;
                DrawImage(static_cast<const TWdImg&>(real), *Target, x, y, opacity, additive);
            }
        }
    }
    Target->ClipRect = saved;
}

TWdGlyph* TKsWord::GlyphAt(TWdPage& page, int x, int y)
{
    const int64_t rx = int64_t{x} - OriginX;
    int64_t ry = int64_t{y} - OriginY;
    if (rx < 0 || ry < 0 || rx >= Width || ry >= Height) return nullptr;
    if (!Paging) ry += page.Scroll;
    for (auto& row : page.Rows) {
        if (ry < row->Y || ry >= row->Bottom()) continue;
        for (TWdGlyph* glyph : row->Glyphs) {
            if (!glyph->IsReal() || static_cast<TWdReal*>(glyph)->Opacity <= 254) continue;
            const int64_t gx = int64_t{row->X} + glyph->X;
            const int64_t gy = int64_t{row->Y} + glyph->Y;
            if (rx >= gx && rx < gx + glyph->Width && ry >= gy && ry < gy + glyph->Height) return glyph;
        }
    }
    return nullptr;
}

void TKsWord::RedrawGlyph(TWdPage& page, TWdGlyph* glyph)
{
    for (auto& row : page.Rows)
        for (size_t i = 0; i < row->Glyphs.size(); ++i)
            if (row->Glyphs[i] == glyph && glyph->IsChar()) {
                auto& c = static_cast<TWdChar&>(*glyph);
                const TRect area = IntersectRects(c.DrawnArea, TRect{0, 0, colour_.Width(), colour_.Height()});
                if (!colour_.IsEmpty() && !area.IsEmpty()) {
                    colour_.FillRect(area, 0);
                    effect_.FillRect(area, 0);
                }
                DrawChar(page, *row, i);
                const int64_t scroll = Paging ? 0 : page.Scroll;
                const TRect& d = c.DrawnArea;
                const TRect changed = Rect64(int64_t{OriginX} + d.Left, int64_t{OriginY} - scroll + d.Top,
                                             int64_t{OriginX} + d.Right, int64_t{OriginY} - scroll + d.Bottom);
                if (!changed.IsEmpty()) changed_.push_back(changed);
                return;
            }
}

void TKsWord::SetHover(TWdPage& page, int x, int y)
{
    changed_.clear();
    const TWdGlyph* hit = x < 0 || y < 0 ? nullptr : GlyphAt(page, x, y);
    const TWdGlyph* group = nullptr;
    if (hit != nullptr && !static_cast<const TWdReal*>(hit)->Link.empty()) {
        const std::string& link = static_cast<const TWdReal*>(hit)->Link;
        int index = IndexOf(hit);
        while (index > 0 && Glyph(index - 1)->IsReal() && static_cast<const TWdReal*>(Glyph(index - 1))->Link == link) --index;
        group = Glyph(index);
    }
    if (group == page.HoverFirst) return;
    auto mark = [&](const TWdGlyph* first, bool hover) {
        if (first == nullptr) return;
        const std::string link = static_cast<const TWdReal*>(first)->Link;
        int index = IndexOf(first);
        if (index < 0) return;
        for (; index < GlyphCount(); ++index) {
            TWdGlyph* glyph = Glyph(index);
            if (!glyph->IsReal() || static_cast<TWdReal*>(glyph)->Link != link) break;
            static_cast<TWdReal*>(glyph)->Hover = hover;
            RedrawGlyph(page, glyph);
        }
        if (index < GlyphCount()) RedrawGlyph(page, Glyph(index));  // the glyph after the group
    };
    mark(page.HoverFirst, false);
    page.HoverFirst = group;
    mark(group, true);
}

std::string TKsWord::HoverLink(const TWdPage& page) const
{
    return page.HoverFirst != nullptr ? static_cast<const TWdReal*>(page.HoverFirst)->Link : std::string();
}

std::string TKsWord::LinkText(const TWdPage& page) const
{
    std::string text;
    if (page.HoverFirst == nullptr) return text;
    const std::string& link = static_cast<const TWdReal*>(page.HoverFirst)->Link;
    for (int index = IndexOf(page.HoverFirst); index >= 0 && index < GlyphCount(); ++index) {
        const TWdGlyph* glyph = Glyph(index);
        if (!glyph->IsReal() || static_cast<const TWdReal*>(glyph)->Link != link) break;
        if (glyph->IsChar()) {
            const uint16_t code = static_cast<const TWdChar*>(glyph)->Code;
            if (code > 0xFF) text.push_back(static_cast<char>(code >> 8));
            text.push_back(static_cast<char>(code & 0xFF));
        }
    }
    return text;
}

}  // namespace mobu
