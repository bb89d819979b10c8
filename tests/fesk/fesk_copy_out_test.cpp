#include "graphics/fesk_copy_out.h"

#include <gtest/gtest.h>

#include "graphics/dibx.h"

namespace mobu {
namespace {

TEST(FeskCopyOut, FrameIntoSurfacesOfTheirOwnFormat)
{
    TFeskFrameList list;
    TFeskFrame& frame = list.Add();
    frame.Image.SetSize(3, 2, 24);
    frame.Image.SetPixel(0, 0, 0xFF8040);
    frame.Image.SetPixel(2, 1, 0x00FF00);
    frame.TransparentValue = 0x00FF00;
    frame.Image.MakeAlphaPlane();
    frame.Image.AlphaPlane()->SetPixel(1, 0, 77);

    TDIBX same;
    same.SetSize(1, 1, 24);
    CopyFrameToSurface(frame, same);
    EXPECT_EQ(same.Width(), 3);
    EXPECT_EQ(same.GetPixel(0, 0), 0xFF8040u);
    EXPECT_EQ(same.TransparentColor, 0x00FF00);

    TDIBX wide;  // 1 x 1 at 15 bits: keeps 15 bits
    CopyFrameToSurface(frame, wide);
    EXPECT_EQ(wide.BitCount(), 15);
    EXPECT_EQ(wide.GetPixel(0, 0), (0xFFu >> 3) << 10 | (0x80u >> 3) << 5 | (0x40u >> 3));
    EXPECT_EQ(wide.TransparentColor, static_cast<int32_t>(0x1F << 5));

    TDIBX alpha;
    CopyAlphaToSurface(frame, alpha);
    EXPECT_EQ(alpha.BitCount(), 8);
    EXPECT_EQ(alpha.GetPixel(1, 0), 77u);
    EXPECT_EQ(alpha.GetPixel(0, 0), 0u);

    frame.Image.DropAlphaPlane();
    TDIBSurface store;
    CopyAlphaToStore(frame, store);
    EXPECT_EQ(store.GetPixel(2, 1), 255u);
}

}  // namespace
}  // namespace mobu
