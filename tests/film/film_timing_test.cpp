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
