// Measuring in em squares, break opportunities and the layout of rows and pages.
#include <algorithm>
#include <array>

#include "platform/text_encoding.h"
#include "text/font_style.h"
#include "text/ks_word.h"

namespace mobu {

namespace {

// Largest em size and effect width the layout arithmetic takes; beyond them the values are
// cut so that every glyph box fits in 32 bits.
constexpr int64_t kMaxLayoutSize = 1 << 20;
constexpr int64_t kMaxLayoutEffect = 1 << 16;

std::vector<uint16_t> CodesOf(std::u8string_view chars)
{
    const std::string cp932 = SysText(chars);
    std::vector<uint16_t> codes;
    for (size_t i = 0; i < cp932.size();) {
        const uint8_t lead = static_cast<uint8_t>(cp932[i]);
        if (((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) && i + 1 < cp932.size()) {
            codes.push_back(static_cast<uint16_t>(lead << 8 | static_cast<uint8_t>(cp932[i + 1])));
            i += 2;
        } else {
            codes.push_back(lead);
            ++i;
        }
    }
    return codes;
}

// Characters that may not begin a line, and characters that may not end one.
const std::vector<uint16_t>& NoBeginChars()
{
    static const std::vector<uint16_t> codes = CodesOf(u8"。、｣」』)）､｡!?！？】");
    return codes;
}

const std::vector<uint16_t>& NoEndChars()
{
    static const std::vector<uint16_t> codes = CodesOf(u8"｢「『（([<【");
    return codes;
}

bool IsIn(const std::vector<uint16_t>& set, const TWdGlyph& glyph)
{
    if (!glyph.IsChar()) return false;
    const uint16_t code = static_cast<const TWdChar&>(glyph).Code;
    return std::find(set.begin(), set.end(), code) != set.end();
}

bool NoBreakFlag(const TWdGlyph& glyph)
{
    if (glyph.IsChar()) {
        const TDecorate* d = static_cast<const TWdChar&>(glyph).Decorate;
        return d != nullptr && d->NoBreak;
    }
    if (glyph.Kind == TWdKind::Img) return static_cast<const TWdImg&>(glyph).NoBreak;
    return false;
}

const std::string* RubyOf(const TWdGlyph& glyph)
{
    if (glyph.IsChar()) {
        const TDecorate* d = static_cast<const TWdChar&>(glyph).Decorate;
        return d != nullptr && !d->Ruby.empty() ? &d->Ruby : nullptr;
    }
    if (glyph.Kind == TWdKind::Img) {
        const auto& ruby = static_cast<const TWdImg&>(glyph).Ruby;
        return ruby.empty() ? nullptr : &ruby;
    }
    return nullptr;
}

bool IsLatin(const TWdGlyph& glyph)
{
    if (!glyph.IsChar()) return false;
    const uint16_t code = static_cast<const TWdChar&>(glyph).Code;
    return code > 32 && code < 256;
}

bool IsBlank(const TWdGlyph& glyph) { return glyph.IsChar() && static_cast<const TWdChar&>(glyph).Code == ' '; }

int32_t ClampToInt(int64_t value) { return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)); }

}  // namespace

int32_t TKsWord::GlyphFontSize(const TDecorate* decorate) const
{
    const int64_t size = decorate != nullptr && decorate->FontSize > 0 ? decorate->FontSize : FontSize;
    return static_cast<int32_t>(std::clamp<int64_t>(size, 0, kMaxLayoutSize));
}

void TKsWord::MeasureGlyph(TWdGlyph& glyph)
{
    if (glyph.IsChar()) {
        const TDecorate* d = static_cast<const TWdChar&>(glyph).Decorate;
        const int64_t size = GlyphFontSize(d);
        int64_t w = d != nullptr && d->OutlineWidth >= 0 ? d->OutlineWidth : OutlineWidth;
        int64_t s = d != nullptr && d->ShadowOffset >= 0 ? d->ShadowOffset : ShadowOffset;
        w = std::clamp<int64_t>(w, 0, kMaxLayoutEffect);
        s = std::clamp<int64_t>(s, 0, kMaxLayoutEffect);
        int64_t width = size, height = size;
        if (d != nullptr && (d->Style & kFontItalic)) width += size / 5;
        if (d != nullptr && !d->Ruby.empty()) height += std::max<int64_t>(1, size / 2);
        glyph.Width = ClampToInt(width + 2 * w + s);
        glyph.Height = ClampToInt(height + 2 * w + s);
        return;
    }
    if (glyph.Kind == TWdKind::Img) {
        int width = 0, height = 0;
        if (!ImageSize || !ImageSize(static_cast<const TWdImg&>(glyph).Source, width, height)) width = height = 0;
        glyph.Width = std::max(0, width);
        glyph.Height = std::max(0, height);
        return;
    }
    if (glyph.Kind != TWdKind::Space) glyph.Width = glyph.Height = 0;
}

