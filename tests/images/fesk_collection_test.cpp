// The image cache: keys, sharing between holders, release, the placeholder of a missing
// picture, masks and trimming, the dither flag, and map images keeping their own masks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "../fesk/fesk_writer_for_tests.h"
#include "archive/vr_file_manager.h"
#include "components/fesk_collection.h"
#include "components/map_image_masks.h"

namespace mobu {
namespace {

using namespace testing_fesk;

// Two 6 × 4 frames; the left two columns of frame 0 are the transparent value 0.
std::string TwoFramePicture()
{
    TRawFile file;
    for (int i = 0; i < 2; ++i) {
        TRawFrame frame;
        frame.width = 6;
        frame.height = 4;
        frame.delay = i == 0 ? 0 : 40;
        frame.transparent = 0;
        TRawLayer layer;
        layer.colour = Rows24(6, 4, [i](int x, int y) { return x < 2 - i ? 0u : 0x102030u + x * 16 + y; });
        frame.layers.push_back(layer);
        file.frames.push_back(frame);
    }
    return WriteRawFesk(file);
}

class FeskCollectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("mobu_images_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_ / "pic");
        std::ofstream(folder_ / "pic" / "a.fsk", std::ios::binary) << TwoFramePicture();
        ResetVrFileManager();
        VrFileManager().SetBaseFolder(folder_.string());
    }
    void TearDown() override
    {
        while (cache_.Count() > 0) cache_.Delete(0);
        ResetVrFileManager();
        std::filesystem::remove_all(folder_);
    }

