// Single-line captions of buttons and list boxes: a list of labels that share one font,
// colours, outline and shadow. Each label keeps its own colour surface and 8-bit effect
// surface, rendered when its text or the target's depth changes and painted through the
// effect surface.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "graphics/dibx.h"
#include "text/outline_text_metrics.h"

namespace mobu {

class TKsLabelDIB {
public:
    std::string Text;
    bool Changed = true;
    int Height = 0;
    int Width = 0;
    std::vector<int> CharWidths;  // one per character of Text
    TDIBX ColorSurface;
    TDIBX EffectSurface;  // 8 bits: opacity
    bool Rendered = false;  // the surfaces hold a rendering of the current text
};

class TKsLabelList {
public:
    // Largest surface a label may allocate, in pixels; a longer label is rendered clipped.
    static constexpr int64_t kPixelBudget = 1 << 22;

    TKsLabelList();

    int Antialias = 3;
    int OutlineWidth = 0;
    int Opacity = 255;
    int FontSize = 12;
    std::string FontName;  // "ＭＳ Ｐゴシック"
    int32_t Color = 0xFFFFFF;
    int32_t OutlineColor = 0;
    uint8_t FontStyle = 0;
    TOutlineTextMetrics Metrics;
    int ShadowOffset = 0;
    int32_t ShadowColor = 0;
    TCustomDIBX* Target = nullptr;  // not owned; its depth is the labels' depth

    TKsLabelDIB& Add();
    void Clear() { labels_.clear(); }
    int Count() const { return static_cast<int>(labels_.size()); }
    TKsLabelDIB& Label(int index) { return *labels_.at(static_cast<size_t>(index)); }
    const TKsLabelDIB& Label(int index) const { return *labels_.at(static_cast<size_t>(index)); }

    // Stores a different text and marks the label changed; the same text changes nothing.
    void SetText(int label, const std::string& text);
    // Heights, character widths and widths of every label from the list's font.
    void Measure();
    int MaxWidth() const;
    void MarkAllChanged();
    // Renders the label when needed and paints it at (x, y) on the target.
    void DrawLabel(int label, int x, int y);
    // Renders the label's surfaces now (DrawLabel does this when needed).
    void RenderLabel(TKsLabelDIB& label);

    void SaveToStream(ByteWriter& out) const;
    void LoadFromStream(ByteReader& in, int version);

private:
    int TargetBitCount() const;
    std::vector<std::unique_ptr<TKsLabelDIB>> labels_;
};

}  // namespace mobu