bool TKsWord::BreakAllowedBefore(int index) const
{
    if (index <= 0) return true;
    const TWdGlyph& a = *Glyph(index);
    const TWdGlyph& b = *Glyph(index - 1);
    if (NoBreakFlag(a) && NoBreakFlag(b)) return false;
    const std::string* ruby_a = RubyOf(a);
    const std::string* ruby_b = RubyOf(b);
    if (ruby_a != nullptr && ruby_b != nullptr && *ruby_a == *ruby_b) return false;
    if (IsLatin(a) && IsLatin(b)) return false;
    if (IsBlank(a) && !IsBlank(b)) return false;
    if (IsIn(NoBeginChars(), a)) return false;
    return true;
}

// One past the last glyph of the unit that starts at `start` (glyphs below `end`).
int TKsWord::UnitEnd(int start, int end) const
{
    int j = start + 1;
    auto extend = [&] {
        while (j < end && !Glyph(j - 1)->IsReturn() && !BreakAllowedBefore(j)) ++j;
    };
    if (Glyph(start)->IsReturn()) return j;
    extend();
    if (j == start + 1 && j < end && IsIn(NoEndChars(), *Glyph(start)) && !Glyph(j)->IsReturn()) {
        ++j;
        extend();
    }
    return j;
}

void TKsWord::AddToRow(TWdRow& row, TWdGlyph* glyph) const
{
    row.Glyphs.push_back(glyph);
    row.ContentWidth += glyph->Width;
    if (glyph->IsChar()) {
        row.HasChar = true;
        row.CharHeight = std::max(row.CharHeight, glyph->Height);
    } else if (glyph->Kind == TWdKind::Img) {
        const uint8_t align = static_cast<const TWdImg*>(glyph)->VAlign;
        int32_t& tallest = align == kImgCenter ? row.CenterImage : align == kImgTop ? row.TopImage : row.BottomImage;
        tallest = std::max(tallest, glyph->Height);
    } else if (glyph->IsReturn()) {
        row.EndsWithBreak = true;
    }
    // A row of nothing but a line break keeps the height of a line of the engine's font.
    const int64_t c = row.HasChar ? row.CharHeight : (row.EndsWithBreak ? GlyphFontSize(nullptr) : 0);
    const int64_t center_excess = std::max<int64_t>(0, row.CenterImage - c);
    const int64_t above = std::max({int64_t{0}, row.BottomImage - c, center_excess / 2});
    const int64_t below = std::max({int64_t{0}, row.TopImage - c, center_excess - center_excess / 2});
    row.ExtraAbove = ClampToInt(above);
    row.ExtraBelow = ClampToInt(below);
    row.Height = ClampToInt(c + above + below);
}

void TKsWord::ArrangeRow(TWdRow& row) const
{
    const int64_t free = int64_t{row.RightBound} - row.LeftBound - row.ContentWidth;
    int64_t x = row.LeftBound;
    if (row.Align == kAlignRight) x = row.RightBound - row.ContentWidth;
    else if (row.Align == kAlignCenter) x = row.LeftBound + free / 2;
    row.X = ClampToInt(x);
    row.Width = ClampToInt(row.ContentWidth);
    const int64_t c = int64_t{row.Height} - row.ExtraAbove - row.ExtraBelow;
    int64_t gx = 0;
    for (TWdGlyph* glyph : row.Glyphs) {
        glyph->X = ClampToInt(gx);
        gx += glyph->Width;
        int64_t y = int64_t{row.Height} - row.ExtraBelow - glyph->Height;  // on the bottom line
        if (glyph->Kind == TWdKind::Img) {
            const uint8_t align = static_cast<const TWdImg*>(glyph)->VAlign;
            if (align == kImgTop) y = row.ExtraAbove;
            else if (align == kImgCenter) y = row.ExtraAbove + (c - glyph->Height) / 2;
        }
        glyph->Y = ClampToInt(y);
    }
}

