#include "components/mobu_cg_label.h"

#include <algorithm>

#include "components/image_steps.h"
#include "components/mobu_label.h"
#include "core/cp932_chars.h"
#include "expr/jconvert.h"

namespace mobu {
namespace {

int32_t Clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

void TMobuCGLabel::SetSource(const std::string& path)
{
    if (path == Source) return;
    Source = path;
    Invalidate();
    Images.Clear();
    if (!path.empty()) Images.Fill(this, path, false, true);
    Images.Index = Images.Count() > 0 ? 0 : -1;
    Images.FrameLeft = Images.Count() > 0 ? Images.Data(0).Frame->Delay : 0;
    Invalidate();
}

void TMobuCGLabel::RebuildCells(bool measure)
{
    Cells.clear();
    size_t longest = 0;
    for (const std::string& line : SplitTextLines(Text)) {
        std::vector<int32_t> cells;
        for (size_t i = 0; i < line.size();) {
            const size_t length = Cp932CharLength(line, i);
            cells.push_back(JPos(std::string_view(line).substr(i, length), MapText) - 1);
            i += length;
        }
        longest = std::max(longest, cells.size());
        Cells.push_back(std::move(cells));
    }
    if (!measure) return;
    const int64_t lines = static_cast<int64_t>(Cells.size());
    const int64_t width = static_cast<int64_t>(longest) * GlyphWidth;
    const int64_t height = lines == 0 ? 0 : lines * GlyphHeight + int64_t{LineSpace} * (lines - 1);
    Invalidate();
    SetWidth(Clamp32(width));
    SetHeight(Clamp32(std::max<int64_t>(height, 0)));
    Invalidate();
}

void TMobuCGLabel::Draw(TCustomDIBX& surface)
{
    if (Width != 0 && Height != 0 && Images.Valid(Images.Index) && Alpha > 0) {
        TFeskItemFrame& frame = *Images.Data(Images.Index).Frame;
        TDIBX& sheet = Images.Surface(Images.Index, 0);
        const int32_t columns = sheet.Width() / GlyphWidth;
        if (columns >= 1) {
            const int64_t cells = int64_t{sheet.Height() / GlyphHeight} * columns;
            const bool keyed = sheet.TransparentColor >= 0;
            const int amount = std::min(Alpha - 256, 255);
            int64_t y = GetAbsTop();
            const int64_t left = GetAbsLeft();
            for (const std::vector<int32_t>& line : Cells) {
                const int64_t used = static_cast<int64_t>(line.size()) * GlyphWidth;
                int64_t x = left;
                if (HAlign == HA_CENTER) x += (Width - used) / 2;
                else if (HAlign == HA_RIGHT) x += Width - used;
                for (int32_t c : line) {
                    if (c >= 0 && c < cells) {
                        const int32_t sx = c % columns * GlyphWidth, sy = c / columns * GlyphHeight;
                        const TRect cell{sx, sy, sx + GlyphWidth, sy + GlyphHeight};
                        const int dx = Clamp32(x), dy = Clamp32(y);
                        if (frame.Mask) {
                            if (Alpha < 255) surface.DrawAlphaMask(dx, dy, sheet, cell, false, false, *frame.Mask, Alpha);
                            else if (Alpha == 255) surface.DrawMask(dx, dy, sheet, cell, false, false, *frame.Mask);
                            else surface.DrawAddMask(dx, dy, sheet, cell, false, false, *frame.Mask, amount);
                        } else {
                            if (Alpha < 255) surface.DrawAlpha(dx, dy, sheet, cell, keyed, false, false, Alpha);
                            else if (Alpha == 255) surface.Draw(dx, dy, sheet, cell, keyed, false, false);
                            else surface.DrawAdd(dx, dy, sheet, cell, keyed, false, false, amount);
                        }
                    }
                    x += GlyphWidth;
                }
                y += int64_t{GlyphHeight} + LineSpace;
            }
        }
    }
    DrawChildren(surface);
}

bool TMobuCGLabel::Update()
{
    if (TMobuControl::Update()) return true;
    if (AniPaused || Images.Count() == 0) return false;
    TFrameClock clock{Images.Index, Images.FrameLeft};
    AdvanceFrames(clock, Images.Delays(), ImageFrameElapsedMs(), true, 0);
    const bool changed = clock.Index != Images.Index;
    Images.Index = clock.Index;
    Images.FrameLeft = clock.FrameLeft;
    if (changed) Invalidate();
    return false;
}

TPropValue TMobuCGLabel::ReadProperty(int id)
{
    switch (id) {
        case PR_SOURCE: return TPropValue::Text(Source);
        case PR_TEXT: return TPropValue::Text(Text);
        case PR_MAPTEXT: return TPropValue::Text(MapText);
        case PR_GLYPHWIDTH: return TPropValue::Int(GlyphWidth);
        case PR_GLYPHHEIGHT: return TPropValue::Int(GlyphHeight);
        case PR_LINESPACE: return TPropValue::Int(LineSpace);
        case PR_HALIGN: return TPropValue::Int(HAlign);
        case PR_ALPHA: return TPropValue::Int(Alpha);
        case PR_ORIGWIDTH:
            return TPropValue::Int(Images.Valid(Images.Index) ? Images.Data(Images.Index).Frame->Surface->Width() : 0);
        case PR_ORIGHEIGHT:
            return TPropValue::Int(Images.Valid(Images.Index) ? Images.Data(Images.Index).Frame->Surface->Height() : 0);
        case PR_PLAYING: return TPropValue::Flag(!Paused() && !AniPaused);
        default: return TMobuControl::ReadProperty(id);
    }
}

void TMobuCGLabel::WriteProperty(int id, const TPropValue& value)
{
    switch (id) {
        case PR_SOURCE: SetSource(value.text); return;
        case PR_TEXT:
            if (Text == value.text) return;
            Text = value.text;
            RebuildCells(true);
            return;
        case PR_MAPTEXT:
            if (MapText == value.text) return;
            MapText = value.text;
            RebuildCells(false);
            Invalidate();
            return;
        case PR_GLYPHWIDTH:
        case PR_GLYPHHEIGHT: {
            int32_t& field = id == PR_GLYPHWIDTH ? GlyphWidth : GlyphHeight;
            const int32_t v = value.integer <= 0 ? 1 : value.integer;
            if (field == v) return;
            field = v;
            RebuildCells(true);
            return;
        }
        case PR_LINESPACE:
            if (LineSpace == value.integer) return;
            LineSpace = value.integer;
            RebuildCells(true);
            return;
        case PR_HALIGN:
            HAlign = value.integer;
            Invalidate();
            return;
        case PR_ALPHA:
            Alpha = value.integer;
            Invalidate();
            return;
        default: TMobuControl::WriteProperty(id, value); return;
    }
}

void TMobuCGLabel::SaveTypePart(ByteWriter& out)
{
    out.String(Source);
    out.String(Text);
    out.String(MapText);
    out.I32(GlyphWidth);
    out.I32(GlyphHeight);
    out.I32(LineSpace);
    out.U8(Reserved);
    out.U8(static_cast<uint8_t>(HAlign));
    out.I32(Alpha);
    out.String(EventString(PR_ONIDLE));
}

void TMobuCGLabel::LoadTypePart(ByteReader& in, int version)
{
    SetSource(in.String());
    Text = in.String();
    MapText = in.String();
    GlyphWidth = std::max(1, in.I32());
    GlyphHeight = std::max(1, in.I32());
    LineSpace = in.I32();
    Reserved = in.U8();
    HAlign = in.U8();
    Alpha = in.I32();
    if (version > 124) values_[PR_ONIDLE] = TPropValue::Text(in.String());
    RebuildCells(true);
}

}  // namespace mobu
