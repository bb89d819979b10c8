// Films attached to components, played frame by frame with the virtual clock: each frame's
// place, size and colour against the easing formula, the two startup ticks, repeating
// with a loop start, re-anchoring of relative films, PR_INDEX and PR_COUNT, and one parse
// per film file.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "../images/image_fixture.h"
#include "components/film_files.h"
#include "components/mobu_box.h"
#include "components/mobu_image.h"
#include "graphics/film_easing.h"
#include "graphics/film_data.h"
#include "graphics/film_source.h"
#include "film_fixture.h"

namespace mobu {
namespace {

using testing_images::Picture;

class MotionPlay : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("mobu_film_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(folder_ / "cg");
        for (const char* name : {"walk.mmt", "relative_walk.mmt", "picture_walk.mmt", "truncated.mmt", "cycle.mmt"})
            std::filesystem::copy_file(testing_film::FilmDir() + name, folder_ / "cg" / name,
                                       std::filesystem::copy_options::overwrite_existing);
        // Two frames of 5 ms each: the picture track's frames take turns every 5 units.
        std::ofstream(folder_ / "cg" / "dot.fsk", std::ios::binary) << Picture(2, 4, 3, 5);
        ResetVrFileManager();
        VrFileManager().SetBaseFolder(folder_.string());
        list_.SetSize(640, 480);
        FrameDeltaMs = 50;
    }
    void TearDown() override
    {
        list_.Reset();
        ResetVrFileManager();
        FrameDeltaMs = 0;
        std::filesystem::remove_all(folder_);
    }
    TMobuControl* NewBox(const char* name, const char* source)
    {
        TMobuControl* box = list_.CreateComponent(LT_BOX)->AsControl();
        box->SetName(name);
        box->SetProp(PR_SOURCE, TPropValue::Text(source));
        return box;
    }
    // The film frame after `ticks` updates of 50 ms: the first two ticks stand still.
    static int32_t FrameAfter(int ticks) { return ticks <= 2 ? 0 : static_cast<int32_t>(std::nearbyint((ticks - 2) * 50 / 16.666666666666668)); }

