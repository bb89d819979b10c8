// The image caption: cells picked from a glyph sheet by the map text, a gap for characters
// the map lacks, alignment of short lines, the sheet's animation and the saved form.
#include "image_fixture.h"

#include "components/mobu_cg_label.h"
#include "components/mobu_label.h"

namespace mobu {
namespace {

using testing_images::ImageScene;

class CgLabel : public ImageScene {
protected:
    TMobuCGLabel* Make(const char* text, const char* map)
    {
        auto* label = dynamic_cast<TMobuCGLabel*>(list_.CreateComponent(LT_CGLABEL));
        EXPECT_NE(label, nullptr);
        label->SetName("cg");
        label->SetLeft(1);
        label->SetTop(2);
        // A 4 × 3 sheet of 2 × 1 cells: 2 columns, 6 cells.
        label->SetProp(PR_GLYPHWIDTH, TPropValue::Int(2));
        label->SetProp(PR_GLYPHHEIGHT, TPropValue::Int(1));
        label->SetProp(PR_SOURCE, TPropValue::Text("pic\\three.fsk"));
        label->SetProp(PR_MAPTEXT, TPropValue::Text(map));
        label->SetProp(PR_TEXT, TPropValue::Text(text));
        return label;
    }
    // The cell `c` of the sheet drawn at (x, y) on `expected`, as the image list draws a
    // keyed picture.
    static void Cell(TDIBX& expected, TDIBX& sheet, int c, int x, int y)
    {
        expected.Draw(x, y, sheet, TRect{c % 2 * 2, c / 2, c % 2 * 2 + 2, c / 2 + 1}, true, false, false);
    }
};

TEST_F(CgLabel, CellsFollowTheMapAndMissingCharactersLeaveAGap)
{
    TMobuCGLabel* label = Make("BDz\r\nFA", "ABCDEF");
    ASSERT_EQ(label->Cells.size(), 2u);
    EXPECT_EQ(label->Cells[0], (std::vector<int32_t>{1, 3, -1}));
    EXPECT_EQ(label->Cells[1], (std::vector<int32_t>{5, 0}));
    EXPECT_EQ(label->Width, 3 * 2);
    EXPECT_EQ(label->Height, 2 * 1);
    EXPECT_EQ(label->GetProp(PR_ORIGWIDTH).integer, 4);
    EXPECT_EQ(label->GetProp(PR_ORIGHEIGHT).integer, 3);
    Draw();
    TDIBX expected;
    Background(expected);
    TDIBX& sheet = label->Images.Surface(0, 0);
    Cell(expected, sheet, 1, 1, 2);
    Cell(expected, sheet, 3, 3, 2);  // then a blank cell-wide gap for "z"
    Cell(expected, sheet, 5, 1, 3);
    Cell(expected, sheet, 0, 3, 3);
    EXPECT_TRUE(SameAsFrame(expected));
}

TEST_F(CgLabel, ShortLinesAreAlignedAndLineSpaceSeparatesThem)
{
    TMobuCGLabel* label = Make("AB\r\nC", "ABC");
    label->SetProp(PR_HALIGN, TPropValue::Int(HA_RIGHT));
    label->SetProp(PR_LINESPACE, TPropValue::Int(2));
    EXPECT_EQ(label->Height, 1 + 2 + 1);
    Draw();
    TDIBX expected;
    Background(expected);
    TDIBX& sheet = label->Images.Surface(0, 0);
    Cell(expected, sheet, 0, 1, 2);
    Cell(expected, sheet, 1, 3, 2);
    Cell(expected, sheet, 2, 3, 5);  // right-aligned under "B", after the line space
    EXPECT_TRUE(SameAsFrame(expected));
}

TEST_F(CgLabel, GlyphSizesBelowOneBecomeOneAndTheSheetAnimates)
{
    TMobuCGLabel* label = Make("A", "A");
    label->SetProp(PR_GLYPHWIDTH, TPropValue::Int(0));
    label->SetProp(PR_GLYPHHEIGHT, TPropValue::Int(-4));
    EXPECT_EQ(label->GetProp(PR_GLYPHWIDTH).integer, 1);
    EXPECT_EQ(label->GetProp(PR_GLYPHHEIGHT).integer, 1);
    EXPECT_EQ(label->Images.Index, 0);
    Frame();
    Frame();  // 100 ms: the second frame of the sheet
    EXPECT_EQ(label->Images.Index, 1);
    EXPECT_TRUE(label->GetProp(PR_PLAYING).AsFlag());
}

TEST_F(CgLabel, SavedFormRebuildsCellsAndSize)
{
    TMobuCGLabel* label = Make("CAB", "ABC");
    label->SetProp(PR_ALPHA, TPropValue::Int(100));
    label->SetProp(PR_HALIGN, TPropValue::Int(HA_CENTER));
    label->SetProp(PR_ONIDLE, TPropValue::Text("*idle"));
    std::unique_ptr<TMobuBaseList> loaded = Reloaded();
    auto* copy = dynamic_cast<TMobuCGLabel*>(loaded->FindComponent("cg"));
    ASSERT_NE(copy, nullptr);
    for (int id : {PR_SOURCE, PR_TEXT, PR_MAPTEXT, PR_GLYPHWIDTH, PR_GLYPHHEIGHT, PR_LINESPACE, PR_HALIGN, PR_ALPHA,
                   PR_ONIDLE, PR_ORIGWIDTH})
        EXPECT_EQ(copy->GetProp(id), label->GetProp(id)) << "property " << id;
    EXPECT_EQ(copy->Cells, label->Cells);
    EXPECT_EQ(copy->Width, 6);
    loaded->Reset();
}

}  // namespace
}  // namespace mobu
