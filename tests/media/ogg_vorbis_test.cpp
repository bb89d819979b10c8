#include <gtest/gtest.h>

#include <cmath>

#include "archive/range_stream.h"
#include "core/mobu_error.h"
#include "media/media_messages.h"
#include "media/ogg_vorbis_source.h"
#include "tests/media/media_fixtures.h"

namespace mobu {
namespace {

using media_test::ReadFixture;
using media_test::ReadRaw;

std::unique_ptr<TPcmSource> OpenOgg(const std::string& name)
{
    return OpenOggVorbisSource(std::make_unique<TMemoryRangeStream>(ReadFixture(name)));
}

// oggdec decoded the same files to 16-bit: we match within one step.
TEST(OggVorbis, DecodesLikeOggdecIncludingAChainedFile)
{
    for (const char* name : {"stereo_44k", "chained"}) {
        SCOPED_TRACE(name);
        auto source = OpenOgg(std::string(name) + ".ogg");
        EXPECT_EQ(source->Rate(), 44100);
        EXPECT_EQ(source->Channels(), 2);
        std::vector<int16_t> oracle = ReadRaw<int16_t>(std::string(name) + ".s16");
        EXPECT_EQ(source->LengthFrames() * 2, static_cast<int64_t>(oracle.size()));
        std::vector<float> ours(oracle.size() + 64);
        size_t got = source->Read(ours.data(), ours.size() / 2);
        ASSERT_EQ(got * 2, oracle.size());
        int worst = 0;
        for (size_t i = 0; i < oracle.size(); ++i) {
            int ours16 = static_cast<int>(std::lround(std::clamp(ours[i] * 32768.0f, -32768.0f, 32767.0f)));
            worst = std::max(worst, std::abs(ours16 - oracle[i]));
        }
        EXPECT_LE(worst, 1);
    }
}

TEST(OggVorbis, SeeksAreExact)
{
    auto source = OpenOgg("stereo_44k.ogg");
    std::vector<int16_t> oracle = ReadRaw<int16_t>("stereo_44k.s16");
    for (int64_t frame : {0, 1, 4410, 9999, 13000}) {
        SCOPED_TRACE(frame);
        source->Seek(frame);
        float pair[2];
        ASSERT_EQ(source->Read(pair, 1), 1u);
        EXPECT_NEAR(pair[0] * 32768.0f, oracle[static_cast<size_t>(frame) * 2], 1.01);
    }
}

TEST(OggVorbis, ALinkWithItsOwnRateAndChannelsKeepsPitchLevelAndLength)
{
    // stereo_44k.ogg followed by a 22050 Hz mono link of 1000 Hz: the stream stays 44100 Hz
    // stereo, the second link lasts as long as oggdec's decode of it and sounds at 1000 Hz
    // in both channels with oggdec's level.
    auto source = OpenOgg("chained_rates.ogg");
    EXPECT_EQ(source->Rate(), 44100);
    EXPECT_EQ(source->Channels(), 2);
    const int64_t first = static_cast<int64_t>(ReadRaw<int16_t>("stereo_44k.s16").size() / 2);
    const std::vector<int16_t> link = ReadRaw<int16_t>("link_c.s16");
    const int64_t second = static_cast<int64_t>(link.size()) * 2;  // 22050 Hz mono frames at 44100 Hz
    EXPECT_NEAR(static_cast<double>(source->LengthFrames()), static_cast<double>(first + second), 44.1);  // 1 ms

    std::vector<float> all(static_cast<size_t>(first + second + 4410) * 2);
    const size_t got = source->Read(all.data(), all.size() / 2);
    EXPECT_NEAR(static_cast<double>(got), static_cast<double>(first + second), 44.1);
    std::vector<float> tail(all.begin() + first * 2 + 2000, all.begin() + static_cast<std::ptrdiff_t>(got) * 2 - 2000);
    std::vector<float> oracle;
    for (size_t i = 1000; i + 1000 < link.size(); ++i) oracle.push_back(link[i] / 32768.0f);
    const double expected = media_test::ToneAmplitude(oracle, 1, 0, 22050, 1000);
    for (int channel : {0, 1}) {
        const double level = media_test::ToneAmplitude(tail, 2, channel, 44100, 1000);
        EXPECT_NEAR(20 * std::log10(level / expected), 0.0, 0.1) << channel;
        EXPECT_LT(media_test::ToneAmplitude(tail, 2, channel, 44100, 500), level / 100);  // not half the pitch
    }

    // A seek into the second link lands on its sound: the frames after it match a straight read.
    source->Seek(first + 4410);
    std::vector<float> after(200 * 2);
    ASSERT_EQ(source->Read(after.data(), 200), 200u);
    for (size_t i = 0; i < after.size(); ++i) {
        ASSERT_NEAR(after[i], all[static_cast<size_t>(first + 4410) * 2 + i], 0.0005) << i;
    }
}

TEST(OggVorbis, NotVorbisIsInvalidSoundData)
{
    for (std::string bytes : {std::string(), std::string("OggS"), ReadFixture("stereo_44k.ogg").substr(0, 100)}) {
        try {
            OpenOggVorbisSource(std::make_unique<TMemoryRangeStream>(bytes));
            ADD_FAILURE() << "opened";
        } catch (const EMobuError& e) {
            EXPECT_EQ(std::string(e.what()), media_messages::InvalidSoundData());
        }
    }
}

}  // namespace
}  // namespace mobu
