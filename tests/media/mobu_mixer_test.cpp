#include <gtest/gtest.h>

#include <vector>

#include "media/media_item.h"
#include "media/mobu_mixer.h"

namespace mobu {
namespace {

// Records what a fade does to an item.
class TRecordingItem : public TDMediaItem {
public:
    int GetVolume() override { return volume; }
    void SetVolume(int v) override
    {
        volume = v;
        history.push_back(v);
    }
    void Play() override { ++plays; }
    int volume = -300;
    int plays = 0;
    std::vector<int> history;
};

TEST(MobuMixer, FadeInStartsSilentPlaysAndRisesOnTheFrameClock)
{
    TRecordingItem item;
    TMobuMixerFadein fade(&item, 1000, -500);
    EXPECT_FALSE(fade.Tick(5000));
    EXPECT_EQ(item.plays, 1);
    EXPECT_EQ(item.volume, -10000);
    EXPECT_FALSE(fade.Tick(5250));
    EXPECT_EQ(item.volume, -10000 + 9500 * 250 / 1000);
    EXPECT_FALSE(fade.Tick(5999));
    EXPECT_EQ(item.volume, -10000 + 9500 * 999 / 1000);
    EXPECT_TRUE(fade.Tick(6000));
    EXPECT_EQ(item.volume, -500);
}

TEST(MobuMixer, FadeOutFromTheCurrentVolumeToSilence)
{
    TRecordingItem item;
    TMobuMixerFadeout fade(&item, 400);
    EXPECT_FALSE(fade.Tick(100));
    EXPECT_EQ(fade.StartVolume, -300);
    EXPECT_EQ(fade.EndVolume, -10000);
    EXPECT_FALSE(fade.Tick(300));
    EXPECT_EQ(item.volume, -300 + (-9700) * 200 / 400);
    EXPECT_TRUE(fade.Tick(500));
    EXPECT_EQ(item.volume, -10000);
    EXPECT_EQ(item.plays, 0);
}

TEST(MobuMixer, ElapsedTimeSurvivesTheClockWrapAndZeroDuration)
{
    TRecordingItem item;
    TMobuMixerFadeout wrap(&item, 100);
    wrap.Tick(0xFFFFFFF0u);
    EXPECT_FALSE(wrap.Tick(0x00000010u));  // 32 ms later
    EXPECT_EQ(item.volume, -300 + (-9700) * 32 / 100);

    TRecordingItem other;
    TMobuMixerFadein instant(&other, 0, -100);
    EXPECT_FALSE(instant.Tick(7));
    EXPECT_TRUE(instant.Tick(7));
    EXPECT_EQ(other.volume, -100);
}

}  // namespace
}  // namespace mobu
