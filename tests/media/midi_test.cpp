#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "core/mobu_error.h"
#include "media/media_messages.h"
#include "media/midi_manager.h"
#include "media/midi_source.h"
#include "media/riff_wave.h"
#include "media/smf_reader.h"
#include "platform/text_encoding.h"
#include "tests/media/media_fixtures.h"

namespace mobu {
namespace {

using media_test::FixturePath;
using media_test::ReadFixture;

TEST(SmfReader, FormatsTempoMapRunningStatusAndRmid)
{
    TMidiSong zero = ReadStandardMidiFile(ReadFixture("song0.mid"));
    EXPECT_EQ(zero.Format, 0);
    // program, then three note-on/note-off pairs (running status), 0.5 s apart.
    ASSERT_EQ(zero.Events.size(), 7u);
    EXPECT_EQ(zero.Events[3].Status, 0x90);
    EXPECT_EQ(zero.Events[3].Data1, 0x40);
    EXPECT_EQ(zero.Events[3].Micros, 500000);
    EXPECT_EQ(zero.LengthMicros, 1500000);

    TMidiSong one = ReadStandardMidiFile(ReadFixture("song1.mid"));
    EXPECT_EQ(one.Format, 1);
    EXPECT_EQ(one.Events.front().Status, 0xF0);
    // Two quarters at 120 bpm, two at 60 bpm.
    std::vector<int64_t> note_ons;
    for (const TMidiEvent& e : one.Events) {
        if (e.Status == 0x91) note_ons.push_back(e.Micros);
    }
    EXPECT_EQ(note_ons, (std::vector<int64_t>{0, 500000, 1000000, 2000000}));
    EXPECT_EQ(one.LengthMicros, 3000000);

    TMidiSong riff = ReadStandardMidiFile(ReadFixture("song1.rmi"));
    EXPECT_EQ(riff.Events.size(), one.Events.size());
    EXPECT_EQ(riff.LengthMicros, one.LengthMicros);

    TMidiSong two = ReadStandardMidiFile(ReadFixture("song2.mid"));
    ASSERT_EQ(two.Events.size(), 4u);
    EXPECT_EQ(two.Events[2].Micros, 500000);  // the second pattern follows the first
    EXPECT_EQ(two.LengthMicros, 1000000);
}

TEST(SmfReader, HugeDeltaTimesStopAtTheLengthCap)
{
    // Division 1 at 120 bpm: each tick is half a second, and the largest delta time (0x0FFFFFFF
    // ticks) is over four years. The times stop at the cap and the source's length in samples
    // is computed without overflowing.
    const std::string track = std::string("\xFF\xFF\xFF\x7F\x90\x40\x40", 7) + std::string("\xFF\xFF\xFF\x7F\x80\x40\x00", 7) +
                              std::string("\x00\xFF\x2F\x00", 4);
    const std::string file = std::string("MThd\0\0\0\x06\0\0\0\x01\0\x01", 14) + "MTrk" +
                             std::string{'\0', '\0', '\0', static_cast<char>(track.size())} + track;
    TMidiSong song = ReadStandardMidiFile(file);
    ASSERT_EQ(song.Events.size(), 2u);
    EXPECT_EQ(song.Events[0].Micros, TMidiSong::kMaxMicros);  // 134 217 727 half seconds
    EXPECT_EQ(song.Events[1].Micros, TMidiSong::kMaxMicros);
    EXPECT_EQ(song.LengthMicros, TMidiSong::kMaxMicros);
    TMidiSource source(song, "");
    EXPECT_GT(source.LengthFrames(), 0);
}

TEST(SmfReader, DamageIsSurvivedOrRefused)
{
    const std::string good = ReadFixture("song0.mid");
    struct Case {
        const char* what;
        std::string bytes;
        int events;  // -1: refused
    };
    std::string long_track = good;
    long_track.replace(18, 4, std::string("\x7F\xFF\xFF\xFF", 4));  // track length past the file
    std::string long_number = good;
    long_number.replace(22, 5, std::string("\xFF\xFF\xFF\xFF\x7F", 5));  // a 5-byte delta
    std::string no_status = good;
    no_status.replace(22, 3, std::string("\x00\x3C\x64", 3));  // data before any status
    std::string zero_division = good;
    zero_division.replace(12, 2, std::string("\0\0", 2));
    std::string smpte = good;
    smpte.replace(12, 2, std::string("\xE7\x28", 2));  // 25 fps, 40 ticks a frame
    std::string sysex = good.substr(0, 22) + std::string("\x00\xF0\x7F\x01\x02", 5);
    sysex.replace(18, 4, std::string("\0\0\0\x05", 4));
    std::string no_tracks = good.substr(0, 14);
    const Case cases[] = {
        {"track length past the file", long_track, 7},
        {"number over 4 bytes", long_number, 0},
        {"running status without a status", no_status, 0},
        {"division 0", zero_division, -1},
        {"SMPTE division", smpte, 7},
        {"SysEx past its track", sysex, 0},
        {"no tracks", no_tracks, 0},
        {"not MIDI", "RIFF....WAVE", -1},
        {"empty", "", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.events < 0) {
            try {
                ReadStandardMidiFile(c.bytes);
                ADD_FAILURE() << "read";
            } catch (const EMobuError& e) {
                EXPECT_EQ(std::string(e.what()), media_messages::InvalidSoundData());
            }
            continue;
        }
        TMidiSong song = ReadStandardMidiFile(c.bytes);
        EXPECT_EQ(static_cast<int>(song.Events.size()), c.events);
    }
    // SMPTE: 1000 ticks a second, so the third note-on at 960 ticks is at 0.96 s.
    TMidiSong song = ReadStandardMidiFile(smpte);
    EXPECT_EQ(song.Events[5].Micros, 960000);
}

// The 20 ms RMS envelope of a mono signal.
std::vector<double> Envelope(const std::vector<float>& mono, int rate)
{
    size_t window = static_cast<size_t>(rate) / 50;
    std::vector<double> out;
    for (size_t start = 0; start + window <= mono.size(); start += window) {
        double sum = 0;
        for (size_t i = start; i < start + window; ++i) sum += static_cast<double>(mono[i]) * mono[i];
        out.push_back(std::sqrt(sum / static_cast<double>(window)));
    }
    return out;
}

double Correlation(const std::vector<double>& a, const std::vector<double>& b)
{
    size_t n = std::min(a.size(), b.size());
    double ma = 0, mb = 0;
    for (size_t i = 0; i < n; ++i) {
        ma += a[i];
        mb += b[i];
    }
    ma /= static_cast<double>(n);
    mb /= static_cast<double>(n);
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < n; ++i) {
        ab += (a[i] - ma) * (b[i] - mb);
        aa += (a[i] - ma) * (a[i] - ma);
        bb += (b[i] - mb) * (b[i] - mb);
    }
    return ab / std::sqrt(aa * bb);
}

// The first frame whose envelope passes a tenth of the peak after `from`.
size_t Onset(const std::vector<float>& mono, size_t from)
{
    float peak = 0;
    for (float v : mono) peak = std::max(peak, std::abs(v));
    for (size_t i = from; i < mono.size(); ++i) {
        if (std::abs(mono[i]) > peak / 10) return i;
    }
    return mono.size();
}

// FluidSynth's own player rendered the same song with the same font and gain.
TEST(MidiSource, SoundsLikeFluidSynthsPlayer)
{
    if (!std::filesystem::exists(DefaultSoundFont())) GTEST_SKIP() << "no General MIDI sound font";
    TMidiSource source(ReadStandardMidiFile(ReadFixture("song1.mid")), DefaultSoundFont());
    ASSERT_TRUE(source.HasSoundFont());
    EXPECT_EQ(source.LengthFrames(), 3 * 44100);
    std::vector<float> stereo(static_cast<size_t>(source.LengthFrames()) * 2);
    ASSERT_EQ(source.Read(stereo.data(), stereo.size() / 2), stereo.size() / 2);
    std::vector<float> ours(stereo.size() / 2);
    for (size_t i = 0; i < ours.size(); ++i) ours[i] = (stereo[2 * i] + stereo[2 * i + 1]) / 2;

    std::string wave = ReadFixture("song1.fluidsynth.wav");
    ASSERT_FALSE(wave.empty()) << "run tests/data/media/write_smf.py with fluidsynth installed";
    auto oracle_source = OpenRiffWaveSource(wave);
    std::vector<float> oracle(static_cast<size_t>(oracle_source->LengthFrames()));
    oracle_source->Read(oracle.data(), oracle.size());
    oracle.resize(std::min(oracle.size(), ours.size()));
    ours.resize(oracle.size());

    EXPECT_GE(Correlation(Envelope(ours, 44100), Envelope(oracle, 44100)), 0.98);
    // The first note starts within 5 ms of FluidSynth's.
    EXPECT_NEAR(static_cast<double>(Onset(ours, 0)), static_cast<double>(Onset(oracle, 0)), 0.005 * 44100);
}

TEST(MidiSource, SeeksReplayProgramsAndEndEveryNote)
{
    if (!std::filesystem::exists(DefaultSoundFont())) GTEST_SKIP() << "no General MIDI sound font";
    TMidiSong song = ReadStandardMidiFile(ReadFixture("song1.mid"));
    TMidiSource straight(song, DefaultSoundFont());
    std::vector<float> all(3 * 44100 * 2);
    straight.Read(all.data(), 3 * 44100);
    // Seek to 1.9 s: silence after the release of the note that was sounding, and the
    // fourth note at 2.0 s sounds like it did without the seek (same program and volume).
    TMidiSource seeked(song, DefaultSoundFont());
    seeked.Seek(static_cast<int64_t>(1.9 * 44100));
    std::vector<float> rest(static_cast<size_t>(1.1 * 44100) * 2);
    ASSERT_EQ(seeked.Read(rest.data(), rest.size() / 2), rest.size() / 2);
    double ours = 0, reference = 0;
    size_t at = static_cast<size_t>(0.1 * 44100) * 2, ref_at = static_cast<size_t>(2.0 * 44100) * 2;
    for (size_t i = 0; i < 44100; ++i) {
        ours += std::abs(rest[at + i]);
        reference += std::abs(all[ref_at + i]);
    }
    EXPECT_NEAR(ours / reference, 1.0, 0.15);
    float before = 0;
    for (size_t i = 0; i < at - 2000; ++i) before = std::max(before, std::abs(rest[i]));
    EXPECT_LT(before, 0.01f);
}

TEST(MidiManager, EmptyAndNonMidiFilesPlayNothing)
{
    TAudioMixer mixer(44100, 2);
    TMidiManager manager(mixer);
    EXPECT_FALSE(manager.PortNames().empty());
    EXPECT_EQ(manager.PortNames()[0], SysText(u8"MIDIマッパー"));
    testing::internal::CaptureStderr();
    EXPECT_EQ(manager.Add(Utf8ToCp932(FixturePath("game_cdda/CDDA/readme.txt"))), nullptr);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("not a standard MIDI file"), std::string::npos) << said;
    TDMediaItem* song = manager.Add(Utf8ToCp932(FixturePath("song0.mid")));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->GetLength(), 1500);
    TDMediaItem* other = manager.Add(Utf8ToCp932(FixturePath("song2.mid")));
    song->Play();
    other->Play();  // one MIDI item at a time
    EXPECT_FALSE(song->IsPlaying());
    EXPECT_TRUE(other->IsPlaying());
    EXPECT_FALSE(manager.SetPort(99));
    EXPECT_TRUE(manager.SetPort(0));
}

}  // namespace
}  // namespace mobu
