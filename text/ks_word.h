// The text engine of message boxes and the message history: converts tagged story text into
// a flat glyph list, measures the glyphs in em squares (so breaks never depend on the font),
// lays them out into rows and pages, and reveals a page glyph by glyph over the frames.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "graphics/dibx.h"
#include "text/decorate_list.h"
#include "text/wd_glyph.h"
#include "text/wd_page.h"

namespace mobu {

class TKsWord {
public:
    // Newest stored glyph list version the engine writes.
    static constexpr int kGlyphListVersion = 102;
    // The last version whose variable glyphs hold a compiled expression instead of a name.
    static constexpr int kCompiledVariableVersion = 101;
    // Characters one variable glyph may expand to.
    static constexpr size_t kMaxVarChars = 65536;

    TKsWord();
    ~TKsWord();
    TKsWord(const TKsWord&) = delete;
    TKsWord& operator=(const TKsWord&) = delete;

    // ---- settings ----
    std::string FontName;  // "ＭＳ ゴシック"
    int32_t FontSize = 12;
    int32_t FontColor = 0;
    int32_t LinkColor = 0xFF0000;    // blue
    int32_t HoverColor = 0x008000;   // green 128
    int32_t OutlineColor = 0x808080;
    int32_t ShadowColor = 0;
    int32_t OutlineWidth = 0;
    int32_t ShadowOffset = 0;
    int32_t Antialias = 3;
    int32_t LineSpace = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    uint8_t Paging = 1;
    int32_t FadeTime = 1;
    int32_t Opacity = 255;
    uint8_t Paused = 0;
    int32_t TextDelayRate = 0;
    uint8_t NotifyEnabled = 0;
    int32_t OriginX = 0;
    int32_t OriginY = 0;
    int32_t CaretX = 0;
    int32_t CaretY = 0;
    int32_t CaretHeight = 0;

    // ---- hooks installed by the owner ----
    // Size of an inline image source; false when it does not exist (0 x 0).
    std::function<bool(const std::string& source, int& width, int& height)> ImageSize;
    // The string value of a variable or expression; false when it fails.
    std::function<bool(const std::string& name, std::string& value)> Evaluate;
    // The string value of a compiled expression (variable glyphs of old stored lists carry
    // one instead of a name); false when it fails.
    std::function<bool(TMobuParser& expression, std::string& value)> EvaluateCompiled;
    // Receives each notification text in order.
    std::function<void(TKsWord& engine, const std::string& text)> OnNotify;

    // Name=value lines of fixed values for variable glyphs.
    std::vector<std::string> FixedValueList;
    // Added to formatting-record indices of stored glyph lists appended later.
    int32_t DecorationOffset = 0;

    // ---- glyphs ----
    // Discards all glyphs and records and converts the lines (tagged text). `wait_base` is
    // the wait of characters outside WAIT tags (@TextDelay when the conversion starts).
    // Throws EMobuError for an A tag without HREF; the engine is then empty.
    void SetText(const std::vector<std::string>& lines, int32_t wait_base);
    void Clear();
    int GlyphCount() const { return static_cast<int>(glyphs_.size()); }
    TWdGlyph* Glyph(int index) { return glyphs_[static_cast<size_t>(index)].get(); }
    const TWdGlyph* Glyph(int index) const { return glyphs_[static_cast<size_t>(index)].get(); }
    int IndexOf(const TWdGlyph* glyph) const;
    void InsertGlyph(int index, std::unique_ptr<TWdGlyph> glyph);
    void DeleteGlyph(int index);
    TDecorateList& Decorations() { return decorations_; }
    const TDecorateList& Decorations() const { return decorations_; }

    void ExpandVars(int first, int last, bool history);
    void CollapseVars(int first, int last);
    void ShowAll();
    void HideAll();
    // Appends copies of the other engine's glyphs first..last (-1: to the end).
    void CopyGlyphs(const TKsWord& other, int first, int last);
    // Glyph index of the n-th displayed unit, and the units counted up to a glyph.
    int CharIndex(int n) const;
    int CharCount(int glyph_index) const;

    // ---- layout ----
    // Measures every glyph (em squares; images through ImageSize).
    void MeasureGlyph(TWdGlyph& glyph);
    // Lays out glyphs first..last (-1 or out of range: to the end) into new pages appended
    // to `pages`. A width of 0 becomes the widest row width.
    void Layout(TWdPageList& pages, int first = 0, int last = -1);

