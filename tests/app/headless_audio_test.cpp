// The headless runner's sound: --audio-out writes the mixed sound frame by frame on the
// virtual clock (after frame k the file holds floor(k·tick·rate/1000) frames, reruns are
// identical, sox reads the header), and --dump-media describes the media layer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "media/riff_wave.h"
#include "tests/support/run_tools.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;
using run_tools::ReadAll;
using run_tools::RunCommand;

class HeadlessAudioTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scratch = fs::temp_directory_path() / ("mobu_headless_audio_" + std::to_string(getpid()));
        fs::create_directories(scratch);
        fs::path demo = fs::path(MOBU_BINARY_DIR) / "demo";
        if (!fs::exists(demo / "game.dat")) GTEST_SKIP() << "the demo game is not packed in this build";
        game = scratch / "demo";
        fs::copy(demo, game, fs::copy_options::recursive);
    }
    void TearDown() override { fs::remove_all(scratch); }

    int Play(const std::string& options)
    {
        return RunCommand(std::string(MOBU_BINARY_DIR) + "/mobuplay --headless --seed 3 " + options + " " +
                          game.string());
    }

    fs::path scratch;
    fs::path game;
};

TEST_F(HeadlessAudioTest, LengthFollowsTheVirtualClockInEveryFormat)
{
    struct Case {
        int frames;
        int tick;
        int rate;
        int channels;
    };
    const Case cases[] = {{7, 15, 44100, 2}, {10, 16, 22050, 1}, {3, 299, 8000, 6}, {5, 15, 192000, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.frames << "x" << c.tick << " " << c.rate << "x" << c.channels);
        fs::path out = scratch / "out.wav";
        ASSERT_EQ(Play("--frames " + std::to_string(c.frames) + " --tick-ms " + std::to_string(c.tick) +
                       " --audio-out " + out.string() + " --audio-rate " + std::to_string(c.rate) +
                       " --audio-channels " + std::to_string(c.channels)),
                  0);
        std::string bytes = ReadAll(out);
        TRiffWaveFormat format = ReadRiffWaveFormat(bytes);
        EXPECT_EQ(format.Rate, c.rate);
        EXPECT_EQ(format.Channels, c.channels);
        EXPECT_EQ(format.BitsPerSample, 16);
        EXPECT_EQ(format.FormatTag, 1);  // PCM, also under WAVE_FORMAT_EXTENSIBLE
        EXPECT_EQ(static_cast<uint8_t>(bytes[20]) | (static_cast<uint8_t>(bytes[21]) << 8),
                  c.channels > 2 ? 0xFFFE : 1);
        int64_t expected = static_cast<int64_t>(c.frames) * c.tick * c.rate / 1000;
        EXPECT_EQ(static_cast<int64_t>(format.DataSize), expected * 2 * c.channels);
        // sox, which nobody here wrote, reads the same length.
        fs::path count = scratch / "count.txt";
        ASSERT_EQ(std::system(("soxi -s " + out.string() + " > " + count.string() + " 2>&1").c_str()), 0)
            << ReadAll(count);
        EXPECT_EQ(std::stoll(ReadAll(count)), expected);
    }
}

TEST_F(HeadlessAudioTest, RerunsAreByteIdenticalAndTheMediaDumpNamesTheDevice)
{
    fs::path a = scratch / "a.wav", b = scratch / "b.wav", dump = scratch / "media.json";
    ASSERT_EQ(Play("--frames 30 --audio-out " + a.string() + " --dump-media " + dump.string() +
                   " --audio-rate 48000 --audio-channels 6"),
              0);
    ASSERT_EQ(Play("--frames 30 --audio-out " + b.string() + " --audio-rate 48000 --audio-channels 6"), 0);
    EXPECT_EQ(ReadAll(a), ReadAll(b));
    std::string json = ReadAll(dump);
    EXPECT_NE(json.find("\"device\": {\"rate\": 48000, \"channels\": 6}"), std::string::npos) << json;
    EXPECT_NE(json.find("\"sound_on\": true"), std::string::npos) << json;
    EXPECT_NE(json.find("\"midi_ports\": [\"MIDI"), std::string::npos) << json;
    EXPECT_NE(json.find("\"items\": []"), std::string::npos) << json;
}

TEST_F(HeadlessAudioTest, AudioOptionsAreCheckedAndHeadlessOnly)
{
    EXPECT_NE(Play("--frames 1 --audio-rate 7999 --audio-out " + (scratch / "x.wav").string()), 0);
    EXPECT_NE(Play("--frames 1 --audio-channels 9 --audio-out " + (scratch / "x.wav").string()), 0);
    EXPECT_NE(RunCommand(std::string(MOBU_BINARY_DIR) + "/mobuplay --audio-out x.wav " + game.string()), 0);
}

}  // namespace
}  // namespace mobu
