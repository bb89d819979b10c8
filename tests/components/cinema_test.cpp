// The cinema component over a fake film: the frame clock turned into film units (60 to the
// second, the two seek ticks at the start), the end with and without repeat and the loop
// start, a film of length 0, PR_INDEX, PR_COUNT, PR_VOLUME, pause, a private film drawn at
// the cinema's place, and the saved form.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "archive/vr_file_manager.h"
#include "core/globals.h"
#include "components/mobu_base_list.h"
#include "components/mobu_box.h"
#include "components/mobu_cinema.h"

namespace mobu {
namespace {

struct TFakeState {
    int32_t length = 10;
    int32_t loop = 3;
    bool privately = false;
    int32_t colour = -1;
    std::vector<int32_t> set_times;
    int32_t time = -1;
    bool playing = false;
    int32_t volume = -1;
    int clears = 0;
    TMobuBaseList* started = nullptr;
};

class TFakeFilm : public TCinemaFilm {
public:
    explicit TFakeFilm(TFakeState& state) : s_(state) {}
    bool Load(const std::string&, int32_t volume) override
    {
        s_.volume = volume;
        return true;
    }
    int32_t TotalLength() const override { return s_.length; }
    int32_t LoopStart() const override { return s_.loop; }
    int32_t ScreenWidth() const override { return 40; }
    int32_t ScreenHeight() const override { return 30; }
    int32_t BackColor() const override { return s_.colour; }
    bool PlaysPrivately() const override { return s_.privately; }
    void Start(TMobuBaseList& list) override
    {
        s_.started = &list;
        if (!s_.privately) return;
        list.SetSize(40, 30);
        // A red box at (10, 5) on the private screen.
        TMobuControl* box = list.CreateComponent(LT_BOX)->AsControl();
        box->SetName("\x01" "film");
        box->SetBounds(10, 5, 8, 6);
        box->SetColor(0x0000FF);
    }
    void SetTime(int32_t t) override
    {
        s_.set_times.push_back(t);
        s_.time = t;
    }
    int32_t Time() const override { return s_.time; }
    void SetPlaying(bool playing) override { s_.playing = playing; }
    void SetVolume(int32_t volume) override { s_.volume = volume; }
    void Clear() override { ++s_.clears; }

private:
    TFakeState& s_;
};

class CinemaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetVrFileManager();
        VrFileManager().SetBaseFolder(std::string(MOBU_SOURCE_DIR) + "/tests/data/media");
        SetCinemaFilmFactory([this] { return std::make_unique<TFakeFilm>(state); });
        GameClockMs = 0;
        FrameDeltaMs = 15;
        list.SetSize(100, 80);
    }
    void TearDown() override
    {
        list.Reset();
        SetCinemaFilmFactory({});
        ResetVrFileManager();
    }
    // Any file of the game serves as the film's path: the fake reads nothing.
    TMobuCinema* NewCinema()
    {
        auto* cinema = static_cast<TMobuCinema*>(list.CreateComponent(LT_CINEMA));
        cinema->SetName("c");
        cinema->SetProp(PR_SOURCE, TPropValue::Text("chained.ogg"));
        return cinema;
    }
    TFakeState state;
    TMobuBaseList list;
};

// The units a film reaches at each update: 15 ms frames, a unit of 1000 / 60 ms, the first
// two updates seeking to 0.
std::vector<int32_t> ExpectedTimes(int updates, int32_t length, bool repeat, int32_t loop)
{
    std::vector<int32_t> times;
    int32_t elapsed = 0, countdown = 2, last = -1;
    const double unit = 1000.0 / 60;
    for (int i = 0; i < updates; ++i) {
        if (countdown < 1) elapsed += 15;
        int64_t t = std::llround(elapsed / unit);
        if (t >= length) {
            if (repeat) {
                t = std::min<int64_t>(t % length + loop, length - 1);
                elapsed = static_cast<int32_t>(std::llround(t * unit));
            } else {
                t = length - 1;
            }
        }
        if (countdown == 2 || t != last) times.push_back(static_cast<int32_t>(t));
        last = static_cast<int32_t>(t);
        if (countdown > 0) --countdown;
    }
    return times;
}

TEST_F(CinemaTest, PlaysToItsEndOnce)
{
    state.length = 10;
    TMobuCinema* cinema = NewCinema();
    cinema->SetProp(PR_ONPLAYEND, TPropValue::Text("p.msb:end"));
    EXPECT_EQ(state.volume, 1000);
    EXPECT_EQ(cinema->Width, 40);  // the film's screen on the game's list
    for (int i = 0; i < 20; ++i) list.UpdatePass();
    EXPECT_EQ(state.set_times, ExpectedTimes(20, 10, false, 0));
    EXPECT_EQ(state.set_times.back(), 9);
    EXPECT_TRUE(cinema->Ended);
    EXPECT_TRUE(state.playing);
    ASSERT_EQ(list.Events().Count(), 1);
    EXPECT_EQ(list.Events().At(0).Code, PR_ONPLAYEND);
    list.Events().Clear();
    list.UpdatePass();
    EXPECT_EQ(list.Events().Count(), 0);
    EXPECT_EQ(cinema->GetProp(PR_COUNT).AsInt(), 10);
    EXPECT_EQ(cinema->GetProp(PR_INDEX).AsInt(), 9);
}

TEST_F(CinemaTest, RepeatsFromTheLoopStart)
{
    state.length = 10;
    state.loop = 3;
    TMobuCinema* cinema = NewCinema();
    cinema->SetProp(PR_REPEAT, TPropValue::Flag(true));
    for (int i = 0; i < 30; ++i) list.UpdatePass();
    EXPECT_EQ(state.set_times, ExpectedTimes(30, 10, true, 3));
    EXPECT_FALSE(cinema->Ended);
    EXPECT_EQ(list.Events().Count(), 0);
}

