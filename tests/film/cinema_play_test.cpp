// Films played as cinemas: components made on first activation and hidden outside their
// range, a transition track running a fade between the two bases, a sound track's
// component, and a film that plays into the game's list never resizing it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "../images/image_fixture.h"
#include "components/film_cinema.h"
#include "components/mobu_base.h"
#include "components/mobu_box.h"
#include "components/mobu_fire.h"
#include "components/mobu_image.h"
#include "components/mobu_particle.h"
#include "film_fixture.h"

namespace mobu {
namespace {

class CinemaPlay : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("mobu_cinema_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(folder_ / "mv");
        std::filesystem::copy_file(testing_film::FilmDir() + "versions/v109.mmt", folder_ / "mv" / "kinds.mmt",
                                   std::filesystem::copy_options::overwrite_existing);
        for (const char* name : {"cinema.mmt", "direct.mmt", "label_cinema.mmt"})
            std::filesystem::copy_file(testing_film::FilmDir() + name, folder_ / "mv" / name,
                                       std::filesystem::copy_options::overwrite_existing);
        std::ofstream(folder_ / "mv" / "dot.fsk", std::ios::binary) << testing_images::Picture(2, 4, 3, 5);
        ResetVrFileManager();
        VrFileManager().SetBaseFolder(folder_.string());
        game_.SetSize(640, 480);
        own_.SetSize(64, 48);
    }
    void TearDown() override
    {
        own_.Reset();
        game_.Reset();
        ResetVrFileManager();
        std::filesystem::remove_all(folder_);
    }
    std::filesystem::path folder_;
    TMobuBaseList game_, own_;
};

// The particle track's ranges reach the emitter; the fire track drives a real fire.
TEST_F(CinemaPlay, ParticleAndFireTracksDriveTheirComponents)
{
    TFilmCinema cinema;
    ASSERT_TRUE(cinema.Load("mv\\kinds.mmt", 1000));
    cinema.Start(own_);
    cinema.SetTime(0);
    auto* emitter = dynamic_cast<TMobuParticle*>(cinema.ComponentOf(6));
    ASSERT_NE(emitter, nullptr);
    ASSERT_TRUE(emitter->Ranges.has_value());
    EXPECT_EQ(emitter->Ranges->XBase, 1);
    EXPECT_EQ(emitter->Ranges->DelayBase, 95);
    EXPECT_EQ(emitter->Ranges->DelayRange, 10);
    cinema.SetTime(29);
    auto* fire = dynamic_cast<TMobuFire*>(cinema.ComponentOf(7));
    ASSERT_NE(fire, nullptr);
    EXPECT_EQ(fire->Power(), 90);
    EXPECT_EQ(fire->OrigWidth(), 170);
    EXPECT_EQ(fire->Width, 170 * 512 / 256);
}

// A sound component that records how the film plays it.
class TRecordingSound : public TMobuComponent {
public:
    explicit TRecordingSound(TMobuBaseList* owner, std::vector<int>& modes) : TMobuComponent(owner, LT_SOUND), modes_(modes) {}
    void SetPlayMode(int mode) override { modes_.push_back(mode); }

private:
    std::vector<int>& modes_;
};

TEST_F(CinemaPlay, SoundTracksStartAndStopTheirSounds)
{
    // The sound track of the every-kind film runs from unit 0 for 40 units: entering its
    // range starts the sound once, a time earlier than the last stops it first, and leaving
    // the range stops it.
    std::vector<int> modes;
    TMobuBaseList::SetFactory([&modes](TMobuBaseList& owner, int type) -> TMobuObject* {
        if (type == LT_SOUND) return new TRecordingSound(&owner, modes);
        return new TMobuControl(&owner, type);
    });
    struct TRestoreFactory {
        ~TRestoreFactory() { TMobuBaseList::SetFactory(nullptr); }
    } restore;
    TFilmCinema cinema;
    ASSERT_TRUE(cinema.Load("mv\\kinds.mmt", 1000));
    cinema.Start(own_);
    cinema.SetTime(0);
    cinema.SetTime(10);
    EXPECT_EQ(modes, (std::vector<int>{LP_PLAY}));
    cinema.SetTime(5);
    EXPECT_EQ(modes, (std::vector<int>{LP_PLAY, LP_STOP, LP_PLAY}));
    // The film's last unit lies outside every track's active range.
    ASSERT_EQ(cinema.TotalLength(), 40);
    cinema.SetTime(39);
    EXPECT_EQ(modes, (std::vector<int>{LP_PLAY, LP_STOP, LP_PLAY, LP_STOP}));
    cinema.SetTime(39);
    EXPECT_EQ(modes.size(), 4u);  // a stopped sound is not stopped again
    cinema.Clear();
}

TEST_F(CinemaPlay, APrivateCinemaMakesItsComponentsAndFades)
{
    TFilmCinema cinema;
    ASSERT_TRUE(cinema.Load("mv\\cinema.mmt", 1000));
    EXPECT_TRUE(cinema.PlaysPrivately());
    EXPECT_EQ(cinema.TotalLength(), 30);
    cinema.Start(own_);
    EXPECT_EQ(own_.ScreenWidth(), 320);
    EXPECT_EQ(own_.ScreenHeight(), 240);

    EXPECT_EQ(cinema.ComponentOf(0), nullptr);
    cinema.SetTime(0);
    TMobuObject* box = cinema.ComponentOf(0);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetCompoType(), LT_BOX);
    EXPECT_EQ(box->Name(), "\x01" "film0");
    EXPECT_EQ(box->AsControl()->Parent(), own_.ActiveBase());
    EXPECT_TRUE(box->AsControl()->GetVisible());
    // The picture track shows its picture's first frame, trimmed and placed.
    auto* picture = dynamic_cast<TMobuImages*>(cinema.ComponentOf(1));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Index(), 0);
    EXPECT_EQ(picture->Priority(), 2);
    // The sound track has its component.
    ASSERT_NE(cinema.ComponentOf(3), nullptr);
    EXPECT_EQ(cinema.ComponentOf(3)->GetCompoType(), LT_SOUND);

    cinema.SetTime(5);
    EXPECT_EQ(box->AsControl()->Left, 5 * 190 / 19);
    EXPECT_EQ(picture->Index(), 1);
    EXPECT_FALSE(own_.TransitionRunning());
    const int first = own_.ActiveIndex();

    // Mid-fade: the transition runs with the track's length and elapsed time.
    cinema.SetTime(15);
    EXPECT_TRUE(own_.TransitionRunning());
    EXPECT_EQ(own_.TransitionType(), 1);
    EXPECT_EQ(own_.TransitionDuration(), 10);
    EXPECT_EQ(own_.ActiveIndex(), first);
    // Its last unit ends it: the other base now receives the picture.
    cinema.SetTime(19);
    EXPECT_FALSE(own_.TransitionRunning());
    EXPECT_EQ(own_.ActiveIndex(), first ^ 1);

    // Past its range the box is hidden, not freed.
    cinema.SetTime(25);
    EXPECT_EQ(cinema.ComponentOf(0), box);
    EXPECT_FALSE(box->AsControl()->GetVisible());
    // Back in time before the fade: the first base again.
    cinema.SetTime(2);
    EXPECT_EQ(own_.ActiveIndex(), first);

    cinema.Clear();
    EXPECT_TRUE(own_.IsDoomed(box));
    EXPECT_EQ(cinema.TotalLength(), 0);
}

