// mobupack probe and decode render sounds through the player's items and mixer: the output
// is checked against the fixtures and against what sox and oggdec made of them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>

#include "media/riff_wave.h"
#include "tests/media/media_fixtures.h"
#include "tests/support/run_tools.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;
using media_test::FixturePath;
using media_test::ReadFixture;
using media_test::ReadRaw;
using run_tools::ReadAll;

class MobupackMediaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scratch = fs::temp_directory_path() / ("mobu_mobupack_media_" + std::to_string(getpid()));
        fs::create_directories(scratch);
    }
    void TearDown() override { fs::remove_all(scratch); }

    // Runs mobupack; its standard output and error end up in `output`.
    int Run(const std::string& arguments)
    {
        fs::path log = scratch / "log.txt";
        int raw = std::system((std::string(MOBU_BINARY_DIR) + "/mobupack " + arguments + " > " + log.string() +
                               " 2>&1").c_str());
        output = ReadAll(log);
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    std::vector<int16_t> Samples(const fs::path& wave, TRiffWaveFormat& format)
    {
        std::string bytes = ReadAll(wave);
        format = ReadRiffWaveFormat(bytes);
        std::vector<int16_t> samples(format.DataSize / 2);
        std::memcpy(samples.data(), bytes.data() + format.DataOffset, format.DataSize);
        return samples;
    }

    fs::path scratch;
    std::string output;
};

TEST_F(MobupackMediaTest, ProbeNamesKindCodecFormatAndLength)
{
    struct Case {
        const char* file;
        const char* line;
    };
    const Case cases[] = {
        {"stereo_44k.ogg", R"({"kind": "ogg", "codec": "vorbis", "rate": 44100, "channels": 2, "length_ms": 300})"},
        {"s24_96k_stereo.wav", R"({"kind": "wave", "codec": "pcm_s24le", "rate": 96000, "channels": 2, "length_ms": 20})"},
        {"ulaw_8k_mono.wav", R"({"kind": "wave", "codec": "pcm_mulaw", "rate": 8000, "channels": 1, "length_ms": 50})"},
        {"wmav2.wma", R"({"kind": "wmp", "codec": "wmav2", "rate": 22050, "channels": 1, "length_ms": 510})"},
        {"movie.mpg", R"({"kind": "video", "codec": "mp2", "rate": 44100, "channels": 1, "length_ms": 940, "width": 64, "height": 48, "fps": 25.000, "has_audio": true})"},
        {"game_cdda CD_2", R"({"kind": "cdda", "codec": "flac", "rate": 44100, "channels": 2, "length_ms": 1000})"},
    };
    for (const Case& c : cases) {
        std::string file = c.file;
        size_t space = file.find(' ');
        std::string source = space == std::string::npos ? FixturePath(file)
                                                         : FixturePath(file.substr(0, space)) + " " + file.substr(space + 1);
        ASSERT_EQ(Run("probe " + source), 0) << output;
        EXPECT_EQ(output, std::string(c.line) + "\n");
    }
}

TEST_F(MobupackMediaTest, DecodeInTheSourceFormatIsSampleExactAndMatchesOggdec)
{
    fs::path out = scratch / "out.wav";
    ASSERT_EQ(Run("decode " + FixturePath("s16_44k_stereo.wav") + " " + out.string()), 0) << output;
    TRiffWaveFormat format;
    std::vector<int16_t> ours = Samples(out, format);
    std::string source = ReadFixture("s16_44k_stereo.wav");
    TRiffWaveFormat source_format = ReadRiffWaveFormat(source);
    ASSERT_EQ(format.DataSize, source_format.DataSize);
    EXPECT_EQ(0, std::memcmp(ours.data(), source.data() + source_format.DataOffset, format.DataSize));

    ASSERT_EQ(Run("decode " + FixturePath("chained.ogg") + " " + out.string()), 0) << output;
    ours = Samples(out, format);
    std::vector<int16_t> oggdec = ReadRaw<int16_t>("chained.s16");
    ASSERT_EQ(ours.size(), oggdec.size());
    int worst = 0;
    for (size_t i = 0; i < ours.size(); ++i) worst = std::max(worst, std::abs(ours[i] - oggdec[i]));
    EXPECT_LE(worst, 1);
}

TEST_F(MobupackMediaTest, ASourceBelowTheLowestMixingRateIsWrittenAtThatRate)
{
    // 100 ms of 4000 Hz mono: the mixer works at 8000 Hz at least, and the file says so and
    // keeps the duration, instead of claiming 4000 Hz for 8000 Hz samples.
    auto le32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    const std::string data(800, '\x10');
    const std::string body = "WAVEfmt " + le32(16) + std::string("\x01\0\x01\0", 4) + le32(4000) + le32(8000) +
                             std::string("\x02\0\x10\0", 4) + "data" + le32(800) + data;
    std::ofstream(scratch / "slow.wav", std::ios::binary) << "RIFF" + le32(static_cast<uint32_t>(body.size())) + body;
    fs::path out = scratch / "out.wav";
    ASSERT_EQ(Run("decode " + (scratch / "slow.wav").string() + " " + out.string()), 0) << output;
    TRiffWaveFormat format;
    std::vector<int16_t> ours = Samples(out, format);
    EXPECT_EQ(format.Rate, 8000);
    EXPECT_NEAR(static_cast<double>(ours.size()), 800.0, 2.0);
}