void TKsWord::Layout(TWdPageList& pages, int first, int last)
{
    const int count = GlyphCount();
    if (first < 0) first = 0;
    const int end = last < 0 || last >= count ? count : last + 1;
    for (int i = first; i < end; ++i) MeasureGlyph(*Glyph(i));

    const size_t first_new_page = pages.size();
    TWdPage* page = nullptr;
    TWdRow* row = nullptr;
    int64_t y = 0;
    uint8_t align = kAlignLeft;
    int64_t indent = 0;
    bool new_page_next = false;

    auto open_row = [&](int first_index) {
        if (page == nullptr || new_page_next) {
            pages.push_back(std::make_unique<TWdPage>());
            page = pages.back().get();
            y = 0;
            new_page_next = false;
        }
        auto fresh = std::make_unique<TWdRow>();
        fresh->Y = ClampToInt(y);
        fresh->LeftBound = 0;
        fresh->RightBound = Width;
        fresh->Align = align;
        fresh->Indent = ClampToInt(indent);
        fresh->FirstIndex = first_index;
        if (indent > 0) {
            fresh->IndentSpace = std::make_unique<TWdSpace>();
            fresh->IndentSpace->Engine = this;
            fresh->IndentSpace->Width = ClampToInt(indent);
            AddToRow(*fresh, fresh->IndentSpace.get());
        }
        row = fresh.get();
        page->Rows.push_back(std::move(fresh));
    };
    auto close_row = [&] {
        if (row == nullptr) return;
        y += int64_t{row->Height} + LineSpace;
        row = nullptr;
    };

    int i = first;
    while (i < end) {
        TWdGlyph* glyph = Glyph(i);
        if (glyph->Kind == TWdKind::Align) {
            align = static_cast<const TWdOpeAlign*>(glyph)->Align;
            if (row != nullptr && !row->HoldsGlyphs()) row->Align = align;
            ++i;
            continue;
        }
        if (glyph->Kind == TWdKind::Indent) {
            indent = row != nullptr ? row->ContentWidth : 0;
            ++i;
            continue;
        }
        if (glyph->Kind == TWdKind::Undent) {
            indent = 0;
            ++i;
            continue;
        }
        const int unit_end = UnitEnd(i, end);
        int64_t unit_width = 0;
        for (int k = i; k < unit_end; ++k) unit_width += Glyph(k)->Width;
        // A unit without width (a line break, a mark, a missing image) never closes a row:
        // after a word wider than the row it would leave an empty row behind.
        if (row != nullptr && Width != 0 && row->HoldsGlyphs() && unit_width > 0 &&
            int64_t{row->RightBound} - row->LeftBound < row->ContentWidth + unit_width)
            close_row();
        if (row == nullptr) open_row(i);
        bool restarted = false;
        for (int k = i; k < unit_end; ++k) {
            TWdGlyph* member = Glyph(k);
            AddToRow(*row, member);
            if (Paging && page->Rows.size() > 1 && y + row->Height > Height) {
                // The row leaves this page; layout restarts at its first glyph on a new page.
                i = row->FirstIndex;
                align = row->Align;
                indent = row->Indent;
                page->Rows.pop_back();
                row = nullptr;
                pages.push_back(std::make_unique<TWdPage>());
                page = pages.back().get();
                y = 0;
                new_page_next = false;
                restarted = true;
                break;
            }
            if (member->IsReturn()) {
                const bool new_page = static_cast<const TWdOpeReturn*>(member)->NewPage;
                close_row();
                if (new_page) new_page_next = true;
            }
        }
        if (restarted) continue;
        i = unit_end;
    }

    // Arrange every row of the new pages.
    int64_t widest = 0;
    for (size_t p = first_new_page; p < pages.size(); ++p)
        for (auto& r : pages[p]->Rows) widest = std::max(widest, r->ContentWidth);
    if (Width == 0) Width = ClampToInt(widest);
    for (size_t p = first_new_page; p < pages.size(); ++p) {
        TWdPage& each = *pages[p];
        int64_t content = 0;
        for (auto& r : each.Rows) {
            if (r->RightBound == 0) r->RightBound = Width;
            ArrangeRow(*r);
            content = std::max(content, r->Bottom());
        }
        each.ContentHeight = ClampToInt(content);
        each.Width = Width;
        each.Height = ClampToInt(content);
    }
}

}  // namespace mobu
