#include <gtest/gtest.h>

#include <cmath>

#include "media/sound_gain.h"

namespace mobu {
namespace {

TEST(SoundGain, VolumeIsHundredthsOfDecibelsClampedAndSilentAtTheFloor)
{
    struct Case {
        int volume;
        double expected;
    };
    const Case cases[] = {
        {0, 1.0},
        {-1, std::pow(10.0, -1 / 2000.0)},
        {-600, std::pow(10.0, -600 / 2000.0)},
        {-2000, 0.1},
        {-6000, 0.001},
        {-9999, std::pow(10.0, -9999 / 2000.0)},
        {-10000, 0.0},
        {-20000, 0.0},   // below the floor: clamped to silence
        {500, 1.0},      // above full level: clamped
        {INT32_MIN, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.volume);
        EXPECT_NEAR(VolumeToGain(c.volume), c.expected, 1e-12);
    }
    EXPECT_EQ(VolumeToGain(-10000), 0.0);
}

TEST(SoundGain, PanAttenuatesOneSide)
{
    struct Case {
        int pan;
        double left;
        double right;
    };
    const Case cases[] = {
        {0, 1.0, 1.0},
        {2000, 0.1, 1.0},
        {-2000, 1.0, 0.1},
        {10000, 0.0, 1.0},
        {-10000, 1.0, 0.0},
        {30000, 0.0, 1.0},   // clamped
        {-30000, 1.0, 0.0},  // clamped
        {1, std::pow(10.0, -1 / 2000.0), 1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pan);
        TPanGains gains = PanToGains(c.pan);
        EXPECT_NEAR(gains.Left, c.left, 1e-12);
        EXPECT_NEAR(gains.Right, c.right, 1e-12);
    }
}

TEST(SoundGain, ComponentVolumeMapping)
{
    struct Case {
        int volume;
        bool midi;
        int expected;
    };
    const Case cases[] = {
        {1000, false, 0},     {1000, true, 0},      {500, false, -2500},  {500, true, -5000},
        {1, false, -4995},    {1, true, -9990},     {0, false, -10000},   {0, true, -10000},
        {-5, false, -10000},  {2000, false, 0},     {2000, true, 0},      {INT32_MAX, false, 0},
        {INT32_MAX, true, 0}, {999, false, -5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.volume << (c.midi ? " midi" : ""));
        EXPECT_EQ(MapComponentVolume(c.volume, c.midi), c.expected);
    }
}

}  // namespace
}  // namespace mobu
