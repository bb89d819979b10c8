#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>

#include "graphics/film_easing.h"
#include "graphics/film_manager.h"
#include "film_fixture.h"

namespace mobu {
namespace {

// Every row of the table computed by make_films.py with Python's math.sin and round.
TEST(FilmEasing, MatchesTheTableFromPython)
{
    std::istringstream table(testing_film::ReadFixture("easing.txt"));
    int64_t b, e, c, d, value;
    int mode, rows = 0;
    while (table >> b >> e >> c >> d >> mode >> value) {
        EXPECT_EQ(EaseValue(b, e, d, c, mode), value) << b << " " << e << " c=" << c << " d=" << d << " mode=" << mode;
        ++rows;
    }
    EXPECT_GT(rows, 500);
}

TEST(FilmEasing, LinearOverElevenStepsGoesByTens)
{
    for (int d = 0; d <= 10; ++d) EXPECT_EQ(EaseValue(0, 100, d, 11, 0), d * 10);
}

TEST(FilmEasing, OneStepHoldsTheStartAndNothingOverflows)
{
    EXPECT_EQ(EaseValue(5, 500, 0, 1, 0), 5);
    EXPECT_EQ(EaseValue(5, 500, 3, 1, 1), 5);
    const int32_t lo = std::numeric_limits<int32_t>::min(), hi = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(EaseValue(lo, hi, 1, 3, 0), -1);  // lo + trunc(4294967295 / 2)
    EXPECT_EQ(EaseValue(lo, hi, 2000000000, 2147483647, 0), ClampToInt32(int64_t{lo} + int64_t{2000000000} * (int64_t{hi} - lo) / 2147483646));
}

TEST(FilmEasing, ZoomAndAngleConversions)
{
    EXPECT_EQ(ZoomToFixed(1.0), 256);
    EXPECT_EQ(ZoomToFixed(0.999), 255);
    EXPECT_EQ(ZoomToFixed(std::nan("")), 256);
    EXPECT_EQ(ZoomToFixed(1e300), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ZoomToFixed(-INFINITY), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(DegreesToTurn(0), 0);
    EXPECT_EQ(DegreesToTurn(90), 64);
    EXPECT_EQ(DegreesToTurn(360), 0);
    EXPECT_EQ(DegreesToTurn(-90), 192);
    EXPECT_EQ(DegreesToTurn(45), 32);
    EXPECT_EQ(DegreesToTurn(1), 1);     // 0.711 rounds up
    EXPECT_EQ(DegreesToTurn(-1), 255);
}

TEST(FilmTiming, FramesFollowTheirDurationsAndTheLoop)
{
    TImageFrameList track;
    track.StartTime = 10;
    track.EffectiveStart = 10;
    track.Length = 100;
    for (int32_t duration : {3, 2, 5}) track.Frames.push_back(TCustomFrame{duration});
    struct {
        int32_t loop, t, frame;
    } cases[] = {
        {0, 10, 0}, {0, 50, 0},                         // no loop length: the first frame always
        {10, 10, 0}, {10, 12, 0}, {10, 13, 1}, {10, 14, 1}, {10, 15, 2}, {10, 19, 2},
        {10, 20, 0}, {10, 23, 1},                       // the loop starts again
        {20, 29, 2},                                    // past the last frame the last one stays
    };
    for (const auto& c : cases) {
        track.LoopLength = c.loop;
        EXPECT_EQ(TFilmManager::FrameAt(track, c.t), c.frame) << "loop " << c.loop << " t " << c.t;
    }
    track.Frames.clear();
    EXPECT_EQ(TFilmManager::FrameAt(track, 12), -1);
}

TEST(FilmTiming, ActiveRange)
{
    TBoxFrameList track;
    track.EffectiveStart = 5;
    track.Length = 3;
    EXPECT_FALSE(TFilmManager::IsActive(track, 4));
    EXPECT_TRUE(TFilmManager::IsActive(track, 5));
    EXPECT_TRUE(TFilmManager::IsActive(track, 7));
    EXPECT_FALSE(TFilmManager::IsActive(track, 8));
    track.Length = -4;  // a negative length counts as 0
    EXPECT_FALSE(TFilmManager::IsActive(track, 5));
}

}  // namespace
}  // namespace mobu

namespace mobu {
namespace {

// Sound, transition and particle tracks of the every-kind fixture (version 109): the sound
// runs 40 units, the film 40 too, so the sound stops one unit early.
TEST(FilmTracks, SoundVolumePanAndSeek)
{
    auto film = std::make_shared<TFilmData>(ReadFilm(testing_film::ReadFixture("versions/v109.mmt")));
    TFilmManager manager(film);
    const auto& sound = static_cast<const TSoundFrameList&>(manager.Track(4));
    ASSERT_EQ(manager.TotalLength(), 40);
    TSoundTrackState s = manager.SoundAt(sound, 0);
    ASSERT_TRUE(s.Active);
    EXPECT_EQ(s.Volume, 500);
    EXPECT_EQ(s.Pan, -30);
    manager.Volume = 500;  // the master volume scales the track's
    s = manager.SoundAt(sound, 20);
    EXPECT_EQ(s.Volume, EaseValue(500, -1000, 20, 40, 0) * 500 / 1000);
    EXPECT_EQ(s.Pan, EaseValue(-30, 30, 20, 40, 1));
    EXPECT_EQ(s.SeekMs, 20 * 1000 / 60);
    EXPECT_TRUE(manager.SoundAt(sound, 38).Active);
    EXPECT_FALSE(manager.SoundAt(sound, 39).Active);  // up to TotalLength - 1
}

TEST(FilmTracks, TransitionsAlternateTheReceivingBase)
{
    auto film = std::make_shared<TFilmData>(ReadFilm(testing_film::ReadFixture("versions/v109.mmt")));
    TFilmManager manager(film);
    const auto& wipe = static_cast<const TWipeFrameList&>(manager.Track(3));  // units 4 .. 23
    manager.UpdateWipes(3);
    EXPECT_EQ(manager.CurrentWipe, -1);
    EXPECT_EQ(manager.EndedWipes, 0);
    manager.UpdateWipes(10);
    EXPECT_EQ(manager.CurrentWipe, 3);
    EXPECT_EQ(manager.WipeAt(wipe, 10).Elapsed, 6);
    manager.UpdateWipes(23);  // its last unit ends it
    EXPECT_EQ(manager.EndedWipes, 1);
    manager.UpdateWipes(24);
    EXPECT_EQ(manager.CurrentWipe, -1);
}

TEST(FilmTracks, ParticleRangesAndFireZoom)
{
    auto film = std::make_shared<TFilmData>(ReadFilm(testing_film::ReadFixture("versions/v109.mmt")));
    TFilmManager manager(film);
    TParticleTrackState p = manager.ParticleAt(static_cast<const TParticleFrameList&>(manager.Track(6)), 0);
    ASSERT_TRUE(p.Active);
    EXPECT_EQ(p.Interval, 100);
    EXPECT_EQ(p.Spread, 10);
    EXPECT_EQ(p.DelayBase, 100 - 10 / 2);
    EXPECT_EQ(p.DelayRange, 10);
    EXPECT_EQ(p.XBase, 1);
    EXPECT_EQ(p.Params[2], 2.5);
    p = manager.ParticleAt(static_cast<const TParticleFrameList&>(manager.Track(6)), 29);
    EXPECT_EQ(p.Params[2], 5.5);
    EXPECT_EQ(p.Interval, 50);
    TFireTrackState f = manager.FireAt(static_cast<const TFireFrameList&>(manager.Track(7)), 29);
    ASSERT_TRUE(f.Active);
    EXPECT_EQ(f.ZoomX, 512);
    EXPECT_EQ(f.ZoomY, 768);
    EXPECT_EQ(f.Width, 170);
    EXPECT_EQ(f.Power, 90);
}

}  // namespace
}  // namespace mobu
