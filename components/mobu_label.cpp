#include "components/mobu_label.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/cp932_chars.h"
#include "platform/text_encoding.h"
#include "components/mobu_image.h"
#include "text/draw_glyph.h"
#include "text/font_pixel_manager.h"

namespace mobu {
namespace {

int32_t Clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

double Radians(int32_t angle) { return angle * 2.0 * std::numbers::pi / 256.0; }

}  // namespace

std::vector<std::string> SplitTextLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

TMobuLabel::TMobuLabel(TMobuBaseList* owner) : TMobuControl(owner, LT_LABEL), FontName(SysText(u8"ＭＳ Ｐゴシック"))
{
    ApplyCreationDefaults();
}

// A created label starts from the creation defaults of its font properties, like every
// component (an empty font name renders in the fallback font).
void TMobuLabel::ApplyCreationDefaults()
{
    for (int id : {PR_FONTNAME, PR_FONTHEIGHT, PR_FONTSTYLE, PR_FONTCOLOR, PR_LINESPACE, PR_HALIGN})
        WriteProperty(id, DefaultValue(id).As(PropertyInfo(id).type));
}

std::string TMobuLabel::JoinedText() const
{
    std::string text;
    for (size_t i = 0; i < Lines.size(); ++i) {
        if (i > 0) text += "\r\n";
        text += Lines[i];
    }
    return text;
}

void TMobuLabel::SetText(const std::string& text)
{
    Lines = SplitTextLines(text);
    Render();
}

void TMobuLabel::Render()
{
    auto& manager = FontPixelManager();
    manager.SetAntialias(Antialias ? 3 : 0);
    const std::string font = FontName.empty() ? SysText(u8"ＭＳ ゴシック") : FontName;
    // Sizes outside 1-512 pixels render at the nearest of them; the line pitch keeps the
    // given size so positions follow the author's numbers.
    const int size = TFontPixelManager::ClampSize(FontHeight);

    std::vector<std::vector<uint16_t>> codes;
    std::vector<std::vector<int>> advances;
    std::vector<int64_t> widths;
    int64_t widest = 0;
    for (const std::string& line : Lines) {
        codes.push_back(Cp932CharCodes(line));
        advances.emplace_back();
        int64_t width = 0;
        for (uint16_t code : codes.back()) {
            auto glyph = manager.GetGlyph(code, font, FontStyle & 0xFF, size);
            const int advance = glyph->mask_width + glyph->left_offset + glyph->trailing_advance;
            advances.back().push_back(advance);
            width += advance;
        }
        widths.push_back(width);
        widest = std::max(widest, width);
    }
    const int64_t pitch = int64_t{FontHeight} + LineSpace;
    TextWidth = Clamp32(widest);
    TextHeight = Clamp32(pitch * static_cast<int64_t>(Lines.size()));
    SetWidth(Clamp32(int64_t{TextWidth} * ZoomXValue / 256));
    SetHeight(Clamp32(int64_t{TextHeight} * ZoomYValue / 256));
    LineRects.clear();

    if (TextWidth > 0 && TextHeight > 0) {
        // The surfaces never exceed the pixel budget: a larger text is rendered clipped.
        int32_t surface_w = TextWidth, surface_h = TextHeight;
        if (int64_t{surface_w} * surface_h > kPixelBudget) {
            surface_w = static_cast<int32_t>(std::min<int64_t>(surface_w, kPixelBudget / std::min<int64_t>(surface_h, 4096)));
            surface_h = static_cast<int32_t>(std::min<int64_t>(surface_h, kPixelBudget / std::max(surface_w, 1)));
        }
        if (ColorSurface.Width() != surface_w || ColorSurface.Height() != surface_h ||
            ColorSurface.BitCount() != render_bits_)
            ColorSurface.SetSize(surface_w, surface_h, render_bits_);
        if (MaskSurface.Width() != surface_w || MaskSurface.Height() != surface_h || MaskSurface.BitCount() != 8)
            MaskSurface.SetSize(surface_w, surface_h, 8);
        MaskSurface.Clear(0);
        ColorSurface.Clear(0);
        TGlyphStyle style;
        style.text_pixel = static_cast<uint32_t>(ColorSurface.ColorToPixel(FontColor));
        int64_t y = 0;
        for (size_t l = 0; l < Lines.size(); ++l, y += pitch) {
            int64_t x = 0;
            if (HAlign == HA_CENTER) x = (int64_t{TextWidth} - widths[l]) / 2;
            else if (HAlign == HA_RIGHT) x = int64_t{TextWidth} - widths[l];
            TRect inked{};
            if (y < surface_h && y + size > 0) {
                for (size_t i = 0; i < codes[l].size() && x < surface_w; ++i) {
                    const int advance = advances[l][i];
                    style.previous_differs = i == 0;
                    style.next_differs = i + 1 == codes[l].size();
                    auto glyph = manager.GetGlyph(codes[l][i], font, FontStyle & 0xFF, size);
                    const TRect cell{Clamp32(x), Clamp32(y), Clamp32(x + advance), Clamp32(y + size)};
                    const TRect touched = DrawGlyph(*glyph, ColorSurface, MaskSurface, style, cell);
                    if (!touched.IsEmpty())
                        inked = inked.IsEmpty() ? touched
                                                : TRect{std::min(inked.Left, touched.Left), std::min(inked.Top, touched.Top),
                                                        std::max(inked.Right, touched.Right),
                                                        std::max(inked.Bottom, touched.Bottom)};
                    x += advance;
                }
            }
            const TRect cut = IntersectRects(inked, ColorSurface.SurfaceRect());
            LineRects.push_back(cut.IsEmpty() ? TRect{} : cut);
        }
    } else {
        // Nothing to show: no stale rendering stays behind.
        ColorSurface.SetSize(0, 0, render_bits_);
        MaskSurface.SetSize(0, 0, 8);
        LineRects.assign(Lines.size(), TRect{});
    }
    Invalidate();
}

int32_t TMobuLabel::OriginX()
{
    int64_t p = HasMotion() ? MotionX : (PosZoomed ? int64_t{ZoomXValue} * Left / 256 : Left);
    if (parent_) p += int64_t{parent_->GetAbsLeft()} - parent_->GetProp(PR_SCROLLX).AsInt();
    return static_cast<int32_t>(static_cast<uint32_t>(p + PlusX));
}

int32_t TMobuLabel::OriginY()
{
    int64_t p = HasMotion() ? MotionY : (PosZoomed ? int64_t{ZoomYValue} * Top / 256 : Top);
    if (parent_) p += int64_t{parent_->GetAbsTop()} - parent_->GetProp(PR_SCROLLY).AsInt();
    return static_cast<int32_t>(static_cast<uint32_t>(p + PlusY));
}

void TMobuLabel::Draw(TCustomDIBX& surface)
{
    if (Lines.empty() || Alpha == 0) return;
    const int bits = surface.BitCount();
    if ((bits == 15 || bits == 16 || bits == 32) && bits != render_bits_) {
        render_bits_ = bits;
        Render();
    }
    if (!MaskSurface.IsEmpty()) {
        const TRect whole = MaskSurface.SurfaceRect();
        if (Angle != 0) {
            surface.DrawRotateMask(OriginX(), OriginY(), ZoomXValue, ZoomYValue, ColorSurface, whole, PivotX(), PivotY(),
                                   Angle, FlipH, FlipV, MaskSurface, Alpha);
        } else if (Width == TextWidth && Height == TextHeight) {
            const uint32_t pixel = static_cast<uint32_t>(surface.ColorToPixel(FontColor));
            const int32_t left = GetAbsLeft(), top = GetAbsTop();
            for (const TRect& r : LineRects) {
                if (r.IsEmpty()) continue;
                surface.DrawColorMask(left + r.Left, top + r.Top, MaskSurface, r, false, false, pixel, Alpha);
            }
        } else if (Width > 0 && Height > 0) {
            const TRect dest = TMobuControl::GetBoundsRect();
            if (Alpha > 255)
                surface.StretchDrawAddMask(dest, ColorSurface, whole, MaskSurface, FlipH, FlipV, std::min(Alpha - 256, 255));
            else
                surface.StretchDrawAlphaMask(dest, ColorSurface, whole, MaskSurface, FlipH, FlipV, Alpha);
        }
    }
    DrawChildren(surface);
}

TRect TMobuLabel::GetBoundsRect()
{
    const TRect plain = TMobuControl::GetBoundsRect();
    if (Angle % 256 == 0) return plain;
    // The rotated rectangle's bounds: the corners turned about the placement point.
    const double ox = OriginX(), oy = OriginY();
    const double c = std::cos(Radians(Angle)), s = std::sin(Radians(Angle));
    double min_x = ox, min_y = oy, max_x = ox, max_y = oy;
    const double px = static_cast<double>(PivotX()) * ZoomXValue / 256, py = static_cast<double>(PivotY()) * ZoomYValue / 256;
    for (double x : {-px, static_cast<double>(Width) - px}) {
        for (double y : {-py, static_cast<double>(Height) - py}) {
            const double rx = ox + x * c - y * s, ry = oy + x * s + y * c;
            min_x = std::min(min_x, rx), max_x = std::max(max_x, rx);
            min_y = std::min(min_y, ry), max_y = std::max(max_y, ry);
        }
    }
    auto to32 = [](double v) { return static_cast<int32_t>(std::clamp(v, -2147483648.0, 2147483647.0)); };
    return TRect{to32(std::floor(min_x)) - 1, to32(std::floor(min_y)) - 1, to32(std::ceil(max_x)) + 1,
                 to32(std::ceil(max_y)) + 1};
}

TMobuControl* TMobuLabel::HitTest(int32_t x, int32_t y, uint32_t mask)
{
    if (Angle % 256 == 0) return TMobuControl::HitTest(x, y, mask);
    if (!GetVisible()) return nullptr;
    // The point turned back about the placement point, then tested against the unturned
    // rectangle, whose pivot lies at the placement point.
    const double ox = OriginX(), oy = OriginY();
    const double c = std::cos(-Radians(Angle)), s = std::sin(-Radians(Angle));
    const double dx = x - ox, dy = y - oy;
    const double px = static_cast<double>(PivotX()) * ZoomXValue / 256, py = static_cast<double>(PivotY()) * ZoomYValue / 256;
    const double ux = dx * c - dy * s + px, uy = dx * s + dy * c + py;
    const bool inside = ux >= 0 && uy >= 0 && ux < Width && uy < Height;
    if (!inside) return nullptr;
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        if ((*it)->Name().empty()) continue;
        if (TMobuControl* hit = (*it)->HitTest(x, y, mask)) return hit;
    }
    return IgnoreMouse <= IM_RCLICK && ((mask >> IgnoreMouse) & 1u) ? this : nullptr;
}

