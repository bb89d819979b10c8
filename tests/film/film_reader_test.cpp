#include <gtest/gtest.h>

#include <string>

#include "core/mobu_error.h"
#include "graphics/film_data.h"
#include "graphics/film_manager.h"
#include "film_fixture.h"

namespace mobu {
namespace {

using testing_film::ReadFixture;

template <class T>
const T& TrackAs(const TFilmData& film, size_t index)
{
    const T* t = dynamic_cast<const T*>(film.Tracks.at(index).get());
    if (!t) throw std::runtime_error("track " + std::to_string(index) + " has another kind");
    return *t;
}

TEST(FilmReader, EveryVersionReadsEveryKindWithItsGates)
{
    for (int v = 100; v <= 109; ++v) {
        SCOPED_TRACE("version " + std::to_string(v));
        const std::string bytes = ReadFixture("versions/v" + std::to_string(v) + ".mmt");
        ASSERT_FALSE(bytes.empty());
        TFilmData film = ReadFilm(bytes);
        EXPECT_EQ(film.Kind, kFilmMotion);
        EXPECT_EQ(film.Version, v);
        EXPECT_EQ(film.ScreenSize, (TFilmPoint{640, 480}));
        EXPECT_EQ(film.BackColor, 0x123456);
        EXPECT_EQ(film.RelativeMotion, v > 101 ? 1 : 0);
        EXPECT_EQ(film.MotionOrigin, (v > 103 ? TFilmPoint{7, 8} : TFilmPoint{}));
        EXPECT_EQ(film.LoopStart, v > 106 ? 12 : v > 105 ? 24 : 0);
        ASSERT_EQ(film.Tracks.size(), 8u);
        const int factor = v <= 106 ? 2 : 1;
        for (int k = 0; k < 8; ++k) EXPECT_EQ(film.Tracks[static_cast<size_t>(k)]->Kind(), k);

        const auto& image = TrackAs<TImageFrameList>(film, 0);
        EXPECT_EQ(image.Length, 30 * factor);
        EXPECT_EQ(image.Unnamed, 77);
        EXPECT_EQ(image.Priority, 5);
        EXPECT_EQ(image.FlipH, 1);
        EXPECT_EQ(image.Source, "pic\\a.fsk");
        EXPECT_EQ(image.Stored.PosEnd, (TFilmPoint{110, 220}));
        EXPECT_EQ(image.Stored.ZoomXEnd, 2.0);
        // Zoom Y: its own values from 105, else a copy of zoom X with its easing.
        EXPECT_EQ(image.Stored.ZoomYEnd, v >= 105 ? 1.5 : 2.0);
        EXPECT_EQ(image.Stored.EaseZoomY, v >= 105 ? 2 : 1);
        EXPECT_EQ(image.Stored.Crop.SizeEnd, (v > 100 ? TFilmPoint{46, 47} : TFilmPoint{}));
        EXPECT_EQ(image.Stored.BEnd, v >= 109 ? 4 : 0);

        const auto& label = TrackAs<TLabelFrameList>(film, 1);
        EXPECT_EQ(label.KindByte, 0x81);
        EXPECT_EQ(label.StartTime, 2 * factor);
        EXPECT_EQ(label.Text, "\x83\x89\x83\x78\x83\x8B");
        EXPECT_EQ(label.FontSize, 24);
        EXPECT_EQ(label.LineSpacing, v >= 103 ? 6 : 1);
        EXPECT_EQ(label.FontStyle, 1);
        EXPECT_EQ(label.Colour, 0x00FF00);
        EXPECT_EQ(label.LastByte, v > 102 ? 9 : 0);

        const auto& box = TrackAs<TBoxFrameList>(film, 2);
        EXPECT_EQ(box.Stored.WEnd, 30);
        EXPECT_EQ(box.Stored.ColorEnd, 0x0A141E);
        EXPECT_EQ(box.Stored.BorderCStart, 0xFFFFFF);
        EXPECT_EQ(box.Stored.Crop.OriginStart, (v > 100 ? TFilmPoint{60, 61} : TFilmPoint{}));
        EXPECT_EQ(box.Stored.AStart, v >= 109 ? 5 : 0);

        const auto& wipe = TrackAs<TWipeFrameList>(film, 3);
        EXPECT_EQ(wipe.TransitionId, 1);
        EXPECT_EQ(wipe.Mask, v > 100 ? "mask.fsk" : "");
        EXPECT_EQ(wipe.Param1, v > 100 ? 22 : 0);
        EXPECT_EQ(wipe.Reverse, v > 100 ? 1 : 0);

        const auto& sound = TrackAs<TSoundFrameList>(film, 4);
        EXPECT_EQ(sound.Source, "se\\hit.ogg");
        // Old files keep volumes in another scale: v / 10 + 1000.
        EXPECT_EQ(sound.Stored.VolumeStart, v <= 107 ? 1050 : 500);
        EXPECT_EQ(sound.Stored.VolumeEnd, v <= 107 ? 900 : -1000);
        EXPECT_EQ(sound.Stored.PanEnd, 30);
        EXPECT_EQ(sound.Stored.EasePan, 1);

        const auto& tile = TrackAs<TTileFrameList>(film, 5);
        EXPECT_EQ(tile.Source, "tile.fsk");
        EXPECT_EQ(tile.Tile.ScrollXEnd, 64);
        EXPECT_EQ(tile.Tile.DistanceY, 3);
        EXPECT_EQ(tile.HasSecondCrop, v >= 101);
        // The second crop block replaces the first in play.
        EXPECT_EQ(tile.Live.Crop.OriginStart, (v >= 101 ? TFilmPoint{80, 81} : TFilmPoint{}));

        const auto& part = TrackAs<TParticleFrameList>(film, 6);
        EXPECT_EQ(part.Source, "star.fsk");
        EXPECT_EQ(part.Stored.Motion, 2);
        EXPECT_EQ(part.Stored.WarmUp, 15);
        EXPECT_EQ(part.Stored.ParamEnd[2], 5.5);
        EXPECT_EQ(part.Stored.AlphaEnd, 100);

        const auto& fire = TrackAs<TFireFrameList>(film, 7);
        EXPECT_EQ(fire.Stored.WEnd, 170);
        EXPECT_EQ(fire.Stored.ZoomYEnd, 3.0);
        EXPECT_EQ(fire.Stored.Power, 90);
    }
}

TEST(FilmReader, TimesAreDoubledUpTo106Only)
{
    TFilmData v106 = ReadFilm(ReadFixture("v106_times.mmt"));
    TFilmData v107 = ReadFilm(ReadFixture("v107_times.mmt"));
    EXPECT_EQ(v106.Tracks[0]->Length, 20);
    EXPECT_EQ(v106.Tracks[0]->StartTime, 6);
    EXPECT_EQ(v106.LoopStart, 24);
    EXPECT_EQ(v106.TotalLength, 26);
    EXPECT_EQ(v107.Tracks[0]->Length, 10);
    EXPECT_EQ(v107.Tracks[0]->StartTime, 3);
    EXPECT_EQ(v107.LoopStart, 12);
    EXPECT_EQ(v107.TotalLength, 13);
}

TEST(FilmReader, RefusesDamagedFilesAndIgnoresOtherFiles)
{
    // Not a film: an empty film, no error.
    for (const char* name : {"unknown_magic.mmt"}) {
        TFilmData film = ReadFilm(ReadFixture(name));
        EXPECT_EQ(film.Kind, -1) << name;
        EXPECT_TRUE(film.Tracks.empty());
        EXPECT_EQ(film.TotalLength, 0);
    }
    EXPECT_EQ(ReadFilm("").Kind, -1);
    // A film that cannot be read whole is refused with the reason.
    for (const char* name : {"truncated.mmt", "unknown_kind.mmt", "bad_version.mmt", "future_version.mmt",
                             "huge_count.mmt", "huge_string.mmt"}) {
        SCOPED_TRACE(name);
        std::string reason;
        EXPECT_THROW(ReadFilm(ReadFixture(name), &reason), EMobuError);
        EXPECT_FALSE(reason.empty());
    }
    std::string reason;
    EXPECT_THROW(ReadFilm(ReadFixture("unknown_kind.mmt"), &reason), EMobuError);
    EXPECT_NE(reason.find("unknown kind 9"), std::string::npos) << reason;
}

TEST(FilmReader, ParentLinksNeverLoop)
{
    TFilmData film = ReadFilm(ReadFixture("cycle.mmt"));
    ASSERT_EQ(film.Tracks.size(), 3u);
    EXPECT_EQ(film.Tracks[0]->Parent, nullptr);  // its own parent: dropped
    // 1 -> 2 is kept (2 is not linked yet); 2 -> 1 would close the cycle and is dropped.
    EXPECT_EQ(film.Tracks[1]->Parent, film.Tracks[2].get());
    EXPECT_EQ(film.Tracks[2]->Parent, nullptr);
    EXPECT_EQ(film.Tracks[2]->EffectiveStart, 0);
    EXPECT_EQ(film.Tracks[1]->EffectiveStart, 7);
    EXPECT_EQ(film.TotalLength, 12);
}

TEST(FilmReader, FollowerStartsWhereItsParentEndsWithItsEndValues)
{
    TFilmData read = ReadFilm(ReadFixture("follower.mmt"));
    auto film = std::make_shared<TFilmData>(std::move(read));
    TFilmManager manager(film);
    const auto& first = TrackAs<TBoxFrameList>(*film, 0);
    const auto& second = TrackAs<TBoxFrameList>(*film, 1);
    EXPECT_EQ(second.EffectiveStart, 11);
    EXPECT_TRUE(first.Followed);
    EXPECT_EQ(manager.TotalLength(), 16);
    TBoxTrackState end_of_first = manager.BoxAt(first, 10);
    TBoxTrackState start_of_second = manager.BoxAt(second, 11);
    EXPECT_FALSE(manager.BoxAt(first, 11).Active);
    ASSERT_TRUE(start_of_second.Active);
    // The followed track counts 12 steps: at its last unit it is one step short of its end.
    EXPECT_EQ(end_of_first.X, 100 * 10 / 11);
    EXPECT_EQ(start_of_second.X, 100);
    EXPECT_EQ(start_of_second.Y, 50);
    EXPECT_EQ(start_of_second.Width, 30);
    EXPECT_EQ(start_of_second.Color, 0x0A141E);
    TBoxTrackState last = manager.BoxAt(second, 15);
    EXPECT_EQ(last.X, 200);
    EXPECT_EQ(last.Width, 50);
    EXPECT_EQ(last.Color, 0x1E140A);
}

TEST(FilmReader, EmptyFilmsHaveLengthZero)
{
    for (const char* name : {"no_tracks.mmt", "empty_track.mmt", "unknown_magic.mmt"}) {
        TFilmData film = ReadFilm(ReadFixture(name));
        EXPECT_EQ(film.TotalLength, 0) << name;
        EXPECT_EQ(film.LiveLoopStart, 0) << name;
    }
}

TEST(FilmReader, NamesAreRelativeToTheFilmFolder)
{
    EXPECT_EQ(FilmFolder("cg\\star.mmt"), "cg\\");
    EXPECT_EQ(FilmFolder("star.mmt"), "");
    // 0x95 0x5C is one double-byte character, not a delimiter.
    EXPECT_EQ(FilmFolder("a\\\x95\x5C.mmt"), "a\\");
    EXPECT_EQ(ResolveFilmName("cg\\", "star.fsk"), "cg\\star.fsk");
    EXPECT_EQ(ResolveFilmName("cg\\", "\\bg\\sky.fsk"), "\\bg\\sky.fsk");
    EXPECT_EQ(ResolveFilmName("cg\\", "c:\\sky.fsk"), "c:\\sky.fsk");
    EXPECT_EQ(ResolveFilmName("cg\\", ""), "");
}

}  // namespace
}  // namespace mobu
