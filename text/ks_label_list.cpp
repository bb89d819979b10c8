#include "text/ks_label_list.h"

#include <algorithm>

#include "core/cp932_chars.h"
#include "platform/text_encoding.h"
#include "text/font_pixel_manager.h"
#include "text/ks_tag_val_list.h"

namespace mobu {

namespace {

constexpr int kDefaultBitCount = 32;

// Outline widths a label draws: 0 to 32 pixels (the outline stamp costs the square of the
// width per mask pixel); shadow offsets: 0 to 255 pixels.
int OutlineSize(int value) { return std::clamp(value, 0, 32); }
int ShadowSize(int value) { return std::clamp(value, 0, 255); }

}  // namespace

TKsLabelList::TKsLabelList() : FontName(SysText(u8"ＭＳ Ｐゴシック")) {}

TKsLabelDIB& TKsLabelList::Add()
{
    labels_.push_back(std::make_unique<TKsLabelDIB>());
    return *labels_.back();
}

void TKsLabelList::SetText(int label, const std::string& text)
{
    TKsLabelDIB& item = Label(label);
    if (item.Text == text) return;
    item.Text = text;
    item.Changed = true;
}

void TKsLabelList::Measure()
{
    auto& manager = FontPixelManager();
    const int size = TFontPixelManager::ClampSize(FontSize);
    const int style = FontStyle;
    Metrics = TOutlineTextMetrics::FromFont(manager.FontMetrics(FontName, size, style), style);
    const int extra = 2 * OutlineSize(OutlineWidth) + ShadowSize(ShadowOffset);
    const int height = Metrics.height + extra;
    manager.SetAntialias(Antialias);

    // Remembered for this measurement only: a code already measured reuses its width.
    TKsTagValList memo;
    auto measure = [&](uint16_t code, bool last) {
        auto glyph = manager.GetGlyph(code, FontName, style, size);
        int c = glyph->abc_c;
        if (last && c < 0) c = 0;  // a last character's negative C is not subtracted
        return glyph->abc_a + glyph->abc_b + c + Metrics.overhang + extra;
    };
    for (auto& label : labels_) {
        const std::vector<uint16_t> codes = Cp932CharCodes(label->Text);
        label->Height = height;
        label->CharWidths.assign(codes.size(), 0);
        int64_t width = 0;
        for (size_t i = 0; i < codes.size(); ++i) {
            const bool last = i + 1 == codes.size();
            int w = 0;
            if (last || !memo.Find(codes[i], w)) {
                w = measure(codes[i], last);
                memo.Set(codes[i], w);
            }
            label->CharWidths[i] = w;
            width += w;
        }
        label->Width = static_cast<int>(std::clamp<int64_t>(width, 0, INT32_MAX));
        label->Changed = true;
    }
}

int TKsLabelList::MaxWidth() const
{
    int width = 0;
    for (const auto& label : labels_) width = std::max(width, label->Width);
    return width;
}

void TKsLabelList::MarkAllChanged()
{
    for (auto& label : labels_) label->Changed = true;
}

int TKsLabelList::TargetBitCount() const
{
    if (Target == nullptr) return kDefaultBitCount;
    const int bits = Target->BitCount();
    return bits == 15 || bits == 16 || bits == 32 ? bits : kDefaultBitCount;
}

void TKsLabelList::RenderLabel(TKsLabelDIB& label)
{
    const int bits = TargetBitCount();
    int width = std::max(0, label.Width);
    int height = std::max(0, label.Height);
    // A label wider than the pixel budget is rendered clipped to it.
    if (height > 0 && static_cast<int64_t>(width) * height > kPixelBudget)
        width = static_cast<int>(kPixelBudget / height);
    if (height > 0 && static_cast<int64_t>(width) * height > kPixelBudget) height = 0;
    label.Changed = false;
    if (width == 0 || height == 0) {
        label.Rendered = false;
        return;
    }
    if (label.ColorSurface.Width() != width || label.ColorSurface.Height() != height ||
        label.ColorSurface.BitCount() != bits)
        label.ColorSurface.SetSize(width, height, bits);
    if (label.EffectSurface.Width() != width || label.EffectSurface.Height() != height ||
        label.EffectSurface.BitCount() != 8)
        label.EffectSurface.SetSize(width, height, 8);
    label.EffectSurface.Clear(0);
    label.ColorSurface.Clear(0);

    auto& manager = FontPixelManager();
    manager.SetAntialias(Antialias);
    const int size = TFontPixelManager::ClampSize(FontSize);
    TGlyphStyle style;
    style.shadow_pixel = static_cast<uint32_t>(label.ColorSurface.ColorToPixel(ShadowColor));
    style.outline_pixel = static_cast<uint32_t>(label.ColorSurface.ColorToPixel(OutlineColor));
    style.text_pixel = static_cast<uint32_t>(label.ColorSurface.ColorToPixel(Color));
    style.shadow_offset = ShadowSize(ShadowOffset);
    style.outline_width = OutlineSize(OutlineWidth);

    const std::vector<uint16_t> codes = Cp932CharCodes(label.Text);
    int64_t x = 0;
    for (size_t i = 0; i < codes.size() && i < label.CharWidths.size(); ++i) {
        const int w = label.CharWidths[i];
        if (x >= width) break;
        style.previous_differs = i == 0;
        style.next_differs = i + 1 == codes.size();
        auto glyph = manager.GetGlyph(codes[i], FontName, FontStyle, size);
        const TRect cell{static_cast<int32_t>(x), 0, static_cast<int32_t>(x + w), size};
        DrawGlyph(*glyph, label.ColorSurface, label.EffectSurface, style, cell);
        x += w;
    }
    label.Rendered = true;
}

void TKsLabelList::DrawLabel(int index, int x, int y)
{
    TKsLabelDIB& label = Label(index);
    if (label.Changed || (label.Rendered && label.ColorSurface.BitCount() != TargetBitCount())) RenderLabel(label);
    if (Target == nullptr || !label.Rendered) return;
    const TRect source{0, 0, label.EffectSurface.Width(), label.EffectSurface.Height()};
    if (OutlineWidth <= 0 && ShadowOffset <= 0) {
        Target->DrawColorMask(x, y, label.EffectSurface, source, false, false,
                              static_cast<uint32_t>(Target->ColorToPixel(Color)), Opacity);
    } else if (Opacity < 255) {
        Target->DrawAlphaMask(x, y, label.ColorSurface, source, false, false, label.EffectSurface, Opacity);
    } else {
        Target->DrawMask(x, y, label.ColorSurface, source, false, false, label.EffectSurface);
    }
}

void TKsLabelList::SaveToStream(ByteWriter& out) const
{
    out.I32(Antialias);
    out.I32(OutlineWidth);
    out.I32(Opacity);
    out.I32(FontSize);
    out.String(FontName);
    out.I32(Color);
    out.I32(OutlineColor);
    out.U8(FontStyle);
    Metrics.Write(out);
    out.I32(ShadowOffset);
    out.I32(ShadowColor);
}

void TKsLabelList::LoadFromStream(ByteReader& in, int version)
{
    const int antialias = in.I32();
    if (version < 109)
        Antialias = antialias > 1 ? 3 : 0;
    else
        Antialias = antialias;
    OutlineWidth = in.I32();
    Opacity = in.I32();
    FontSize = in.I32();
    FontName = in.String();
    Color = in.I32();
    OutlineColor = in.I32();
    FontStyle = in.U8();
    TOutlineTextMetrics::Skip(in);  // measured again before use
    if (version >= 122) {
        ShadowOffset = in.I32();
        ShadowColor = in.I32();
    }
    MarkAllChanged();
}

}  // namespace mobu