TPropValue TMobuLabel::ReadProperty(int id)
{
    switch (id) {
        case PR_TEXT: return TPropValue::Text(JoinedText());
        case PR_FONTNAME: return TPropValue::Text(FontName);
        case PR_FONTHEIGHT: return TPropValue::Int(FontHeight);
        case PR_FONTSTYLE: return TPropValue::Int(FontStyle);
        case PR_LINESPACE: return TPropValue::Int(LineSpace);
        case PR_FONTCOLOR: return TPropValue::Int(FontColor);
        case PR_HALIGN: return TPropValue::Int(HAlign);
        case PR_ANTIALIAS: return TPropValue::Flag(Antialias);
        case PR_ALPHA: return TPropValue::Int(Alpha);
        case PR_FLIPH: return TPropValue::Flag(FlipH);
        case PR_FLIPV: return TPropValue::Flag(FlipV);
        case PR_ANGLE: return TPropValue::Int(Angle);
        case PR_ZOOMX: return TPropValue::Int(ZoomXValue);
        case PR_ZOOMY: return TPropValue::Int(ZoomYValue);
        case PR_SOURCE: return TPropValue::Text(Source);
        case PR_REPEAT: return TPropValue::Flag(Repeat);
        case PR_AUTOSCRAP: return TPropValue::Flag(AutoScrap);
        case PR_PAUSED: return TPropValue::Flag(PausedFlag);
        default: return TMobuControl::ReadProperty(id);
    }
}