    std::filesystem::path folder_;
    TMobuBaseList list_;
};

TEST_F(MotionPlay, ABoxFollowsItsFilmFrameByFrame)
{
    TMobuControl* box = NewBox("walker", "cg\\walk.mmt");
    ASSERT_TRUE(box->Motion);
    EXPECT_EQ(box->GetProp(PR_COUNT).AsInt(), 0);  // a box has no frame count of its own
    for (int tick = 1; tick <= 20; ++tick) {
        SCOPED_TRACE("tick " + std::to_string(tick));
        list_.UpdatePass();
        const int32_t f = FrameAfter(tick);
        ASSERT_LT(f, 60);
        EXPECT_EQ(box->Motion->CurrentFrame, f);
        // 60 units from (0, 0) to (590, 295), 10 x 10 to 70 x 40, red to blue, linear.
        EXPECT_EQ(box->MotionX, f * 590 / 59);
        EXPECT_EQ(box->MotionY, f * 295 / 59);
        EXPECT_EQ(box->Width, 10 + f * 60 / 59);
        EXPECT_EQ(box->Height, 10 + f * 30 / 59);
        const int32_t red = 0xFF - f * 0xFF / 59, blue = f * 0xFF / 59;
        EXPECT_EQ(box->Color, red | blue << 16);
        list_.DrawPass();
        list_.ClearDirty();
        // The frame shows the box's colour at its new place.
        TDIBX& frame = list_.FrameSurface();
        EXPECT_EQ(frame.GetPixel(box->MotionX + 2, box->MotionY + 2), static_cast<uint32_t>(frame.ColorToPixel(box->Color)));
    }
    // Without repeat the film stops on its last frame and posts its end once.
    box->SetProp(PR_ONPLAYEND, TPropValue::Text("page:end"));
    for (int tick = 21; tick <= 30; ++tick) list_.UpdatePass();
    EXPECT_TRUE(box->Motion->Finished);
    EXPECT_EQ(box->MotionX, 590);
    EXPECT_EQ(box->Color, 0xFF0000);
    EXPECT_EQ(list_.Events().Count(), 1);
}

TEST_F(MotionPlay, ACroppedTrackClipsItsComponent)
{
    // The walk film's box track with a crop of 20 x 10 at (2, 3) growing to 40 x 30 at (4, 5):
    // the box takes the crop as its clip rectangle. A crop of size 0 shows the whole frame.
    std::ifstream walk(folder_ / "cg" / "walk.mmt", std::ios::binary);
    std::string source = PrintFilmSource(ReadFilm(std::string(std::istreambuf_iterator<char>(walk), {})));
    auto set = [&](const std::string& key, const std::string& value) {
        const size_t at = source.find(key + " = ");
        ASSERT_NE(at, std::string::npos) << key;
        source.replace(at, source.find('\n', at) - at, key + " = " + value);
    };
    set("crop_origin_start", "2, 3");
    set("crop_size_start", "20, 10");
    set("crop_origin_end", "4, 5");
    set("crop_size_end", "40, 30");
    TFilmData film = ReadFilmSource(source);
    std::ofstream(folder_ / "cg" / "crop.mmt", std::ios::binary) << WriteFilm(film);
    TMobuControl* box = NewBox("cropped", "cg\\crop.mmt");
    ASSERT_TRUE(box->Motion);
    list_.UpdatePass();
    EXPECT_EQ(box->GetProp(PR_CLIPLEFT).AsInt(), 2);
    EXPECT_EQ(box->GetProp(PR_CLIPTOP).AsInt(), 3);
    EXPECT_EQ(box->GetProp(PR_CLIPWIDTH).AsInt(), 20);
    EXPECT_EQ(box->GetProp(PR_CLIPHEIGHT).AsInt(), 10);
    for (int tick = 0; tick < 30; ++tick) list_.UpdatePass();
    EXPECT_EQ(box->GetProp(PR_CLIPLEFT).AsInt(), 4);
    EXPECT_EQ(box->GetProp(PR_CLIPWIDTH).AsInt(), 40);
    EXPECT_EQ(box->GetProp(PR_CLIPHEIGHT).AsInt(), 30);

    // The uncropped walk leaves no clip.
    TMobuControl* whole = NewBox("whole", "cg\\walk.mmt");
    whole->SetProp(PR_CLIPWIDTH, TPropValue::Int(5));
    list_.UpdatePass();
    EXPECT_EQ(whole->GetProp(PR_CLIPWIDTH).AsInt(), 0);
}

TEST_F(MotionPlay, ARepeatingFilmWrapsToItsLoopStart)
{
    TMobuControl* box = NewBox("walker", "cg\\walk.mmt");
    box->SetProp(PR_REPEAT, TPropValue::Flag(true));
    // 21 ticks: 19 x 50 ms = 950 ms = frame 57; then 1000 ms = 60 -> 60 mod 60 + 20.
    for (int tick = 1; tick <= 21; ++tick) list_.UpdatePass();
    EXPECT_EQ(box->Motion->CurrentFrame, 57);
    list_.UpdatePass();
    EXPECT_EQ(box->Motion->CurrentFrame, 20);
    EXPECT_EQ(box->MotionX, 20 * 590 / 59);
    list_.UpdatePass();
    EXPECT_EQ(box->Motion->CurrentFrame, 23);
    EXPECT_FALSE(box->Motion->Finished);
}

TEST_F(MotionPlay, ARelativeFilmFollowsTheControlWhenTheScriptMovesIt)
{
    TMobuControl* box = NewBox("walker", "cg\\relative_walk.mmt");
    box->SetLeft(10);
    box->SetTop(5);
    box->RestartMotion();
    for (int tick = 1; tick <= 4; ++tick) list_.UpdatePass();
    int32_t f = FrameAfter(4);  // 6
    EXPECT_EQ(box->MotionX, 10 + f * 290 / 29);
    EXPECT_EQ(box->MotionY, 5);
    box->SetLeft(200);
    box->SetTop(100);
    list_.UpdatePass();
    f = FrameAfter(5);
    EXPECT_EQ(box->MotionX, 200 + f * 290 / 29);
    EXPECT_EQ(box->MotionY, 100);
}

TEST_F(MotionPlay, APictureFilmSetsFrameZoomAngleAlphaAndPriority)
{
    auto* image = static_cast<TMobuImages*>(list_.CreateComponent(LT_IMAGES));
    image->SetName("pic");
    image->SetPriority(10);
    image->SetProp(PR_SOURCE, TPropValue::Text("cg\\picture_walk.mmt"));
    ASSERT_TRUE(image->Motion);
    // The film's first frame is shown at once. Frames are trimmed: the picture's transparent
    // column 0 goes, and the base position (2, 3) takes off that offset.
    EXPECT_EQ(image->Index(), 0);
    EXPECT_EQ(image->MotionX, 1);
    EXPECT_EQ(image->MotionY, 3);
    EXPECT_EQ(image->GetProp(PR_COUNT).AsInt(), 30);
    EXPECT_EQ(image->PriorityOffset(), 4);
    EXPECT_EQ(image->SortPriority(), 14);
    EXPECT_TRUE(image->GetProp(PR_FLIPH).AsFlag());
    for (int tick = 1; tick <= 10; ++tick) {
        SCOPED_TRACE("tick " + std::to_string(tick));
        list_.UpdatePass();
        const int32_t f = FrameAfter(tick);
        if (f >= 30) break;
        EXPECT_EQ(image->Index(), (f % 10) / 5);  // frames of 5 units, a loop of 10
        EXPECT_EQ(image->MotionX, 1 + EaseValue(0, 58, f, 30, 0));
        EXPECT_EQ(image->MotionY, 3 + EaseValue(0, 29, f, 30, 2));
        EXPECT_EQ(image->ZoomXValue, EaseValue(256, 512, f, 30, 1));
        EXPECT_EQ(image->ZoomYValue, EaseValue(256, 128, f, 30, 2));
        EXPECT_EQ(image->Angle, DegreesToTurn(EaseValue(0, -90, f, 30, 0)));
        EXPECT_EQ(image->Alpha, EaseValue(255, 55, f, 30, 0));
        EXPECT_EQ(image->Width, 3 * image->ZoomXValue / 256);
    }
    // PR_INDEX jumps the film; the startup is over, so the time runs on from there.
    image->SetProp(PR_INDEX, TPropValue::Int(12));
    EXPECT_EQ(image->Motion->ElapsedMs, 200);
    list_.UpdatePass();
    EXPECT_EQ(image->GetProp(PR_INDEX).AsInt(), 15);
    EXPECT_EQ(image->MotionX, 1 + EaseValue(0, 58, 15, 30, 0));
}

TEST_F(MotionPlay, AFilmFileIsParsedOncePerName)
{
    const int before = FilmsParsed();
    std::vector<TMobuControl*> boxes;
    for (int i = 0; i < 50; ++i) boxes.push_back(NewBox(("b" + std::to_string(i)).c_str(), "cg\\walk.mmt"));
    EXPECT_EQ(FilmsParsed(), before + 1);
    for (int tick = 1; tick <= 5; ++tick) list_.UpdatePass();
    for (TMobuControl* box : boxes) EXPECT_EQ(box->MotionX, FrameAfter(5) * 590 / 59);
    // Each player keeps its own time.
    boxes[0]->RestartMotion();
    list_.UpdatePass();
    EXPECT_EQ(boxes[0]->Motion->CurrentFrame, 0);
    EXPECT_EQ(boxes[1]->Motion->CurrentFrame, FrameAfter(6));
}

TEST_F(MotionPlay, DamagedOrMissingFilmsEndAtOnce)
{
    // A damaged film is an empty film: its player ends on the first tick.
    TMobuControl* box = NewBox("broken", "cg\\truncated.mmt");
    ASSERT_TRUE(box->Motion);
    EXPECT_EQ(box->Motion->Film().FrameCount(), 0);
    box->SetProp(PR_REPEAT, TPropValue::Flag(true));
    box->SetProp(PR_ONPLAYEND, TPropValue::Text("page:end"));
    list_.UpdatePass();
    EXPECT_TRUE(box->Motion->Finished);
    EXPECT_EQ(list_.Events().Count(), 1);
    // A missing one attaches nothing.
    TMobuControl* other = NewBox("missing", "cg\\nothing.mmt");
    EXPECT_FALSE(other->Motion);
    // Parent links that would loop are dropped: the film plays.
    TMobuControl* cyc = NewBox("cycle", "cg\\cycle.mmt");
    ASSERT_TRUE(cyc->Motion);
    EXPECT_EQ(cyc->Motion->Film().FrameCount(), 12);
}

}  // namespace
}  // namespace mobu
