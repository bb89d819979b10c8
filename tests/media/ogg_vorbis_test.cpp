#include <gtest/gtest.h>

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