    std::filesystem::path folder_;
    TFeskCollection cache_;
    int holder_a_ = 0, holder_b_ = 0;
};

TEST_F(FeskCollectionTest, KeysNameMaskThenTrim)
{
    EXPECT_EQ(TFeskCollection::KeyOf("a.fsk", false, false), "a.fsk");
    EXPECT_EQ(TFeskCollection::KeyOf("a.fsk", false, true), "a.fsk?m");
    EXPECT_EQ(TFeskCollection::KeyOf("a.fsk", true, false), "a.fsk?t");
    EXPECT_EQ(TFeskCollection::KeyOf("a.fsk", true, true), "a.fsk?m?t");
}

TEST_F(FeskCollectionTest, HoldersShareOneItemUntilTheLastLetsGo)
{
    TFeskItem* first = cache_.Acquire(&holder_a_, "pic\\a.fsk", false, false);
    TFeskItem* second = cache_.Acquire(&holder_b_, "PIC\\A.FSK", false, false);
    EXPECT_EQ(first, second);
    EXPECT_EQ(cache_.Count(), 1);
    ASSERT_EQ(first->FrameCount(), 2);
    EXPECT_EQ(first->Width, 6);
    EXPECT_EQ(first->Height, 4);
    EXPECT_EQ(first->Frame(0).Delay, 1);  // a stored 0 becomes 1
    EXPECT_EQ(first->Frame(1).Delay, 40);
    EXPECT_EQ(first->TotalDelay, 41);
    EXPECT_EQ(first->Frame(0).Surface->BitCount(), 32);
    EXPECT_EQ(first->Frame(0).TransparentColor, 0);
    EXPECT_EQ(first->Frame(0).Surface->TransparentColor, 0);
    EXPECT_EQ(first->Frame(0).Mask, nullptr);

    // Another key (with mask) is another item.
    TFeskItem* masked = cache_.Acquire(&holder_a_, "pic\\a.fsk", false, true);
    EXPECT_NE(masked, first);
    EXPECT_EQ(cache_.Count(), 2);

    cache_.Release(first, &holder_a_);
    EXPECT_EQ(cache_.Count(), 2);
    cache_.Release(second, &holder_b_);
    EXPECT_EQ(cache_.Count(), 1);
    EXPECT_EQ(cache_.Find("pic\\a.fsk"), nullptr);
    cache_.Release(masked, &holder_a_);
    EXPECT_EQ(cache_.Count(), 0);
}

TEST_F(FeskCollectionTest, MaskAndTrimFollowTheKey)
{
    TFeskItem* item = cache_.Acquire(&holder_a_, "pic\\a.fsk", true, true);
    ASSERT_NE(item->Frame(0).Mask, nullptr);
    const TDIBSurface& mask = item->Frame(1).Mask->Store();
    EXPECT_EQ(mask.BitCount(), 8);
    // Frame 0 trimmed to columns 2..5, frame 1 to 1..5.
    EXPECT_EQ(item->Frame(0).OffsetX, 2);
    EXPECT_EQ(item->Frame(0).Surface->Width(), 4);
    EXPECT_EQ(item->Frame(1).OffsetX, 1);
    EXPECT_EQ(item->Frame(1).Surface->Width(), 5);
    EXPECT_EQ(item->Width, 6);  // the untrimmed picture
    EXPECT_EQ(mask.ScanLine(0)[0], 255);
    EXPECT_EQ(item->Frame(0).Surface->GetPixel(0, 0) & 0xFFFFFF, 0x102030u + 2 * 16);
}

TEST_F(FeskCollectionTest, MissingPictureIsAnEightByEightKeyedPlaceholder)
{
    TFeskItem* item = cache_.Acquire(&holder_a_, "pic\\none.fsk", false, true);
    ASSERT_EQ(item->FrameCount(), 1);
    EXPECT_EQ(item->Width, 8);
    EXPECT_EQ(item->Height, 8);
    EXPECT_EQ(item->Frame(0).Surface->TransparentColor, 0);
    EXPECT_EQ(item->Frame(0).Surface->GetPixel(3, 3), 0u);
    ASSERT_NE(item->Frame(0).Mask, nullptr);
    EXPECT_EQ(item->Frame(0).Mask->Store().ScanLine(7)[7], 0);

    // A damaged picture shows the same placeholder instead of failing.
    std::ofstream(folder_ / "pic" / "bad.fsk", std::ios::binary) << "Fesk106garbage";
    TFeskItem* bad = cache_.Acquire(&holder_a_, "pic\\bad.fsk", false, false);
    EXPECT_EQ(bad->Width, 8);
}

TEST_F(FeskCollectionTest, DitherReloadsInPlaceKeepingSurfaces)
{
    TFeskItem* item = cache_.Acquire(&holder_a_, "pic\\a.fsk", false, false);
    TDIBX* surface = item->Frame(1).Surface.get();
    cache_.ScreenBitCount = 16;
    cache_.SetDither(true);
    EXPECT_TRUE(cache_.Dither());
    EXPECT_EQ(item->Frame(1).Surface.get(), surface);
    EXPECT_EQ(surface->BitCount(), 16);

    cache_.ReleaseSurfaces();
    EXPECT_TRUE(surface->IsEmpty());
    cache_.Reload(false);
    EXPECT_EQ(item->Frame(1).Surface.get(), surface);
    EXPECT_EQ(surface->Width(), 6);
    cache_.Reload(true);
    EXPECT_EQ(item->Frame(1).Surface->Width(), 6);
}

TEST_F(FeskCollectionTest, MapImagesOfOnePictureKeepTheirOwnMasks)
{
    TFeskItem* shared_item = cache_.Acquire(&holder_a_, "pic\\a.fsk", false, true);
    EXPECT_EQ(cache_.Acquire(&holder_b_, "pic\\a.fsk", false, true), shared_item);
    TMapRegion left;
    left.Box = TRect{0, 0, 3, 4};
    TMapRegion right;
    right.Box = TRect{3, 0, 6, 4};
    const std::vector<TMapRegion> regions{left, right};

    TMapImageMasks first, second;
    first.Assign(*shared_item);
    second.Assign(*shared_item);
    TDIBX& first_mask = first.Prepared(1, regions, 0, false);
    TDIBX& second_mask = second.Prepared(1, regions, 1, false);
    EXPECT_NE(&first_mask, &second_mask);
    // Inside region 0 only, and the loaded mask (column 0 of frame 1 is transparent).
    EXPECT_EQ(first_mask.Store().ScanLine(2)[0], 0);
    EXPECT_EQ(first_mask.Store().ScanLine(2)[1], 255);
    EXPECT_EQ(first_mask.Store().ScanLine(2)[4], 0);
    EXPECT_EQ(second_mask.Store().ScanLine(2)[1], 0);
    EXPECT_EQ(second_mask.Store().ScanLine(2)[4], 255);
    // The normal picture: everywhere but the hovered region.
    TMapImageMasks normal;
    normal.Assign(*shared_item);
    TDIBX& outside = normal.Prepared(1, regions, 0, true);
    EXPECT_EQ(outside.Store().ScanLine(2)[1], 0);
    EXPECT_EQ(outside.Store().ScanLine(2)[4], 255);
    // The cached mask itself is untouched.
    EXPECT_EQ(shared_item->Frame(1).Mask->Store().ScanLine(2)[4], 255);
    EXPECT_EQ(shared_item->Frame(1).Mask->Store().ScanLine(2)[1], 255);
    EXPECT_EQ(shared_item->Frame(1).Mask->Store().ScanLine(2)[0], 0);
}

}  // namespace
}  // namespace mobu
