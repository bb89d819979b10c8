#include <gtest/gtest.h>

#include <memory>

#include "components/mobu_base_list.h"
#include "components/mobu_label.h"
#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "core/globals.h"

namespace mobu {
namespace {

struct TLabelScene {
    TMobuBaseList list;
    TMobuLabel* label;

    TLabelScene()
    {
        list.SetSize(200, 80);
        list.GetBase(0)->Color = 0;
        label = dynamic_cast<TMobuLabel*>(list.CreateComponent(LT_LABEL));
        label->SetName("cap");
        label->SetLeft(10);
        label->SetTop(10);
        label->SetProp(PR_FONTHEIGHT, TPropValue::Int(20));
        label->SetProp(PR_FONTCOLOR, TPropValue::Int(0xFFFFFF));
    }
    // Lit pixels of the frame inside the rectangle.
    int Ink(TRect r = {0, 0, 200, 80})
    {
        list.MarkAllDirty();
        list.DrawPass();
        int ink = 0;
        TDIBX& frame = list.FrameSurface();
        r = IntersectRects(r, frame.SurfaceRect());
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) ink += frame.GetPixel(x, y) != 0;
        return ink;
    }
};

TEST(Label, IsCreatedAndDrawsItsTextInTheFontColour)
{
    TLabelScene scene;
    ASSERT_NE(scene.label, nullptr);
    EXPECT_EQ(scene.Ink(), 0);  // no lines: nothing drawn
    scene.label->SetProp(PR_TEXT, TPropValue::Text("ABC"));
    EXPECT_GT(scene.label->TextWidth, 0);
    EXPECT_EQ(scene.label->TextHeight, 20);
    EXPECT_EQ(scene.label->Width, scene.label->TextWidth);
    EXPECT_EQ(scene.label->Height, 20);
    const int ink = scene.Ink({10, 10, 10 + scene.label->Width, 30});
    EXPECT_GT(ink, 20);
    EXPECT_EQ(scene.Ink(), ink);  // all of it inside the label
    // White text: the brightest pixel is the font colour (full coverage may round to 254).
    uint32_t brightest = 0;
    for (int y = 10; y < 30; ++y)
        for (int x = 10; x < 10 + scene.label->Width; ++x)
            brightest = std::max(brightest, scene.list.FrameSurface().GetPixel(x, y) & 0xFFFFFF);
    EXPECT_GE(brightest & 0xFF, 0xFEu);
    EXPECT_EQ(brightest & 0xFF, (brightest >> 8) & 0xFF);
    EXPECT_EQ(brightest & 0xFF, brightest >> 16);
    scene.label->SetProp(PR_ALPHA, TPropValue::Int(0));
    EXPECT_EQ(scene.Ink(), 0);
}

TEST(Label, TextPropertySplitsAndJoinsLines)
{
    struct TCase {
        const char* written;
        const char* read;
        size_t lines;
    } cases[] = {
        {"", "", 0},
        {"A\r\n", "A", 1},  // one character and a line break: one line
        {"A\r\nB", "A\r\nB", 2},
        {"A\nB\rC", "A\r\nB\r\nC", 3},
        {"A\r\n\r\n", "A\r\n", 2},  // only one trailing empty line is dropped
        {"\x82\xa0\x82\xa2", "\x82\xa0\x82\xa2", 1},
    };
    for (const TCase& c : cases) {
        TLabelScene scene;
        scene.label->SetProp(PR_TEXT, TPropValue::Text(c.written));
        EXPECT_EQ(scene.label->GetProp(PR_TEXT).text, c.read) << c.written;
        EXPECT_EQ(scene.label->Lines.size(), c.lines) << c.written;
        EXPECT_EQ(scene.label->LineRects.size(), c.lines) << c.written;
    }
}

TEST(Label, SizeFollowsLinesSpacingAndZoom)
{
    TLabelScene scene;
    scene.label->SetProp(PR_LINESPACE, TPropValue::Int(4));
    scene.label->SetProp(PR_TEXT, TPropValue::Text("AB\r\nABCD"));
    EXPECT_EQ(scene.label->TextHeight, 2 * (20 + 4));
    const int32_t wide = scene.label->TextWidth;
    scene.label->SetProp(PR_TEXT, TPropValue::Text("ABCD"));
    EXPECT_EQ(scene.label->TextWidth, wide);  // the widest line
    scene.label->SetProp(PR_ZOOMX, TPropValue::Int(512));
    scene.label->SetProp(PR_ZOOMY, TPropValue::Int(0));
    EXPECT_EQ(scene.label->GetProp(PR_ZOOMY).integer, 1);
    EXPECT_EQ(scene.label->Width, wide * 2);
    EXPECT_EQ(scene.label->Height, 24 * 1 / 256);
    scene.label->SetProp(PR_ZOOMY, TPropValue::Int(512));
    EXPECT_EQ(scene.label->Height, 48);
    EXPECT_GT(scene.Ink(), 0);  // stretched drawing
}

TEST(Label, AlignmentMovesShortLines)
{
    auto first_ink_column = [](TLabelScene& scene) {
        scene.Ink();
        for (int x = 0; x < 200; ++x)
            for (int y = 30; y < 50; ++y)
                if (scene.list.FrameSurface().GetPixel(x, y) != 0) return x;
        return -1;
    };
    int columns[3];
    for (uint8_t align : {HA_LEFT, HA_CENTER, HA_RIGHT}) {
        TLabelScene scene;
        scene.label->SetProp(PR_HALIGN, TPropValue::Int(align));
        scene.label->SetProp(PR_TEXT, TPropValue::Text("WWWWWW\r\nI"));
        columns[align] = first_ink_column(scene);
    }
    EXPECT_LT(columns[HA_LEFT], columns[HA_CENTER]);
    EXPECT_LT(columns[HA_CENTER], columns[HA_RIGHT]);
}

TEST(Label, RotatedLabelDrawsAndWidensItsBounds)
{
    TLabelScene scene;
    scene.label->SetLeft(100);
    scene.label->SetTop(40);
    scene.label->SetProp(PR_TEXT, TPropValue::Text("ABCDEF"));
    const TRect plain = scene.label->GetBoundsRect();
    scene.label->SetProp(PR_ANGLE, TPropValue::Int(64));  // a quarter turn
    const TRect turned = scene.label->GetBoundsRect();
    EXPECT_GT(turned.Height(), plain.Height());
    EXPECT_GT(scene.Ink(turned), 0);
    EXPECT_EQ(scene.Ink(), scene.Ink(turned));
    // Hit testing turns the point back: the turned text is hit, its unturned place is not.
    const int32_t down_x = (turned.Left + turned.Right) / 2, down_y = (turned.Top + turned.Bottom) / 2;
    EXPECT_EQ(scene.label->HitTest(down_x, down_y, kMaskLeftClick), scene.label);
    EXPECT_EQ(scene.label->HitTest(plain.Left + plain.Width() * 3 / 4, plain.Top + 5, kMaskLeftClick), nullptr);
    // An eighth turn: the corner of the bounding rectangle lies beside the text.
    scene.label->SetProp(PR_ANGLE, TPropValue::Int(32));
    const TRect slanted = scene.label->GetBoundsRect();
    EXPECT_EQ(scene.label->HitTest(slanted.Right - 2, slanted.Top + 2, kMaskLeftClick), nullptr);
    EXPECT_EQ(scene.label->HitTest(100 + 8, 40 + 12, kMaskLeftClick), scene.label);
    scene.label->SetProp(PR_ANGLE, TPropValue::Int(0));
    EXPECT_EQ(scene.label->HitTest(plain.Left + plain.Width() * 3 / 4, plain.Top + 5, kMaskLeftClick), scene.label);
}

TEST(Label, HugeSizesStayWithinThePixelBudgetAndNegativeSizesDrawNothing)
{
    struct TCase {
        int32_t font_height, line_space;
        bool drawn;
    } cases[] = {{100000, 0, true}, {20, 2000000000, true}, {20, -1000, false}, {-5, 0, false}};
    for (const TCase& c : cases) {
        TLabelScene scene;
        scene.label->SetProp(PR_FONTHEIGHT, TPropValue::Int(c.font_height));
        scene.label->SetProp(PR_LINESPACE, TPropValue::Int(c.line_space));
        scene.label->SetProp(PR_TEXT, TPropValue::Text("AB\r\nCD\r\nEF"));
        const int64_t pixels = int64_t{scene.label->ColorSurface.Width()} * scene.label->ColorSurface.Height();
        EXPECT_LE(pixels, TMobuLabel::kPixelBudget) << c.font_height << " " << c.line_space;
        EXPECT_EQ(scene.label->MaskSurface.Width(), scene.label->ColorSurface.Width());
        EXPECT_EQ(scene.Ink() > 0, c.drawn) << c.font_height << " " << c.line_space;
    }
}

TEST(Label, SavedFormKeepsEveryField)
{
    TLabelScene scene;
    scene.label->SetProp(PR_TEXT, TPropValue::Text("AB\r\nC"));
    scene.label->SetProp(PR_FONTSTYLE, TPropValue::Int(1));
    scene.label->SetProp(PR_LINESPACE, TPropValue::Int(3));
    scene.label->SetProp(PR_HALIGN, TPropValue::Int(HA_RIGHT));
    scene.label->SetProp(PR_ALPHA, TPropValue::Int(200));
    scene.label->SetProp(PR_ANGLE, TPropValue::Int(12));
    scene.label->SetProp(PR_ZOOMX, TPropValue::Int(300));
    scene.label->SetProp(PR_ZOOMY, TPropValue::Int(128));
    scene.label->SetProp(PR_FLIPH, TPropValue::Flag(true));
    scene.label->SetProp(PR_ANTIALIAS, TPropValue::Flag(true));
    scene.label->SetProp(PR_REPEAT, TPropValue::Flag(true));
    scene.label->SetProp(PR_ONIDLE, TPropValue::Text("*idle"));
    ByteWriter out;
    scene.list.SaveToStream(out);
    TMobuBaseList loaded;
    loaded.SetSize(200, 80);
    ByteReader in(out.Bytes());
    loaded.LoadFromStream(in, kComponentSaveVersion);
    EXPECT_EQ(in.Remaining(), 0u);
    auto* copy = dynamic_cast<TMobuLabel*>(loaded.FindComponent("cap"));
    ASSERT_NE(copy, nullptr);
    for (int id : {PR_TEXT, PR_FONTNAME, PR_FONTHEIGHT, PR_FONTSTYLE, PR_LINESPACE, PR_FONTCOLOR, PR_HALIGN,
                   PR_ANTIALIAS, PR_ALPHA, PR_FLIPH, PR_FLIPV, PR_ANGLE, PR_ZOOMX, PR_ZOOMY, PR_REPEAT, PR_ONIDLE})
        EXPECT_EQ(copy->GetProp(id), scene.label->GetProp(id)) << "property " << id;
    EXPECT_EQ(copy->TextWidth, scene.label->TextWidth);
    EXPECT_EQ(copy->Width, scene.label->Width);
}

}  // namespace
}  // namespace mobu
