// The video component drawn as a picture (PR_OVERLAY off) over the real media layer: its
// size from the movie and the zoom, the picture on screen against ffmpeg's decode of the
// same movie, play end at every update at the end or removal with PR_AUTOSCRAP, stop
// keeping the component, PR_OVERLAY reopening at the position, the Movie command starting
// it, and the saved form.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "archive/vr_file_manager.h"
#include "core/globals.h"
#include "components/mobu_base_list.h"
#include "components/mobu_video.h"
#include "media/media_item.h"
#include "media/media_layer.h"
#include "tests/components/media_scene.h"

namespace mobu {
namespace {

class VideoTest : public testing_media::MediaScene {
protected:
    void SetUp() override { StartMedia(200, 150); }
    TMobuVideo* NewVideo(bool overlay = false)
    {
        auto* video = static_cast<TMobuVideo*>(list.CreateComponent(LT_VIDEO));
        video->SetName("v");
        video->SetProp(PR_OVERLAY, TPropValue::Flag(overlay));
        video->SetProp(PR_SOURCE, TPropValue::Text("movie.mpg"));
        return video;
    }
    void Frame()
    {
        std::vector<float> block(661 * 2);
        MediaLayer()->Render(block.data(), 661);
        AdvanceGameClock(FrameDeltaMs);
        list.UpdatePass();
        list.DrawPass();
        list.ClearDirty();
    }
};

// ffmpeg's pictures of the movie: 25 frames of 64 x 48, B G R X.
std::vector<uint8_t> MoviePictures()
{
    std::ifstream file(std::string(MOBU_SOURCE_DIR) + "/tests/data/media/movie.bgr0", std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

bool Near(uint32_t pixel, const uint8_t* bgrx)
{
    const int b = pixel & 0xFF, g = (pixel >> 8) & 0xFF, r = (pixel >> 16) & 0xFF;
    return std::abs(b - bgrx[0]) <= 12 && std::abs(g - bgrx[1]) <= 12 && std::abs(r - bgrx[2]) <= 12;
}

TEST_F(VideoTest, SizeFollowsTheMovieAndTheZoom)
{
    TMobuVideo* video = NewVideo();
    video->SetProp(PR_ZOOMX, TPropValue::Int(512));
    video->SetProp(PR_ZOOMY, TPropValue::Int(128));
    video->SetPlayMode(LP_PLAY);
    ASSERT_NE(video->Item(), nullptr);
    ASSERT_NE(video->Frame, nullptr);
    EXPECT_EQ(video->Frame->Width(), 64);
    EXPECT_EQ(video->Frame->Height(), 48);
    EXPECT_EQ(video->Width, 128);
    EXPECT_EQ(video->Height, 24);
    EXPECT_EQ(MediaLayer()->Video().Count(), 1);
}

// The picture on the screen is the movie's picture at the item's position.
TEST_F(VideoTest, PictureMatchesFfmpegsDecode)
{
    const std::vector<uint8_t> pictures = MoviePictures();
    ASSERT_EQ(pictures.size(), 25u * 64 * 48 * 4);
    TMobuVideo* video = NewVideo();
    video->SetProp(PR_LEFT, TPropValue::Int(30));
    video->SetProp(PR_TOP, TPropValue::Int(20));
    video->SetPlayMode(LP_PLAY);
    int matched = 0;
    for (int i = 0; i < 40; ++i) {
        Frame();
        if (i % 8 != 7) continue;
        const int position = video->Item()->GetPosition();
        const uint32_t pixel = list.FrameSurface().GetPixel(30 + 32, 20 + 24);
        const int index = std::min(position * 25 / 1000, 24);
        bool near = false;
        for (int k = std::max(index - 2, 0); k <= index; ++k)
            near = near || Near(pixel, &pictures[(static_cast<size_t>(k) * 48 * 64 + 24 * 64 + 32) * 4]);
        EXPECT_TRUE(near) << "position " << position;
        matched += near;
    }
    EXPECT_GE(matched, 4);
}

TEST_F(VideoTest, PlayEndAtEveryUpdateOrRemoval)
{
    TMobuVideo* video = NewVideo();
    video->SetProp(PR_ONPLAYEND, TPropValue::Text("p.msb:end"));
    video->SetPlayMode(LP_PLAY);
    video->SetProp(PR_INDEX, TPropValue::Int(900));
    for (int i = 0; i < 10; ++i) Frame();
    ASSERT_TRUE(video->Item()->IsEnd());
    EXPECT_FALSE(video->GetProp(PR_PLAYING).AsFlag());
    ASSERT_EQ(list.Events().Count(), 1);  // one queued at a time
    list.Events().Clear();
    Frame();
    EXPECT_EQ(list.Events().Count(), 1);
    video->SetProp(PR_AUTOSCRAP, TPropValue::Flag(true));
    Frame();
    EXPECT_FALSE(list.IsRegistered(video));
    EXPECT_EQ(MediaLayer()->Video().Count(), 0);
}

TEST_F(VideoTest, StopKeepsTheComponentAndOverlayReopensAtThePosition)
{
    TMobuVideo* video = NewVideo(true);
    video->SetPlayMode(LP_PLAY);
    for (int i = 0; i < 20; ++i) Frame();
    const int position = video->Item()->GetPosition();
    ASSERT_GT(position, 100);
    video->SetProp(PR_OVERLAY, TPropValue::Flag(false));
    ASSERT_NE(video->Item(), nullptr);
    EXPECT_NEAR(video->Item()->GetPosition(), position, 30);
    EXPECT_EQ(MediaLayer()->Video().Count(), 1);
    video->SetPlayMode(LP_STOP);
    EXPECT_TRUE(list.IsRegistered(video));
    EXPECT_FALSE(list.IsDoomed(video));
    EXPECT_EQ(video->Item(), nullptr);
    EXPECT_EQ(MediaLayer()->Video().Count(), 0);
}

TEST_F(VideoTest, SavedFormRoundTrips)
{
    TMobuVideo* video = NewVideo();
    video->SetProp(PR_REPEAT, TPropValue::Flag(true));
    video->SetProp(PR_VOLUME, TPropValue::Int(300));
    video->SetProp(PR_ONIDLE, TPropValue::Text("i.msb"));
    video->SetPlayMode(LP_PLAY);
    video->SetProp(PR_INDEX, TPropValue::Int(400));
    ByteWriter out;
    list.SaveToStream(out);
    list.Reset();
    ByteReader in(out.Bytes());
    list.LoadFromStream(in, kComponentSaveVersion);
    EXPECT_TRUE(in.AtEnd());
    auto* again = dynamic_cast<TMobuVideo*>(list.FindComponent("v"));
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->Repeat);
    EXPECT_FALSE(again->Overlay);
    EXPECT_EQ(again->OnIdle, "i.msb");
    ASSERT_NE(again->Item(), nullptr);
    EXPECT_NEAR(again->Item()->GetPosition(), 400, 30);
    EXPECT_EQ(again->Item()->GetVolume(), 5 * 300 - 5000);
    EXPECT_EQ(again->PlayState(), LP_PLAY);
}

}  // namespace
}  // namespace mobu