TEST_F(MobupackMediaTest, DecodeAppliesStartLengthVolumePanRepeatAndConversion)
{
    fs::path out = scratch / "out.wav";
    // 22.05 kHz mono to 48 kHz stereo at -6 dB, panned right by 20 dB: duration kept.
    ASSERT_EQ(Run("decode " + FixturePath("s16_22k_mono.wav") + " " + out.string() +
                  " --rate 48000 --channels 2 --volume -600 --pan 2000"),
              0)
        << output;
    TRiffWaveFormat format;
    std::vector<int16_t> ours = Samples(out, format);
    EXPECT_EQ(format.Rate, 48000);
    EXPECT_EQ(format.Channels, 2);
    EXPECT_NEAR(static_cast<double>(ours.size() / 2) / 48000.0, 0.05, 0.001);
    double left = 0, right = 0;
    for (size_t i = 0; i < ours.size(); i += 2) {
        left = std::max(left, std::abs(static_cast<double>(ours[i])));
        right = std::max(right, std::abs(static_cast<double>(ours[i + 1])));
    }
    EXPECT_NEAR(20 * std::log10(left / right), -20.0, 0.2);

    // --start and --ms; --repeat-from loops without a gap.
    ASSERT_EQ(Run("decode " + FixturePath("s16_44k_stereo.wav") + " " + out.string() +
                  " --start 10 --ms 100 --repeat-from 20"),
              0)
        << output;
    ours = Samples(out, format);
    ASSERT_EQ(ours.size(), 4410u * 2);
    std::string source = ReadFixture("s16_44k_stereo.wav");
    TRiffWaveFormat sf = ReadRiffWaveFormat(source);
    const auto* pcm = reinterpret_cast<const int16_t*>(source.data() + sf.DataOffset);
    size_t frames = sf.DataSize / 4;  // 2205
    size_t at = 0, position = 441;
    for (; at < 4410; ++at, ++position) {
        if (position == frames) position = 882;  // 20 ms
        ASSERT_EQ(ours[at * 2], pcm[position * 2]) << at;
    }
}

TEST_F(MobupackMediaTest, FramesWritesThePicturesAtTheTimesGiven)
{
    fs::path out = scratch / "frames";
    ASSERT_EQ(Run("frames " + FixturePath("movie.mpg") + " " + out.string() + " --at 0,1500,520"), 0) << output;
    for (const char* name : {"frame-0.png", "frame-1500.png", "frame-520.png"}) {
        std::string png = ReadAll(out / name);
        ASSERT_GT(png.size(), 24u) << name;
        EXPECT_EQ(png.substr(1, 3), "PNG");
        EXPECT_EQ(static_cast<uint8_t>(png[19]), 64);  // width, big-endian
        EXPECT_EQ(static_cast<uint8_t>(png[23]), 48);  // height
    }
    EXPECT_NE(ReadAll(out / "frame-0.png"), ReadAll(out / "frame-520.png"));
}

TEST_F(MobupackMediaTest, RefusalsExitWithTheirMessages)
{
    fs::path out = scratch / "out.wav";
    EXPECT_EQ(Run("decode " + FixturePath("stereo_44k.s16") + " " + out.string()), 1);  // by extension: a movie
    EXPECT_NE(output.find("サウンドデータが不正です"), std::string::npos) << output;
    std::ofstream(scratch / "bad.wav") << "RIFF\x10\0\0\0WAVEjunk";
    EXPECT_EQ(Run("decode " + (scratch / "bad.wav").string() + " " + out.string()), 1);
    EXPECT_NE(output.find("サウンドデータが不正です"), std::string::npos) << output;
    for (const char* none : {"CD_x", "CD_4", "CD_0"}) {
        EXPECT_EQ(Run("decode " + FixturePath("game_cdda") + " " + none + " " + out.string()), 3) << none;
    }
    EXPECT_FALSE(fs::exists(out));
    std::ofstream(scratch / "song.mid") << "MThd";
    EXPECT_EQ(Run("probe " + (scratch / "song.mid").string()), 1);
    EXPECT_NE(output.find("サウンドデータが不正です"), std::string::npos) << output;
    std::ofstream(scratch / "empty.mid") << "";
    EXPECT_EQ(Run("decode " + (scratch / "empty.mid").string() + " " + out.string()), 3);
    EXPECT_EQ(Run("probe " + FixturePath("song0.mid")), 0);
    EXPECT_EQ(output, "{\"kind\": \"midi\", \"codec\": \"midi\", \"rate\": 44100, \"channels\": 2, \"length_ms\": 1500}\n");
    EXPECT_EQ(Run("decode " + FixturePath("stereo_44k.ogg") + " " + out.string() + " --repeat-from 5"), 1);
    EXPECT_FALSE(fs::exists(out));
}

}  // namespace
}  // namespace mobu
