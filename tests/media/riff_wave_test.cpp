#include <gtest/gtest.h>

#include <cmath>

#include "core/mobu_error.h"
#include "media/media_messages.h"
#include "media/riff_wave.h"
#include "tests/media/media_fixtures.h"

namespace mobu {
namespace {

using media_test::ReadFixture;
using media_test::ReadRaw;

std::vector<float> DecodeAll(TPcmSource& source)
{
    std::vector<float> all;
    std::vector<float> chunk(1000 * static_cast<size_t>(source.Channels()));
    while (size_t got = source.Read(chunk.data(), 1000)) {
        all.insert(all.end(), chunk.begin(), chunk.begin() + static_cast<long>(got) * source.Channels());
    }
    return all;
}

// sox wrote each file and decoded it to raw floats: our decoding matches it.
TEST(RiffWave, DecodesLikeSoxForEveryDepthRateAndChannelCount)
{
    struct Case {
        const char* name;
        int rate;
        int channels;
        float tolerance;
    };
    const Case cases[] = {
        {"u8_8k_mono", 8000, 1, 0},           {"s16_22k_mono", 22050, 1, 0},
        {"s16_44k_stereo", 44100, 2, 0},      {"s24_96k_stereo", 96000, 2, 0},
        {"s32_48k_stereo", 48000, 2, 1e-7f},  {"f32_44k_stereo", 44100, 2, 0},
        {"f64_32k_mono", 32000, 1, 1e-7f},    {"s16_48k_6ch", 48000, 6, 0},
        {"alaw_8k_mono", 8000, 1, 0},         {"ulaw_8k_mono", 8000, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto source = OpenRiffWaveSource(ReadFixture(std::string(c.name) + ".wav"));
        EXPECT_EQ(source->Rate(), c.rate);
        EXPECT_EQ(source->Channels(), c.channels);
        std::vector<float> ours = DecodeAll(*source);
        std::vector<float> sox = ReadRaw<float>(std::string(c.name) + ".f32");
        ASSERT_EQ(ours.size(), sox.size());
        EXPECT_EQ(source->LengthFrames() * c.channels, static_cast<int64_t>(sox.size()));
        float worst = 0;
        for (size_t i = 0; i < ours.size(); ++i) worst = std::max(worst, std::abs(ours[i] - sox[i]));
        EXPECT_LE(worst, c.tolerance);
    }
}

TEST(RiffWave, SeekLandsOnTheFrame)
{
    auto source = OpenRiffWaveSource(ReadFixture("s16_44k_stereo.wav"));
    std::vector<float> sox = ReadRaw<float>("s16_44k_stereo.f32");
    source->Seek(1000);
    float frame[2];
    ASSERT_EQ(source->Read(frame, 1), 1u);
    EXPECT_EQ(frame[0], sox[2000]);
    EXPECT_EQ(frame[1], sox[2001]);
    source->Seek(1 << 30);
    EXPECT_EQ(source->Read(frame, 1), 0u);
}

TEST(RiffWave, FloatSamplesThatAreNotFiniteBecomeSilenceOrFullScale)
{
    auto le32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    const float samples[] = {std::nanf(""), HUGE_VALF, -HUGE_VALF, 0.5f};
    std::string data(reinterpret_cast<const char*>(samples), sizeof samples);
    std::string fmt = std::string("\x03\0\x01\0", 4) + le32(8000) + le32(32000) + std::string("\x04\0\x20\0", 4);
    std::string body = "WAVE" + std::string("fmt ") + le32(16) + fmt + "data" + le32(static_cast<uint32_t>(data.size())) + data;
    auto source = OpenRiffWaveSource("RIFF" + le32(static_cast<uint32_t>(body.size())) + body);
    EXPECT_EQ(DecodeAll(*source), (std::vector<float>{0.0f, 1.0f, -1.0f, 0.5f}));
}

TEST(RiffWave, AdpcmIsRefusedVisiblyUntilItsCodecIsBuilt)
{
    for (const char* name : {"imaadpcm_22k_mono.wav", "msadpcm_22k_mono.wav"}) {
        SCOPED_TRACE(name);
        TRiffWaveFormat format = ReadRiffWaveFormat(ReadFixture(name));
        EXPECT_FALSE(WaveFormatDecodable(format));
        try {
            OpenRiffWaveSource(ReadFixture(name));
            ADD_FAILURE() << "opened";
        } catch (const EMobuError& e) {
            EXPECT_NE(std::string(e.what()).find("not available yet"), std::string::npos);
        }
    }
}

// A 16-bit stereo file with a plain 16-byte "fmt " chunk, an unknown odd chunk and `data`.
std::string SmallWave()
{
    std::string fmt = std::string("fmt ") + std::string("\x10\0\0\0", 4) +
                      std::string("\x01\0\x02\0\x44\xAC\0\0\x10\xB1\x02\0\x04\0\x10\0", 16);
    std::string junk = std::string("junk\x03\0\0\0abc", 11) + std::string(1, '\0');
    std::string data = std::string("data\x08\0\0\0", 8) + std::string("\x01\0\x02\0\x03\0\x04\0", 8);
    std::string body = "WAVE" + junk + fmt + data;
    uint32_t size = static_cast<uint32_t>(body.size());
    return "RIFF" + std::string(reinterpret_cast<const char*>(&size), 4) + body;
}

TEST(RiffWave, UnknownAndOddChunksAreSkipped)
{
    TRiffWaveFormat format = ReadRiffWaveFormat(SmallWave());
    EXPECT_EQ(format.Channels, 2);
    EXPECT_EQ(format.Rate, 44100);
    EXPECT_EQ(format.DataSize, 8u);
}

TEST(RiffWave, BrokenHeadersAreInvalidSoundData)
{
    const std::string good = SmallWave();
    size_t fmt = good.find("fmt ") + 8;
    struct Case {
        const char* what;
        size_t offset;
        std::string bytes;
    };
    const Case cases[] = {
        {"0 channels", fmt + 2, std::string("\0\0", 2)},
        {"9 channels", fmt + 2, std::string("\x09\0", 2)},
        {"block align 0", fmt + 12, std::string("\0\0", 2)},
        {"12-bit PCM", fmt + 14, std::string("\x0C\0", 2)},
        {"rate 0", fmt + 4, std::string("\0\0\0\0", 4)},
        {"rate 400000", fmt + 4, std::string("\x80\x1A\x06\0", 4)},
        {"no fmt chunk", fmt - 8, "xxxx"},
        {"fmt beyond the file", fmt - 4, std::string("\xFF\xFF\0\0", 4)},
        {"not RIFF", 0, "RIFX"},
        {"not WAVE", 8, "AVI "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string broken = good;
        broken.replace(c.offset, c.bytes.size(), c.bytes);
        try {
            ReadRiffWaveFormat(broken);
            ADD_FAILURE() << "accepted";
        } catch (const EMobuError& e) {
            EXPECT_EQ(std::string(e.what()), media_messages::InvalidSoundData());
        }
    }
    EXPECT_THROW(ReadRiffWaveFormat(good.substr(0, 10)), EMobuError);
}

TEST(RiffWave, DataSizeBeyondTheFilePlaysWhatIsThere)
{
    const std::string good = SmallWave();
    size_t data_size = good.find("data") + 4;
    for (std::string size : {std::string("\0\0\0\0", 4), std::string("\xFF\xFF\xFF\xFF", 4), std::string("\x00\x01\0\0", 4)}) {
        std::string recorded = good;
        recorded.replace(data_size, 4, size);
        recorded += std::string("\x05\0\x06\0\x07", 5);  // one more frame and a partial one
        auto source = OpenRiffWaveSource(recorded);
        EXPECT_EQ(source->LengthFrames(), 3);
    }
}

}  // namespace
}  // namespace mobu