TEST_F(CinemaTest, AutoScrapRemovesItAtTheEnd)
{
    state.length = 4;
    TMobuCinema* cinema = NewCinema();
    cinema->SetProp(PR_AUTOSCRAP, TPropValue::Flag(true));
    for (int i = 0; i < 10; ++i) list.UpdatePass();
    EXPECT_FALSE(list.IsRegistered(cinema));
    EXPECT_EQ(state.clears, 1);
}

// A film of length 0, even repeating, is at its end at once: play end once, no unit set.
TEST_F(CinemaTest, EmptyFilmEndsAtOnce)
{
    state.length = 0;
    TMobuCinema* cinema = NewCinema();
    cinema->SetProp(PR_REPEAT, TPropValue::Flag(true));
    cinema->SetProp(PR_ONPLAYEND, TPropValue::Text("p.msb:end"));
    for (int i = 0; i < 3; ++i) list.UpdatePass();
    EXPECT_TRUE(state.set_times.empty());
    EXPECT_TRUE(cinema->Ended);
    EXPECT_EQ(list.Events().Count(), 1);
}

TEST_F(CinemaTest, IndexSeeksAndPauseStops)
{
    state.length = 100;
    TMobuCinema* cinema = NewCinema();
    for (int i = 0; i < 5; ++i) list.UpdatePass();
    cinema->SetProp(PR_INDEX, TPropValue::Int(50));
    EXPECT_EQ(cinema->ElapsedMs, 833);  // 50 x 1000 / 60, truncated
    list.UpdatePass();
    EXPECT_EQ(state.set_times.back(), 50);
    cinema->SetProp(PR_PAUSED, TPropValue::Flag(true));
    EXPECT_FALSE(state.playing);
    const size_t seen = state.set_times.size();
    for (int i = 0; i < 5; ++i) list.UpdatePass();
    EXPECT_EQ(state.set_times.size(), seen);
    cinema->SetProp(PR_PAUSED, TPropValue::Flag(false));
    EXPECT_TRUE(state.playing);
    cinema->SetProp(PR_VOLUME, TPropValue::Int(-5));
    EXPECT_EQ(state.volume, 0);
}

// A private film draws its own screen at the cinema's place.
TEST_F(CinemaTest, PrivateFilmIsDrawnAtTheCinemasPlace)
{
    state.privately = true;
    TMobuCinema* cinema = NewCinema();
    ASSERT_TRUE(cinema->PlaysPrivately());
    EXPECT_EQ(state.started, &cinema->PrivateList());
    EXPECT_NE(state.started, &list);
    cinema->SetProp(PR_LEFT, TPropValue::Int(20));
    cinema->SetProp(PR_TOP, TPropValue::Int(30));
    EXPECT_EQ(cinema->Width, 40);
    EXPECT_EQ(cinema->Height, 30);
    list.UpdatePass();
    list.DrawPass();
    TDIBX& frame = list.FrameSurface();
    const uint32_t red = static_cast<uint32_t>(frame.ColorToPixel(0x0000FF));
    EXPECT_EQ(frame.GetPixel(20 + 10, 30 + 5), red);
    EXPECT_EQ(frame.GetPixel(20 + 17, 30 + 10), red);
    EXPECT_NE(frame.GetPixel(20 + 18, 30 + 5), red);
    EXPECT_NE(frame.GetPixel(10, 5), red);
}

// Hit tests pass the children a film made (names beginning with 0x01).
TEST_F(CinemaTest, HitTestSkipsTheFilmsChildren)
{
    TMobuCinema* cinema = NewCinema();
    cinema->SetBounds(0, 0, 40, 30);
    TMobuControl* own = list.CreateComponent(LT_BOX, cinema)->AsControl();
    own->SetName("own");
    own->SetBounds(0, 0, 10, 10);
    TMobuControl* film = list.CreateComponent(LT_BOX, cinema)->AsControl();
    film->SetName("\x01" "film");
    film->SetBounds(0, 0, 30, 30);
    EXPECT_EQ(cinema->HitTest(5, 5, kMaskLeftClick), own);
    EXPECT_EQ(cinema->HitTest(20, 5, kMaskLeftClick), cinema);
}

TEST_F(CinemaTest, SavedFormRoundTrips)
{
    state.length = 100;
    TMobuCinema* cinema = NewCinema();
    cinema->SetProp(PR_REPEAT, TPropValue::Flag(true));
    cinema->SetProp(PR_VOLUME, TPropValue::Int(640));
    cinema->SetProp(PR_ONIDLE, TPropValue::Text("i.msb"));
    for (int i = 0; i < 12; ++i) list.UpdatePass();
    const int32_t time = state.time;
    ASSERT_GT(time, 0);
    ByteWriter out;
    list.SaveToStream(out);

    TFakeState before = state;
    state = TFakeState{};
    state.length = 100;
    TMobuBaseList loaded;
    ByteReader in(out.Bytes());
    loaded.LoadFromStream(in, kComponentSaveVersion);
    EXPECT_TRUE(in.AtEnd());
    auto* again = dynamic_cast<TMobuCinema*>(loaded.FindComponent("c"));
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->Repeat);
    EXPECT_EQ(again->Volume, 640);
    EXPECT_EQ(state.volume, 640);
    EXPECT_EQ(again->OnIdle, "i.msb");
    EXPECT_EQ(again->ElapsedMs, static_cast<int32_t>(int64_t{time} * 1000 / 60));
    loaded.UpdatePass();
    EXPECT_EQ(state.set_times.back(), time);
    loaded.Reset();
}

}  // namespace
}  // namespace mobu