void TMobuLabel::WriteProperty(int id, const TPropValue& value)
{
    auto rendering = [this](auto& field, auto v) {
        if (field == v) return;
        field = v;
        Render();
    };
    auto invalidating = [this](auto& field, auto v) {
        if (field == v) return;
        field = v;
        Invalidate();
    };
    switch (id) {
        case PR_TEXT: SetText(value.text); return;
        case PR_FONTNAME: rendering(FontName, value.text); return;
        case PR_FONTHEIGHT: rendering(FontHeight, value.integer); return;
        case PR_FONTSTYLE: rendering(FontStyle, value.integer); return;
        case PR_LINESPACE: rendering(LineSpace, value.integer); return;
        case PR_FONTCOLOR: rendering(FontColor, value.integer); return;
        case PR_HALIGN: rendering(HAlign, value.integer); return;
        case PR_ANTIALIAS: rendering(Antialias, value.integer != 0); return;
        case PR_ALPHA: invalidating(Alpha, value.integer); return;
        case PR_FLIPH: invalidating(FlipH, value.integer != 0); return;
        case PR_FLIPV: invalidating(FlipV, value.integer != 0); return;
        case PR_ANGLE:
            if (Angle == value.integer) return;
            Invalidate();
            Angle = value.integer;
            Invalidate();
            return;
        case PR_ZOOMX:
        case PR_ZOOMY: {
            const int32_t zoom = value.integer <= 0 ? 1 : value.integer;
            Invalidate();
            if (id == PR_ZOOMX) {
                ZoomXValue = zoom;
                SetWidth(Clamp32(int64_t{TextWidth} * zoom / 256));
            } else {
                ZoomYValue = zoom;
                SetHeight(Clamp32(int64_t{TextHeight} * zoom / 256));
            }
            Invalidate();
            return;
        }
        // A new path drops the film; a film path attaches its film.
        case PR_SOURCE:
            if (value.text == Source) return;
            Source = value.text;
            Motion.reset();
            MotionPlaced = false;
            if (HasExtension(Source, ".mmt")) SetMotion(Source);
            return;
        case PR_REPEAT:
            Repeat = value.integer != 0;
            if (Repeat && Motion && Motion->Finished) Motion->Restart();
            return;
        case PR_AUTOSCRAP: AutoScrap = value.integer != 0; return;
        case PR_PAUSED: PausedFlag = value.integer != 0; return;
        default: TMobuControl::WriteProperty(id, value); return;
    }
}

