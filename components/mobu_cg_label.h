// TMobuCGLabel (LT_CGLABEL): text drawn from a sheet of glyph pictures. Each character of the
// text picks the cell of the sheet at its position in the map text; characters the map does
// not hold leave a cell-wide gap.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "components/mobu_image.h"
#include "components/mobu_object.h"

namespace mobu {

class TMobuCGLabel : public TMobuControl {
public:
    explicit TMobuCGLabel(TMobuBaseList* owner) : TMobuControl(owner, LT_CGLABEL) {}

    std::string Source;
    std::string Text;
    std::string MapText;
    int32_t GlyphWidth = 1, GlyphHeight = 1;
    int32_t LineSpace = 0;
    uint8_t Reserved = 0;
    int32_t HAlign = 0;  // a byte in the saved form
    int32_t Alpha = 255;
    TMobuImageList Images;
    std::vector<std::vector<int32_t>> Cells;  // per line, the cell of each character (-1 none)

    void SetSource(const std::string& path);
    // Rebuilds the cells from the text and the map; with `measure` the control's size too.
    void RebuildCells(bool measure);

    void Draw(TCustomDIBX& surface) override;
    bool Update() override;
    void ReleaseSurfaces() override { Images.DropCopies(); }

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;
    void SaveTypePart(ByteWriter& out) override;
    void LoadTypePart(ByteReader& in, int version) override;
};

}  // namespace mobu
