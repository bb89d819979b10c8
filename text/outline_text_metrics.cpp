#include "text/outline_text_metrics.h"

#include "text/font_style.h"

namespace mobu {

namespace {

constexpr uint8_t kShiftJisCharSet = 128;
constexpr uint8_t kFixedPitchTrueType = 0x01 | 0x04 | 0x30;  // variable pitch, TrueType, modern

}  // namespace

TOutlineTextMetrics TOutlineTextMetrics::FromFont(const TFontMetrics& font, int style)
{
    TOutlineTextMetrics m;
    m.height = font.ascent + font.descent;
    m.ascent = font.ascent;
    m.descent = font.descent;
    m.average_width = font.size / 2;
    m.max_width = font.size;
    m.weight = (style & kFontBold) ? 700 : 400;
    m.italic = (style & kFontItalic) != 0;
    m.underlined = (style & kFontUnderline) != 0;
    m.struck_out = (style & kFontStrikeOut) != 0;
    m.em_square = font.ppem;
    m.underline_size = font.underline_thickness;
    m.underline_position = -font.underline_thickness;
    m.strikeout_size = font.strikeout_thickness;
    m.strikeout_position = font.strikeout_position;
    return m;
}

void TOutlineTextMetrics::Write(ByteWriter& out) const
{
    out.U32(kStoredSize);  // size of the record
    // Text metrics: eleven 32-bit fields, four character bytes, five flag bytes, padding.
    out.I32(height);
    out.I32(ascent);
    out.I32(descent);
    out.I32(height - em_square > 0 ? height - em_square : 0);  // internal leading
    out.I32(0);                                                // external leading
    out.I32(average_width);
    out.I32(max_width);
    out.I32(weight);
    out.I32(overhang);
    out.I32(96);  // digitised aspect x, y
    out.I32(96);
    out.U8(0x20);  // first, last, default and break characters
    out.U8(0xFC);
    out.U8(0x1F);
    out.U8(0x20);
    out.U8(italic ? 0xFF : 0);
    out.U8(underlined ? 0xFF : 0);
    out.U8(struck_out ? 0xFF : 0);
    out.U8(kFixedPitchTrueType);
    out.U8(kShiftJisCharSet);
    out.U8(0);  // padding of the text metrics
    out.U8(0);
    out.U8(0);
    out.U8(0);               // filler
    for (int i = 0; i < 10; ++i) out.U8(0);  // PANOSE classification
    out.U8(0);               // padding
    out.U32(italic ? 1 : 0); // selection flags
    out.U32(0);              // embedding type
    out.I32(1);              // caret slope rise, run
    out.I32(0);
    out.I32(italic ? -120 : 0);  // italic angle in tenths of a degree
    out.U32(static_cast<uint32_t>(em_square));
    out.I32(ascent);
    out.I32(-descent);
    out.U32(0);  // line gap
    out.U32(0);  // capital height
    out.U32(0);  // x height
    out.I32(0);  // font box
    out.I32(ascent);
    out.I32(max_width);
    out.I32(-descent);
    out.I32(ascent);  // Macintosh ascent, descent, line gap
    out.I32(-descent);
    out.U32(0);
    out.U32(1);  // smallest readable size
    for (int i = 0; i < 8; ++i) out.I32(0);  // sub- and superscript size and offset
    out.U32(static_cast<uint32_t>(strikeout_size));
    out.I32(strikeout_position);
    out.I32(underline_size);
    out.I32(underline_position);
    for (int i = 0; i < 4; ++i) out.U32(0);  // name offsets: no names follow
}

}  // namespace mobu
