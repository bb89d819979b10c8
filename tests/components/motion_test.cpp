#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/globals.h"
#include "components/mobu_base_list.h"
#include "components/mobu_box.h"
#include "components/mobu_motion.h"

namespace mobu {
namespace {

// A film that records what the player asks of it and, like a real one, places its control
// at the origin plus the frame number.
class TFakeFilm : public TMotionFilm {
public:
    TFakeFilm(TMobuControl& target, int32_t count, int32_t loop_start, bool relative)
        : target_(target), count_(count), loop_start_(loop_start), relative_(relative) {}

    int32_t FrameCount() const override { return count_; }
    int32_t LoopStartFrame() const override { return loop_start_; }
    bool RelativePositions() const override { return relative_; }
    int32_t CurrentFrame() const override { return current_; }
    void SetOrigin(int32_t x, int32_t y) override { Origins.emplace_back(x, y); }
    void SetPriority(int32_t priority) override { Priorities.push_back(priority); }
    void ApplyFrame(int32_t frame) override
    {
        ++Applies;
        current_ = frame;
        int32_t x = Origins.empty() ? 0 : Origins.back().first, y = Origins.empty() ? 0 : Origins.back().second;
        target_.MotionX = x + frame;
        target_.MotionY = y;
    }

    int Applies = 0;
    std::vector<std::pair<int32_t, int32_t>> Origins;
    std::vector<int32_t> Priorities;

private:
    TMobuControl& target_;
    int32_t count_, loop_start_;
    bool relative_;
    int32_t current_ = 0;  // a fresh film stands at its first frame
};

// One tick: the frame's length and what it must leave behind. `applied` is the frame the
// film was brought to during the tick, -1 when it was left alone.
struct TStep {
    int32_t ms;
    int32_t frame;
    int32_t elapsed;
    int32_t applied;
    bool finished_now = false;
};

struct TTickCase {
    const char* name;
    int32_t count, loop_start;
    bool repeat, ani_paused;
    std::vector<TStep> steps;
};

// Every case starts with the two startup ticks, whose time does not count.
const TTickCase kTickCases[] = {
    {"frames are the elapsed time over 16.67 ms, rounded", 100, 0, false, false,
     {{100, 0, 0, 0}, {100, 0, 0, -1}, {8, 0, 8, -1}, {1, 1, 9, 1}, {66, 4, 75, 4}, {50, 7, 125, 7},
      {42, 10, 167, 10}, {833, 60, 1000, 60}}},
    {"a repeating film wraps to its loop start", 10, 4, true, false,
     {{0, 0, 0, 0}, {0, 0, 0, -1}, {150, 9, 150, 9}, {17, 4, 67, 4}, {50, 7, 117, 7}, {83, 6, 100, 6}}},
    {"a repeating film without loop start wraps to frame 0", 10, 0, true, false,
     {{0, 0, 0, 0}, {0, 0, 0, -1}, {170, 0, 0, -1}, {17, 1, 17, 1}}},
    {"the loop start is held below the frame count", 10, 8, true, false,
     {{0, 0, 0, 0}, {0, 0, 0, -1}, {267, 9, 150, 9}}},
    {"a film that does not repeat finishes once, on its last frame", 10, 0, false, false,
     {{0, 0, 0, 0}, {0, 0, 0, -1}, {150, 9, 150, 9}, {17, 9, 167, -1, true}, {17, 9, 167, -1},
      {1000, 9, 167, -1}}},
    {"a paused film keeps its time", 10, 0, false, true,
     {{100, 0, 0, 0}, {100, 0, 0, -1}, {100, 0, 0, -1}, {5000, 0, 0, -1}}},
    {"an empty film finishes at once", 0, 0, false, false, {{100, -1, 0, -1, true}, {100, -1, 0, -1}}},
    {"an empty repeating film finishes at once too", 0, 3, true, false, {{100, -1, 0, -1, true}, {100, -1, 0, -1}}},
};

TEST(MotionTick, CaseTable)
{
    for (const TTickCase& c : kTickCases) {
        SCOPED_TRACE(c.name);
        TMobuBox box(nullptr);
        box.SetProp(PR_REPEAT, TPropValue::Flag(c.repeat));
        box.AniPaused = c.ani_paused;
        auto owned = std::make_unique<TFakeFilm>(box, c.count, c.loop_start, false);
        TFakeFilm& film = *owned;
        TMobuMotion motion(box, std::move(owned));
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const TStep& s = c.steps[i];
            SCOPED_TRACE("tick " + std::to_string(i + 1));
            int applies = film.Applies;
            EXPECT_EQ(motion.Tick(s.ms), s.finished_now);
            EXPECT_EQ(motion.CurrentFrame, s.frame);
            EXPECT_EQ(motion.ElapsedMs, s.elapsed);
            if (s.applied < 0) {
                EXPECT_EQ(film.Applies, applies);
            } else {
                EXPECT_EQ(film.Applies, applies + 1);
                EXPECT_EQ(film.CurrentFrame(), s.applied);
            }
        }
    }
}

TEST(MotionTick, StartupSetsOriginAndPriorityOnce)
{
    TMobuBox box(nullptr);
    box.Left = 10, box.Top = 20;
    for (bool relative : {false, true}) {
        box.SetPriority(7);
        auto owned = std::make_unique<TFakeFilm>(box, 100, 0, relative);
        TFakeFilm& film = *owned;
        TMobuMotion motion(box, std::move(owned));
        for (int i = 0; i < 4; ++i) motion.Tick(20);
        using Origins = std::vector<std::pair<int32_t, int32_t>>;
        EXPECT_EQ(film.Origins, (relative ? Origins{{10, 20}} : Origins{{0, 0}}));
        EXPECT_EQ(film.Priorities, std::vector<int32_t>{7});
        // A restart plays from the start again, with a fresh origin and the current priority.
        box.SetPriority(3);
        motion.Restart();
        EXPECT_FALSE(motion.Tick(20));
        EXPECT_EQ(motion.ElapsedMs, 0);
        EXPECT_EQ(film.CurrentFrame(), 0);
        EXPECT_EQ(film.Priorities, (std::vector<int32_t>{7, 3}));
        EXPECT_EQ(film.Origins.size(), 2u);
    }
}

TEST(MotionTick, MovingTheControlReanchorsARelativeFilm)
{
    TMobuBox box(nullptr);
    box.Left = 10, box.Top = 20;
    auto owned = std::make_unique<TFakeFilm>(box, 100, 0, true);
    TFakeFilm& film = *owned;
    TMobuMotion motion(box, std::move(owned));
    motion.Tick(0);
    // Moved during the startup ticks: only remembered.
    box.SetLeft(15);
    motion.Tick(0);
    motion.Tick(50);
    EXPECT_EQ(film.Origins.size(), 1u);
    EXPECT_EQ(film.Applies, 2);
    EXPECT_EQ(box.MotionX, 10 + 3);
    // Moved once playing: the origin follows and the same frame is applied again.
    box.SetLeft(30);
    box.SetTop(40);
    EXPECT_EQ(box.MotionX, 0);
    motion.Tick(0);
    EXPECT_EQ(film.Origins.back(), (std::pair<int32_t, int32_t>{30, 40}));
    EXPECT_EQ(film.Applies, 3);
    EXPECT_EQ(box.MotionX, 30 + 3);
    EXPECT_EQ(box.MotionY, 40);
    motion.Tick(0);
    EXPECT_EQ(film.Applies, 3);
    EXPECT_EQ(film.Origins.size(), 2u);

    // A film with screen positions ignores the move.
    TMobuBox fixed(nullptr);
    auto owned_fixed = std::make_unique<TFakeFilm>(fixed, 100, 0, false);
    TFakeFilm& fixed_film = *owned_fixed;
    TMobuMotion fixed_motion(fixed, std::move(owned_fixed));
    for (int i = 0; i < 3; ++i) fixed_motion.Tick(50);
    fixed.SetLeft(99);
    fixed_motion.Tick(0);
    EXPECT_EQ(fixed_film.Origins.size(), 1u);
    EXPECT_EQ(fixed_film.Applies, 2);
}

// The control's update runs the film and acts when it ends.
class MotionControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        FrameDeltaMs = 100;
        SetMotionFilmFactory([this](TMobuControl& target, const std::string& path) -> std::unique_ptr<TMotionFilm> {
            if (path != "walk.mmt") return nullptr;
            auto film = std::make_unique<TFakeFilm>(target, 3, 0, false);
            last_film = film.get();
            return film;
        });
        list.SetSize(320, 240);
        box = list.CreateComponent(LT_BOX)->AsControl();
        box->SetName("walker");
    }
    void TearDown() override
    {
        SetMotionFilmFactory({});
        FrameDeltaMs = 0;
    }

    TMobuBaseList list;
    TMobuControl* box = nullptr;
    TFakeFilm* last_film = nullptr;
};

