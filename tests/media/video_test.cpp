#include <gtest/gtest.h>

#include <cmath>

#include "core/mobu_error.h"
#include "media/av_video_decoder.h"
#include "media/media_files.h"
#include "media/video_items.h"
#include "platform/text_encoding.h"
#include "tests/media/media_fixtures.h"

namespace mobu {
namespace {

using media_test::FixturePath;
using media_test::ReadFixture;

// Mean absolute difference of a picture against ffmpeg's frame `index` (B G R X rows).
double MeanDifference(TDIBX& picture, const std::string& frames, int index)
{
    const int w = picture.Width(), h = picture.Height();
    const auto* frame = reinterpret_cast<const uint8_t*>(frames.data()) + static_cast<size_t>(index) * w * h * 4;
    double sum = 0;
    for (int y = 0; y < h; ++y) {
        const uint8_t* ours = picture.PixelAddress(0, y);
        for (int x = 0; x < w * 4; ++x) {
            if (x % 4 == 3) continue;
            sum += std::abs(static_cast<int>(ours[x]) - static_cast<int>(frame[y * w * 4 + x]));
        }
    }
    return sum / (w * h * 3.0);
}

TEST(Video, PictureAtATimeIsTheLastFrameNotLaterThanIt)
{
    TAvVideoDecoder decoder(std::make_unique<TMemoryRangeStream>(ReadFixture("movie.mpg")));
    ASSERT_TRUE(decoder.HasPictures());
    EXPECT_EQ(decoder.Width(), 64);
    EXPECT_EQ(decoder.Height(), 48);
    EXPECT_NEAR(decoder.FramesPerSecond(), 25.0, 0.01);
    std::string frames = ReadFixture("movie.bgr0");
    ASSERT_EQ(frames.size(), 25u * 64 * 48 * 4);
    TDIBX picture;
    // Forward, then backward (a seek), then a time past the end (the last picture stays).
    const int times[] = {0, 39, 40, 500, 999, 120, 5000};
    for (int t : times) {
        SCOPED_TRACE(t);
        decoder.Advance(t);
        decoder.Draw(picture);
        ASSERT_EQ(picture.BitCount(), 32);
        int index = std::min(t / 40, 24);
        EXPECT_LE(MeanDifference(picture, frames, index), 3.0);
        // ...and it is not the neighbouring frame (the test pattern moves).
        if (index > 0) {
            EXPECT_GT(MeanDifference(picture, frames, index - 1), 3.0);
        }
    }
}

TEST(Video, SoundOnlyDataGivesOneBlackPixelAndGarbageIsRefused)
{
    TAvVideoDecoder decoder(std::make_unique<TMemoryRangeStream>(ReadFixture("wmav2.wma")));
    EXPECT_FALSE(decoder.HasPictures());
    EXPECT_EQ(decoder.Width(), 1);
    EXPECT_EQ(decoder.Height(), 1);
    EXPECT_FALSE(decoder.Advance(100));
    TDIBX picture;
    decoder.Draw(picture);
    EXPECT_EQ(picture.Width(), 1);
    EXPECT_EQ(picture.GetPixel(0, 0) & 0xFFFFFF, 0u);
    EXPECT_THROW(TAvVideoDecoder garbage(std::make_unique<TMemoryRangeStream>(std::string("not a movie at all"))),
                 EMobuError);
}

TEST(Video, ItemsFollowTheirSoundAndUseWmpChoosesTheClass)
{
    TAudioMixer mixer(44100, 2);
    for (bool use_wmp : {false, true}) {
        SCOPED_TRACE(use_wmp);
        TVideoManager manager(mixer, use_wmp);
        auto* item = static_cast<TVideoItem*>(manager.Add(Utf8ToCp932(FixturePath("movie.mpg")), true));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(dynamic_cast<TWmVideoItem*>(item) != nullptr, use_wmp);
        EXPECT_EQ(item->GetSourceWidth(), 64);
        EXPECT_TRUE(item->NeedPaint());
        TDIBX* first = item->GetDC();
        ASSERT_NE(first, nullptr);
        EXPECT_FALSE(item->NeedPaint());  // nothing moved
        item->SetVolume(-10000);
        item->Play();
        std::vector<float> block(4410 * 2);
        for (int i = 0; i < 5; ++i) mixer.Mix(block.data(), 4410);  // 0.5 s of sound
        EXPECT_NEAR(item->GetPosition(), 500, 30);
        EXPECT_TRUE(item->NeedPaint());
        std::string frames = ReadFixture("movie.bgr0");
        EXPECT_LE(MeanDifference(*item->GetDC(), frames, item->GetPosition() / 40), 3.0);
    }
    EXPECT_EQ(mixer.VoiceCount(), 0u);
}

}  // namespace
}  // namespace mobu
