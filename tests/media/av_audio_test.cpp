#include <gtest/gtest.h>

#include "core/mobu_error.h"
#include "media/cdda_manager.h"
#include "media/cdda_tracks.h"
#include "media/media_messages.h"
#include "media/mixer_sound_item.h"
#include "media/wmp_manager.h"
#include "platform/text_encoding.h"
#include "tests/media/media_fixtures.h"

namespace mobu {
namespace {

using media_test::FixturePath;
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

// ffmpeg and sox decoded the same files: we match within 2 steps of 16 bits.
TEST(AvAudio, CodecsDecodeLikeTheirReferenceTools)
{
    struct Case {
        const char* file;
        const char* oracle;
        int rate;
        int channels;
        const char* codec;
        int steps;           // of 16 bits
        double length_error;  // seconds: what the container tells before decoding
    };
    // sox rounds IMA ADPCM steps its own way: a few steps apart from libavcodec.
    const Case cases[] = {
        {"wmav1.wma", "wmav1.ff32", 44100, 2, "wmav1", 2, 0.05},
        {"wmav2.wma", "wmav2.ff32", 22050, 1, "wmav2", 2, 0.05},
        {"movie.mpg", "movie.ff32", 44100, 1, "mp2", 2, 0.1},
        {"mp3_in.wav", "mp3_in.ff32", 22050, 1, "mp3float", 2, 0.05},
        {"imaadpcm_22k_mono.wav", "imaadpcm_22k_mono.f32", 22050, 1, "adpcm_ima_wav", 12, 0.02},
        {"msadpcm_22k_mono.wav", "msadpcm_22k_mono.f32", 22050, 1, "adpcm_ms", 2, 0.01},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::unique_ptr<TPcmSource> source = OpenSoundSource(Utf8ToCp932(FixturePath(c.file)));
        EXPECT_EQ(source->Rate(), c.rate);
        EXPECT_EQ(source->Channels(), c.channels);
        EXPECT_STREQ(source->CodecName(), c.codec);
        std::vector<float> ours = DecodeAll(*source);
        std::vector<float> oracle = ReadRaw<float>(c.oracle);
        ASSERT_FALSE(oracle.empty());
        EXPECT_EQ(ours.size(), oracle.size());
        size_t n = std::min(ours.size(), oracle.size());
        float worst = 0;
        for (size_t i = 0; i < n; ++i) worst = std::max(worst, std::abs(ours[i] - oracle[i]));
        EXPECT_LE(worst, static_cast<float>(c.steps) / 32768.0f);
        EXPECT_NEAR(static_cast<double>(source->LengthFrames()), static_cast<double>(oracle.size()) / c.channels,
                    c.rate * c.length_error);
    }
}

TEST(AvAudio, SeeksLandOnTheSample)
{
    for (const char* file : {"msadpcm_22k_mono.wav", "wmav2.wma"}) {
        SCOPED_TRACE(file);
        std::unique_ptr<TPcmSource> source = OpenSoundSource(Utf8ToCp932(FixturePath(file)));
        std::vector<float> all = DecodeAll(*source);
        for (int64_t frame : {0, 1, 700, 1000}) {
            SCOPED_TRACE(frame);
            source->Seek(frame);
            float sample = 0;
            ASSERT_EQ(source->Read(&sample, 1), 1u);
            EXPECT_NEAR(sample, all[static_cast<size_t>(frame)], 2.0 / 32768.0);
        }
    }
}

TEST(AvAudio, WmpItemsPlayFromMemoryAndGarbageIsInvalid)
{
    TAudioMixer mixer(44100, 2);
    TWmpManager manager(mixer);
    TDMediaItem* item = manager.Add(Utf8ToCp932(FixturePath("wmav1.wma")));
    ASSERT_NE(item, nullptr);
    EXPECT_NEAR(item->GetLength(), 500, 40);
    try {
        manager.Add(Utf8ToCp932(FixturePath("chained.s16")));
        ADD_FAILURE() << "opened";
    } catch (const EMobuError& e) {
        EXPECT_EQ(std::string(e.what()), media_messages::InvalidSoundData());
    }
}

TEST(CdTracks, NumbersAndFileNames)
{
    struct Number {
        const char* name;
        int track;  // 0: nothing plays
    };
    const Number numbers[] = {{"CD_2", 2},  {"CD_02", 2},   {"CD_99999", 99999}, {"CD_", 0},
                              {"CD_x", 0},  {"CD_-1", 0},   {"CD_0", 0},         {"CD_99999999999", 0},
                              {"CD_2a", 0}, {"CD_+2", 0},   {"CD", 0},           {"cd_7", 7}};
    for (const Number& n : numbers) {
        SCOPED_TRACE(n.name);
        std::optional<int> track = CdTrackNumber(n.name);
        EXPECT_EQ(track.value_or(0), n.track);
    }
    struct File {
        const char* name;
        int track;
        bool match;
    };
    const File files[] = {
        {"track02.ogg", 2, true},     {"Track2.FLAC", 2, true},   {"track 2.wav", 2, true},
        {"track_002.mp3", 2, true},   {"track-2.opus", 2, true},  {"track12.ogg", 2, false},
        {"02 - Title.flac", 2, true}, {"2.oga", 2, true},         {"12 - x.ogg", 2, false},
        {"02 - Title.txt", 2, false}, {"track02", 2, false},      {"track  2.ogg", 2, false},
        {"022.ogg", 2, false},        {"track02.ogg", 0, false},
    };
    for (const File& f : files) {
        SCOPED_TRACE(testing::Message() << f.name << " " << f.track);
        EXPECT_EQ(IsCdTrackFile(f.name, f.track), f.match);
    }
    EXPECT_EQ(FindCdTrackFile({"b2.ogg", "track02.wav", "02 - a.ogg"}, 2), "02 - a.ogg");  // name order
}

TEST(CdTracks, TheManagerPlaysTrackFilesOneAtATimeWithOneLineGain)
{
    TAudioMixer mixer(44100, 2);
    TCddaManager manager(mixer, FixturePath("game_cdda"));
    testing::internal::CaptureStderr();
    for (const char* none : {"CD_", "CD_x", "CD_-1", "CD_0", "CD_99999999999", "CD_4"}) {
        EXPECT_EQ(manager.Add(none), nullptr) << none;
    }
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("CD_4: no CD track file"), std::string::npos) << said;
    TDMediaItem* two = manager.Add("CD_2");
    TDMediaItem* three = manager.Add("CD_03");
    ASSERT_NE(two, nullptr);
    ASSERT_NE(three, nullptr);
    EXPECT_EQ(two->GetLength(), 1000);    // 1.5 s: whole seconds
    EXPECT_EQ(three->GetLength(), 2000);  // 2.2 s
    two->Play();
    three->Play();
    EXPECT_FALSE(two->IsPlaying());
    EXPECT_TRUE(three->IsPlaying());
    two->SetVolume(-1200);
    EXPECT_EQ(three->GetVolume(), -1200);
    TMediaManager& plain = manager;
    EXPECT_EQ(plain.Count(), 2);
    TCddaManager empty(mixer, FixturePath("no_such_folder"));
    testing::internal::CaptureStderr();
    EXPECT_EQ(empty.Add("CD_2"), nullptr);
    testing::internal::GetCapturedStderr();
}

}  // namespace
}  // namespace mobu
