// TMobuLabel (LT_LABEL): lines of plain text in a system font, rendered once into a colour
// surface and an 8-bit coverage surface, drawn through the coverage (plain, stretched or
// rotated). A ".mmt" source attaches a film that moves the label.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "components/mobu_object.h"
#include "graphics/dibx.h"

namespace mobu {

// Horizontal alignment of label lines.
inline constexpr uint8_t HA_LEFT = 0;
inline constexpr uint8_t HA_CENTER = 1;
inline constexpr uint8_t HA_RIGHT = 2;

// Splits a text into lines at CR LF, CR or LF; a final line break adds no empty line.
std::vector<std::string> SplitTextLines(const std::string& text);

class TMobuLabel : public TMobuControl {
public:
    // Largest rendered text, in pixels; a larger text is rendered clipped to it.
    static constexpr int64_t kPixelBudget = int64_t{1} << 22;

    explicit TMobuLabel(TMobuBaseList* owner);

    std::vector<std::string> Lines;
    std::string FontName;
    int32_t FontHeight = 12;
    int32_t LineSpace = 0;
    int32_t FontStyle = 0;  // a byte in the saved form; the low byte styles the font
    TDIBX ColorSurface;
    TDIBX MaskSurface;
    int32_t Alpha = 255;
    int32_t FontColor = 0;
    int32_t HAlign = HA_LEFT;  // a byte in the saved form
    bool Antialias = false;
    bool FlipH = false, FlipV = false;
    int32_t Angle = 0;
    int32_t TextWidth = 0, TextHeight = 0;
    int32_t ZoomXValue = 256, ZoomYValue = 256;
    std::string Source;
    bool Repeat = false;
    bool AutoScrap = false;
    bool PausedFlag = false;
    std::vector<TRect> LineRects;

private:
    void ApplyCreationDefaults();

public:

    // Measures the lines, sizes the control and renders both surfaces.
    void Render();
    std::string JoinedText() const;

    void Draw(TCustomDIBX& surface) override;
    TRect GetBoundsRect() override;
    TMobuControl* HitTest(int32_t x, int32_t y, uint32_t mask) override;
    void RestoreSurfaces() override { Render(); }

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;
    void SaveTypePart(ByteWriter& out) override;
    void LoadTypePart(ByteReader& in, int version) override;

private:
    int32_t OriginX();
    int32_t OriginY();
    int32_t PivotX() const { return FlipH ? TextWidth - 1 - OffsetX : OffsetX; }
    int32_t PivotY() const { return FlipV ? TextHeight - 1 - OffsetY : OffsetY; }
    void SetText(const std::string& text);
    int render_bits_ = 32;
};

}  // namespace mobu