TEST_F(MotionControl, AttachingNeedsAFilm)
{
    box->SetMotion("other.mmt");
    EXPECT_FALSE(box->HasMotion());
    box->SetMotion("walk.mmt");
    ASSERT_TRUE(box->HasMotion());
    EXPECT_EQ(&box->Motion->Film(), last_film);
    // While attached, the film's position places the control.
    box->SetLeft(50);
    list.UpdatePass();
    EXPECT_EQ(box->GetAbsLeft(), 0);
    box->SetMotion("");
    EXPECT_FALSE(box->HasMotion());
    EXPECT_EQ(box->GetAbsLeft(), 50);

    SetMotionFilmFactory({});
    box->SetMotion("walk.mmt");
    EXPECT_FALSE(box->HasMotion());
}

TEST_F(MotionControl, FinishingPostsPlayEndOnce)
{
    box->SetProp(PR_ONPLAYEND, TPropValue::Text("page:ended"));
    box->SetMotion("walk.mmt");
    list.UpdatePass();
    list.UpdatePass();
    EXPECT_EQ(list.Events().Count(), 0);
    list.UpdatePass();  // 100 ms = frame 6, past the 3 frames
    ASSERT_EQ(list.Events().Count(), 1);
    const TTimerData& record = list.Events().At(0);
    EXPECT_EQ(record.Code, PR_ONPLAYEND);
    EXPECT_EQ(record.Sender, box);
    EXPECT_EQ(record.Handler, "page:ended");
    EXPECT_TRUE(record.Params.empty());
    list.Events().Clear();
    list.UpdatePass();
    EXPECT_EQ(list.Events().Count(), 0);
    EXPECT_EQ(list.FindComponent("walker"), box);
    // Restarted, it plays and ends again.
    box->RestartMotion();
    for (int i = 0; i < 3; ++i) list.UpdatePass();
    EXPECT_EQ(list.Events().Count(), 1);
}

TEST_F(MotionControl, AutoScrapRemovesTheControlInstead)
{
    box->SetProp(PR_ONPLAYEND, TPropValue::Text("page:ended"));
    box->SetProp(PR_AUTOSCRAP, TPropValue::Flag(true));
    box->SetMotion("walk.mmt");
    list.UpdatePass();
    list.UpdatePass();
    EXPECT_EQ(list.FindComponent("walker"), box);
    list.UpdatePass();
    EXPECT_EQ(list.FindComponent("walker"), nullptr);
    EXPECT_EQ(list.Events().Count(), 0);
}

TEST_F(MotionControl, RepeatingFilmNeverEnds)
{
    box->SetProp(PR_ONPLAYEND, TPropValue::Text("page:ended"));
    box->SetProp(PR_AUTOSCRAP, TPropValue::Flag(true));
    box->SetProp(PR_REPEAT, TPropValue::Flag(true));
    box->SetMotion("walk.mmt");
    for (int i = 0; i < 10; ++i) list.UpdatePass();
    EXPECT_EQ(list.FindComponent("walker"), box);
    EXPECT_EQ(list.Events().Count(), 0);
}

}  // namespace
}  // namespace mobu
