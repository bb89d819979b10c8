#include <gtest/gtest.h>

#include <cmath>

#include "media/audio_mixer.h"
#include "media/riff_wave.h"
#include "media/sound_gain.h"
#include "tests/media/media_fixtures.h"

namespace mobu {
namespace {

using media_test::Constant;
using media_test::ReadFixture;
using media_test::Sine;
using media_test::TFunctionSource;
using media_test::ToneAmplitude;

std::vector<float> MixFrames(TAudioMixer& mixer, size_t frames, size_t block = 441)
{
    std::vector<float> out(frames * static_cast<size_t>(mixer.Channels()));
    for (size_t done = 0; done < frames; done += block) {
        size_t n = std::min(block, frames - done);
        mixer.Mix(out.data() + done * static_cast<size_t>(mixer.Channels()), n);
    }
    return out;
}

TEST(AudioMixer, SourceInTheDeviceFormatPassesSampleExact)
{
    std::string wave = ReadFixture("s16_44k_stereo.wav");
    TRiffWaveFormat format = ReadRiffWaveFormat(wave);
    TAudioMixer mixer(44100, 2);
    uint32_t voice = mixer.AddVoice(OpenRiffWaveSource(wave));
    mixer.Play(voice);
    size_t frames = format.DataSize / 4;
    std::vector<float> out = MixFrames(mixer, frames + 100);
    const auto* pcm = reinterpret_cast<const int16_t*>(wave.data() + format.DataOffset);
    for (size_t i = 0; i < frames * 2; ++i) ASSERT_EQ(static_cast<int>(out[i] * 32768.0f), pcm[i]) << i;
    for (size_t i = frames * 2; i < out.size(); ++i) ASSERT_EQ(out[i], 0.0f);
    EXPECT_TRUE(mixer.State(voice).Ended);
    EXPECT_FALSE(mixer.State(voice).Playing);
}

// Rates and channel counts to the device: the tone keeps its frequency and level, the
// length its duration; mono reaches each front channel at unity.
TEST(AudioMixer, ConvertsRatesAndChannelsKeepingPitchLevelAndLength)
{
    const int source_rates[] = {8000, 22050, 44100, 48000, 96000};
    const int source_channels[] = {1, 2};
    const int device_rates[] = {44100, 48000};
    const int device_channels[] = {1, 2, 6};
    for (int sr : source_rates) {
        for (int sc : source_channels) {
            for (int dr : device_rates) {
                for (int dc : device_channels) {
                    SCOPED_TRACE(testing::Message() << sr << "x" << sc << " -> " << dr << "x" << dc);
                    TAudioMixer mixer(dr, dc);
                    uint32_t voice = mixer.AddVoice(Sine(sr, sc, 0.5, 1000.0, 0.5));
                    mixer.Play(voice);
                    std::vector<float> out = MixFrames(mixer, static_cast<size_t>(dr));  // 1 s
                    // Length: the last sounding frame lies within 1 ms of 0.5 s.
                    size_t last = 0;
                    for (size_t f = 0; f < out.size() / static_cast<size_t>(dc); ++f) {
                        if (std::abs(out[f * static_cast<size_t>(dc)]) > 1e-4f) last = f;
                    }
                    EXPECT_NEAR(static_cast<double>(last) / dr, 0.5, 0.001);
                    std::vector<float> body(out.begin() + dr / 10 * dc, out.begin() + dr * 4 / 10 * dc);
                    double level = ToneAmplitude(body, dc, 0, dr, 1000.0);
                    EXPECT_NEAR(20 * std::log10(level / 0.5), 0.0, 0.1);
                    if (dc >= 2) {
                        EXPECT_NEAR(ToneAmplitude(body, dc, 1, dr, 1000.0), level, 1e-3);
                    }
                    if (dc == 6) {
                        double center = ToneAmplitude(body, dc, 2, dr, 1000.0);
                        EXPECT_NEAR(center, sc == 1 ? level : 0.0, 1e-3);
                        EXPECT_NEAR(ToneAmplitude(body, dc, 4, dr, 1000.0), 0.0, 1e-3);
                    }
                    EXPECT_LT(ToneAmplitude(body, dc, 0, dr, 1100.0), 0.01);
                }
            }
        }
    }
}

TEST(AudioMixer, StereoToMonoIsTheMean)
{
    TAudioMixer mixer(44100, 1);
    uint32_t voice = mixer.AddVoice(std::make_unique<TFunctionSource>(
        44100, 2, 100, [](int64_t, int c) { return c == 0 ? 0.5f : -0.25f; }));
    mixer.Play(voice);
    std::vector<float> out = MixFrames(mixer, 10);
    EXPECT_FLOAT_EQ(out[0], 0.125f);
}

TEST(AudioMixer, GainAndPanFollowTheRule)
{
    struct Case {
        int volume;
        int pan;
    };
    const Case cases[] = {{0, 0},     {-600, 0},     {-2000, 1500}, {-100, -3000},
                          {0, 10000}, {0, -10000},   {-10000, 0},   {-30000, 0},
                          {900, 0},   {-1, 20000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.volume << " pan " << c.pan);
        TAudioMixer mixer(48000, 2);
        uint32_t voice = mixer.AddVoice(Constant(48000, 1, 1000, 0.5f));
        mixer.SetVolume(voice, c.volume);
        mixer.SetPan(voice, c.pan);
        mixer.Play(voice);
        std::vector<float> out = MixFrames(mixer, 4);
        double gain = c.volume <= -10000 ? 0.0 : std::pow(10.0, std::min(c.volume, 0) / 2000.0);
        int pan = std::clamp(c.pan, -10000, 10000);
        double left = pan > 0 ? (pan == 10000 ? 0.0 : std::pow(10.0, -pan / 2000.0)) : 1.0;
        double right = pan < 0 ? (pan == -10000 ? 0.0 : std::pow(10.0, pan / 2000.0)) : 1.0;
        EXPECT_NEAR(out[0], 0.5 * gain * left, 1e-6);
        EXPECT_NEAR(out[1], 0.5 * gain * right, 1e-6);
        if (gain * left == 0.0) {
            EXPECT_EQ(out[0], 0.0f);
        }
        if (gain * right == 0.0) {
            EXPECT_EQ(out[1], 0.0f);
        }
    }
}

TEST(AudioMixer, LaterVolumeChangesRampOverTwoMilliseconds)
{
    TAudioMixer mixer(48000, 1);
    uint32_t voice = mixer.AddVoice(Constant(48000, 1, 48000, 1.0f));
    mixer.SetVolume(voice, -2000);
    mixer.Play(voice);
    std::vector<float> first = MixFrames(mixer, 480, 480);
    EXPECT_FLOAT_EQ(first[0], 0.1f);  // the level set before playing applies at once
    mixer.SetVolume(voice, 0);
    std::vector<float> second = MixFrames(mixer, 480, 480);
    EXPECT_GT(second[0], 0.1f);
    EXPECT_LT(second[0], 0.2f);
    EXPECT_LT(second[47], 1.0f);
    EXPECT_FLOAT_EQ(second[95], 1.0f);  // 2 ms at 48 kHz
    EXPECT_FLOAT_EQ(second[479], 1.0f);
    for (size_t i = 1; i < 96; ++i) EXPECT_GE(second[i], second[i - 1]);
}

TEST(AudioMixer, RepeatJumpsToTheRepeatPointWithoutAGap)
{
    // The source counts its frames: 0..999 at 1 kHz-steps of 1/1000.
    struct Case {
        int repeat_pos_ms;
        int64_t restart;
    };
    const Case cases[] = {{0, 0}, {500, 500}, {-5, 0}, {1000, 0}, {5000, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.repeat_pos_ms);
        TAudioMixer mixer(1000 * 8, 1);  // the source plays at the device rate: 8000 Hz
        uint32_t voice = mixer.AddVoice(std::make_unique<TFunctionSource>(
            8000, 1, 8000, [](int64_t f, int) { return static_cast<float>(f) / 8000.0f; }));
        mixer.SetRepeat(voice, true);
        mixer.SetRepeatPosMs(voice, c.repeat_pos_ms);
        mixer.Play(voice);
        std::vector<float> out = MixFrames(mixer, 8000 + 100, 333);
        for (int i = 0; i < 8000; ++i) ASSERT_FLOAT_EQ(out[static_cast<size_t>(i)], i / 8000.0f) << i;
        for (int i = 0; i < 100; ++i) {
            ASSERT_FLOAT_EQ(out[8000 + static_cast<size_t>(i)], static_cast<float>(c.restart * 8 + i) / 8000.0f) << i;
        }
        EXPECT_FALSE(mixer.State(voice).Ended);
        EXPECT_TRUE(mixer.State(voice).Playing);
    }
}

TEST(AudioMixer, PositionsSeeksPausesAndTheLatchedEnd)
{
    TAudioMixer mixer(44100, 2);
    uint32_t voice = mixer.AddVoice(Sine(22050, 1, 1.0, 440, 0.5));
    EXPECT_EQ(mixer.State(voice).LengthMs, 1000);
    EXPECT_EQ(mixer.State(voice).PositionMs, 0);
    mixer.Play(voice);
    MixFrames(mixer, 44100 / 4);
    EXPECT_NEAR(mixer.State(voice).PositionMs, 250, 2);
    mixer.Pause(voice);
    MixFrames(mixer, 44100 / 4);
    EXPECT_NEAR(mixer.State(voice).PositionMs, 250, 2);
    EXPECT_TRUE(mixer.State(voice).Paused);
    mixer.SetPositionMs(voice, 900);
    EXPECT_EQ(mixer.State(voice).PositionMs, 900);
    mixer.Play(voice);
    MixFrames(mixer, 44100 / 5);
    TVoiceState state = mixer.State(voice);
    EXPECT_TRUE(state.Ended);
    EXPECT_FALSE(state.Playing);
    EXPECT_EQ(state.PositionMs, 1000);
    MixFrames(mixer, 441);
    EXPECT_TRUE(mixer.State(voice).Ended);  // stays until played or moved again
    mixer.Play(voice);
    EXPECT_FALSE(mixer.State(voice).Ended);
    EXPECT_EQ(mixer.State(voice).PositionMs, 0);
}

TEST(AudioMixer, MutedVoicesKeepPlayingSilently)
{
    TAudioMixer mixer(8000, 1);
    uint32_t voice = mixer.AddVoice(Constant(8000, 1, 8000, 0.5f));
    mixer.SetMuted(voice, true);
    mixer.Play(voice);
    std::vector<float> out = MixFrames(mixer, 4000);
    EXPECT_EQ(*std::max_element(out.begin(), out.end()), 0.0f);
    EXPECT_EQ(mixer.State(voice).PositionMs, 500);
}

TEST(AudioMixer, HandlesAreNonZeroAndNeverReused)
{
    TAudioMixer mixer(8000, 1);
    uint32_t a = mixer.AddVoice(Constant(8000, 1, 10, 0.5f));
    mixer.RemoveVoice(a);
    uint32_t b = mixer.AddVoice(Constant(8000, 1, 10, 0.5f));
    EXPECT_NE(a, 0u);
    EXPECT_NE(a, b);
    EXPECT_FALSE(mixer.State(a).Exists);
    mixer.Play(a);  // a removed handle is ignored
    EXPECT_EQ(mixer.VoiceCount(), 1u);
}

}  // namespace
}  // namespace mobu