    // ---- stored forms ----
    // Appends a stored glyph list. A list that cannot be read leaves the engine as it was
    // and throws EMobuError.
    void LoadGlyphs(ByteReader& in);
    void SaveGlyphs(ByteWriter& out) const;
    void SaveSettings(ByteWriter& out) const;
    void LoadSettings(ByteReader& in, int version);

    // ---- pages ----
    void ResetDisplay(TWdPage& page);
    void RestartTiming(TWdPage& page);
    // One frame: reveals glyphs and fades them in; the page's OutputText is the text revealed
    // in this frame and Done is set once nothing remains to reveal or fade.
    void Progress(TWdPage& page, int64_t elapsed_ms);
    bool IsDisplaying(const TWdPage& page) const;
    std::string RevealedText(const TWdPage& page) const;
    void CaptureFixedValues(TWdPage& page);
    // Writes the page's reveal state: position, done flag, pending notification and the opacity
    // of every glyph revealed so far (the real glyphs before the position).
    void SavePageState(const TWdPage& page, ByteWriter& out) const;
    // Reads a page state. One that does not fit the page resets the page instead and answers
    // false: its opacities cannot be counted, so the stream's place after it is unknown and no
    // later state may be read from it.
    bool LoadPageState(TWdPage& page, ByteReader& in);

    // Rectangles (target coordinates) of the glyphs drawn again by the last Progress or SetHover.
    const std::vector<TRect>& ChangedRects() const { return changed_; }

    // ---- drawing ----
    // Set by the owner before Paint: the target, the clip rectangle (target coordinates)
    // and the depth of the colour surface (the display's).
    TCustomDIBX* Target = nullptr;
    TRect Clip{};
    int DisplayBitCount = 32;
    // Largest text surface in pixels; a taller page is rendered clipped.
    static constexpr int64_t kPixelBudget = int64_t{1} << 24;
    // Draws the page's characters into the colour and effect surfaces; `full` first makes
    // every visible glyph transparent, so the page is revealed again from nothing.
    void Render(TWdPage& page, bool full);
    // Paints the visible glyphs of the rows that meet the clip onto the target.
    void Paint(TWdPage& page);
    // The glyph under a target point (fully opaque only), nullptr for none.
    TWdGlyph* GlyphAt(TWdPage& page, int x, int y);
    // Hovers the link group under a target point ((-1, -1): none); the changed glyphs are
    // drawn again and reported through ChangedRects.
    void SetHover(TWdPage& page, int x, int y);
    // The hovered group's characters ("" without one) and its link target.
    std::string LinkText(const TWdPage& page) const;
    std::string HoverLink(const TWdPage& page) const;
    // A glyph's place on the target.
    TRect GlyphRect(const TWdPage& page, const TWdRow& row, const TWdGlyph& glyph) const;
    // Draws images inline; installed by the owner (images stay undrawn without it).
    std::function<void(const TWdImg& image, TCustomDIBX& target, int x, int y, int opacity, int additive)> DrawImage;
    TDIBX& ColorSurface() { return colour_; }
    TDIBX& EffectSurface() { return effect_; }

    // Texts of a row as the layout tools print it: characters in order, a variable's
    // expanded characters, `image_mark` for an inline image, nothing for control glyphs.
    static std::string RowText(const TWdRow& row, const std::string& image_mark);

private:
    // The real glyphs of a page in reading order before the given row and glyph.
    static std::vector<TWdReal*> GlyphsBefore(const TWdPage& page, int32_t next_row, int32_t next_glyph);
    void ConvertTokens(const std::vector<std::string>& tokens, int32_t wait_base);
    int UnitEnd(int start, int end) const;
    bool BreakAllowedBefore(int index) const;
    void ArrangeRow(TWdRow& row) const;
    void AddToRow(TWdRow& row, TWdGlyph* glyph) const;
    int32_t GlyphFontSize(const TDecorate* decorate) const;
    bool ExpandedValue(const TWdOpeVar& var, std::string& value) const;

    std::vector<std::unique_ptr<TWdGlyph>> glyphs_;
    TDecorateList decorations_;
    std::vector<TRect> changed_;
    TDIBX colour_;
    TDIBX effect_;
    void DrawChar(TWdPage& page, TWdRow& row, size_t index);
    void DrawRuby(TWdPage& page, TWdRow& row, size_t first, size_t count);
    void RedrawGlyph(TWdPage& page, TWdGlyph* glyph);
    int32_t CharColor(const TWdChar& c) const;
};

}  // namespace mobu
