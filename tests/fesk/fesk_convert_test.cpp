// The conversion after loading: a target bit count of 15 or 16 dithers true-colour frames
// (Floyd–Steinberg, rows in alternating directions) instead of keeping the top bits; and
// zero-size alpha-plane copies of the pixel store.
#include <gtest/gtest.h>

#include "graphics/fesk_frame_list.h"

namespace mobu {
namespace {

// A 3 × 2 frame of grey 100 written as a layered image.
std::string GreyFrameFile()
{
    TFeskFrameList list;
    TFeskFrame& frame = list.Add();
    frame.Image.SetSize(3, 2, 24);
    frame.Image.FillValue(frame.Image.Bounds(), 0x646464);
    return list.SaveToStream(kFeskDefaultCompression, 70);
}

// Worked by hand: 100 in 5 bits is 12 with 4 left over (> 3) so it rounds up to 13 with
// error -4; the errors then carry (×7 along the row, ×3, ×5, ×1 to the row below) and give
// 13 12 13 on the top row (left to right) and 12 13 12 below (right to left). In 6 bits 100
// is exactly 25 and nothing carries.
TEST(FeskConvert, TargetBitCountDithers)
{
    const int expected_five[2][3] = {{13, 12, 13}, {12, 13, 12}};
    for (int bits : {16, 15}) {
        SCOPED_TRACE(bits);
        TFeskFrameList list;
        list.TargetBitCount = bits;
        list.LoadFromStream(GreyFrameFile(), false, true, true);
        ASSERT_EQ(list.Count(), 1);
        const TFeskFrame& frame = list.Frames(0);
        for (const TDIBSurface* image : {&frame.Image, &frame.Layers(0).Image}) {
            ASSERT_EQ(image->BitCount(), bits);
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 3; ++x) {
                    const uint32_t five = static_cast<uint32_t>(expected_five[y][x]);
                    const uint32_t green = bits == 16 ? 25 : five;
                    const uint32_t value = bits == 16 ? five << 11 | green << 5 | five : five << 10 | green << 5 | five;
                    EXPECT_EQ(image->GetPixel(x, y), value) << x << "," << y;
                }
        }
    }
}

TEST(FeskConvert, AlphaPlaneSurvivesTheConversion)
{
    TFeskFrameList source;
    TFeskFrame& frame = source.Add();
    frame.Image.SetSize(2, 1, 24);
    frame.Image.MakeAlphaPlane();
    frame.Image.AlphaPlane()->SetPixel(1, 0, 200);
    TFeskFrameList list;
    list.TargetBitCount = 16;
    list.LoadFromStream(source.SaveToStream(kFeskDefaultCompression, 70), false, false, true);
    ASSERT_TRUE(list.Frames(0).HasAlpha());
    EXPECT_EQ(list.Frames(0).Image.BitCount(), 16);
    EXPECT_EQ(list.Frames(0).Image.AlphaPlane()->GetPixel(0, 0), 0u);
    EXPECT_EQ(list.Frames(0).Image.AlphaPlane()->GetPixel(1, 0), 200u);
}

}  // namespace
}  // namespace mobu

namespace mobu {
namespace {

TEST(PixelStoreAlpha, ZeroSizeCopiesDoNothing)
{
    for (auto [width, height] : {std::pair{0, 3}, std::pair{3, 0}, std::pair{0, 0}}) {
        TDIBSurface image(width, height, 24), plane(width, height, 8);
        image.CopyAlphaPlane(plane);
        ASSERT_TRUE(image.HasAlphaPlane());
        EXPECT_EQ(image.AlphaPlane()->Width(), width);
        image.CopyAlphaRect(plane, MakeRect(0, 0, 5, 5));
    }
}

}  // namespace
}  // namespace mobu