TEST_F(CinemaPlay, ADirectCinemaLeavesTheGameScreenAlone)
{
    TFilmCinema cinema;
    ASSERT_TRUE(cinema.Load("mv\\direct.mmt", 1000));
    EXPECT_FALSE(cinema.PlaysPrivately());
    cinema.Start(game_);
    EXPECT_EQ(game_.ScreenWidth(), 640);
    EXPECT_EQ(game_.ScreenHeight(), 480);
    cinema.SetTime(3);
    TMobuObject* box = cinema.ComponentOf(0);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->AsControl()->Parent(), game_.ActiveBase());
    // Scripts do not find the film's components by name.
    EXPECT_EQ(game_.FindComponent("film0"), nullptr);
    EXPECT_FALSE(cinema.Load("mv\\missing.mmt", 1000));
}

TEST_F(CinemaPlay, ALabelTrackShowsItsTextAsAFilmImage)
{
    TFilmCinema cinema;
    ASSERT_TRUE(cinema.Load("mv\\label_cinema.mmt", 1000));
    cinema.Start(game_);
    cinema.SetTime(0);
    auto* image = dynamic_cast<TMobuImage*>(cinema.ComponentOf(0));
    ASSERT_NE(image, nullptr);
    // Two lines of 16 with 4 between them; as wide as "AB" in the default face.
    EXPECT_EQ(image->OwnSurface.Height(), 2 * 16 + 4);
    EXPECT_GT(image->OwnSurface.Width(), 0);
    EXPECT_LE(image->OwnSurface.Width(), 64);
    ASSERT_NE(image->OwnMask, nullptr);
    int covered = 0;
    for (int y = 0; y < image->OwnMask->Height(); ++y)
        for (int x = 0; x < image->OwnMask->Width(); ++x) covered += image->OwnMask->GetPixel(x, y) > 0;
    EXPECT_GT(covered, 10);
    EXPECT_EQ(image->Height, 36);
    EXPECT_EQ(image->Priority(), 1);
    cinema.SetTime(20);
    EXPECT_FALSE(image->GetVisible());
}

TEST(CinemaFilmFactory, DefaultsToTheFilmPlayer)
{
    EXPECT_NE(dynamic_cast<TFilmCinema*>(MakeCinemaFilm().get()), nullptr);
}

}  // namespace
}  // namespace mobu