void TMobuLabel::SaveTypePart(ByteWriter& out)
{
    out.String(FontName);
    out.I32(FontHeight);
    out.I32(LineSpace);
    out.U8(static_cast<uint8_t>(FontStyle));
    out.I32(Alpha);
    out.I32(FontColor);
    out.U8(static_cast<uint8_t>(HAlign));
    out.Flag(Antialias);
    out.Flag(FlipH);
    out.Flag(FlipV);
    out.I32(Angle);
    out.I32(ZoomXValue);
    out.String(JoinedText());
    out.String(EventString(PR_ONIDLE));
    out.String(Source);
    out.Flag(Repeat);
    out.Flag(AutoScrap);
    out.String(EventString(PR_ONPLAYEND));
    out.Flag(PausedFlag);
    out.I32(ZoomYValue);
}

void TMobuLabel::LoadTypePart(ByteReader& in, int version)
{
    FontName = in.String();
    FontHeight = in.I32();
    LineSpace = in.I32();
    FontStyle = in.U8();
    Alpha = in.I32();
    FontColor = in.I32();
    HAlign = in.U8();
    Antialias = in.Flag();
    FlipH = in.Flag();
    FlipV = in.Flag();
    Angle = in.I32();
    ZoomXValue = std::max(1, in.I32());
    const std::string text = in.String();
    if (version > 103) {
        values_[PR_ONIDLE] = TPropValue::Text(in.String());
        const std::string source = in.String();
        WriteProperty(PR_SOURCE, TPropValue::Text(source));
        Repeat = in.Flag();
        AutoScrap = in.Flag();
        values_[PR_ONPLAYEND] = TPropValue::Text(in.String());
        PausedFlag = in.Flag();
        ZoomYValue = std::max(1, in.I32());
    }
    SetText(text);
}

}  // namespace mobu
