// The property motion: its three curves against values computed in Python
// (tests/data/components/gen_prop_motion.py), the motion driving a box's position frame by
// frame, removal at the end, a missing target or property, a property SetProp refuses, a
// zero time, pause, the saved form with the target resolved again, and the PropMotion
// command.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>

#include "core/globals.h"
#include "components/base_list_call_components.h"
#include "components/mobu_base_list.h"
#include "components/mobu_prop_motion.h"
#include "script/page_messages.h"
#include "tests/script/script_harness.h"

namespace mobu {
namespace {

struct TVector {
    int type;
    int32_t start, target, time, elapsed;
    double value;
    int32_t truncated;
};

std::vector<TVector> LoadVectors()
{
    std::ifstream file(std::string(MOBU_SOURCE_DIR) + "/tests/data/components/prop_motion.tsv");
    std::vector<TVector> rows;
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        TVector v{};
        fields >> v.type >> v.start >> v.target >> v.time >> v.elapsed >> v.value >> v.truncated;
        rows.push_back(v);
    }
    return rows;
}

TEST(PropMotion, CurvesMatchThePythonValues)
{
    const std::vector<TVector> rows = LoadVectors();
    ASSERT_GT(rows.size(), 200u);
    for (const TVector& v : rows) {
        const Real got = TMobuPropMotion::ValueAt(v.type, v.start, v.target, v.time, v.elapsed);
        EXPECT_NEAR(static_cast<double>(got), v.value, 1e-9)
            << "type " << v.type << " time " << v.time << " elapsed " << v.elapsed;
    }
}

// A list with a box "b" and 15 ms frames.
struct TMotionList {
    TMobuBaseList list;
    TMobuControl* box;

    TMotionList()
    {
        GameClockMs = 0;
        FrameDeltaMs = 15;
        list.SetSize(640, 480);
        box = list.CreateComponent(LT_BOX)->AsControl();
        box->SetName("b");
    }
    TMobuPropMotion* Motion(int prop, Real target, int32_t time, int type)
    {
        auto* motion = static_cast<TMobuPropMotion*>(list.CreateComponent(LT_PROPMOTION));
        motion->SetName("m");
        motion->TargetName = "b";
        motion->PropId = static_cast<uint8_t>(prop);
        motion->Target = target;
        motion->Time = time;
        motion->MotionType = static_cast<uint8_t>(type);
        return motion;
    }
    bool Alive() { return list.FindComponent("m") != nullptr; }
};

// Each curve moves PR_LEFT (an int: the real is truncated) frame by frame and the motion is
// gone after the frame that wrote the target.
TEST(PropMotion, DrivesAnIntPropertyFrameByFrame)
{
    const std::vector<TVector> rows = LoadVectors();
    size_t i = 0;
    while (i < rows.size()) {
        const TVector& first = rows[i];
        TMotionList world;
        world.box->SetProp(PR_LEFT, TPropValue::Int(first.start));
        world.Motion(PR_LEFT, first.target, first.time, first.type);
        for (; i < rows.size() && rows[i].type == first.type && rows[i].start == first.start; ++i) {
            ASSERT_TRUE(world.Alive()) << "elapsed " << rows[i].elapsed;
            world.list.UpdatePass();
            EXPECT_EQ(world.box->Left, rows[i].truncated)
                << "type " << first.type << " time " << first.time << " elapsed " << rows[i].elapsed;
        }
        EXPECT_FALSE(world.Alive());
    }
}

// MT_DEC over 1000 ms covers half the distance in a third of the time.
TEST(PropMotion, SineOutIsHalfWayAtAThird)
{
    const Real v = TMobuPropMotion::ValueAt(MT_DEC, 0, 1000, 1000, 333);
    EXPECT_NEAR(static_cast<double>(v), 500.0, 2.0);
}

struct TEndCase {
    const char* name;
    const char* target;
    int prop;
    int32_t time;
    bool alive_after_first;
    int32_t left_after_first;
};

class PropMotionEnds : public ::testing::TestWithParam<TEndCase> {};

TEST_P(PropMotionEnds, FirstUpdate)
{
    const TEndCase& c = GetParam();
    TMotionList world;
    world.box->SetProp(PR_LEFT, TPropValue::Int(5));
    TMobuPropMotion* motion = world.Motion(c.prop, 90, c.time, MT_NORMAL);
    motion->TargetName = c.target;
    world.list.UpdatePass();
    EXPECT_EQ(world.Alive(), c.alive_after_first) << c.name;
    EXPECT_EQ(world.box->Left, c.left_after_first) << c.name;
}

const TEndCase kEndCases[] = {
    {"the start value first", "b", PR_LEFT, 300, true, 5},
    {"no such target", "nobody", PR_LEFT, 300, false, 5},
    {"no target name", "", PR_LEFT, 300, false, 5},
    {"no property id", "b", TMobuPropMotion::kNoProperty, 300, false, 5},
    {"property id 165", "b", 165, 300, false, 5},
    {"a property SetProp refuses (92)", "b", 92, 300, false, 5},
    {"a property SetProp refuses (93)", "b", 93, 300, false, 5},
    {"time 0 jumps to the target", "b", PR_LEFT, 0, false, 90},
    {"negative time jumps to the target", "b", PR_LEFT, -20, false, 90},
};
INSTANTIATE_TEST_SUITE_P(Cases, PropMotionEnds, ::testing::ValuesIn(kEndCases));

TEST(PropMotion, EndsWhenItsTargetIsGone)
{
    TMotionList world;
    world.Motion(PR_LEFT, 90, 300, MT_NORMAL);
    world.list.UpdatePass();
    ASSERT_TRUE(world.Alive());
    world.list.Destroy(world.box);
    world.list.UpdatePass();
    EXPECT_FALSE(world.Alive());
}

TEST(PropMotion, PausedMotionStandsStill)
{
    TMotionList world;
    TMobuPropMotion* motion = world.Motion(PR_LEFT, 300, 300, MT_NORMAL);
    world.list.UpdatePass();
    world.list.UpdatePass();
    ASSERT_EQ(world.box->Left, 15);
    motion->SetProp(PR_PAUSED, TPropValue::Flag(true));
    EXPECT_FALSE(motion->GetProp(PR_PLAYING).AsFlag());
    world.list.UpdatePass();
    EXPECT_EQ(world.box->Left, 15);
    EXPECT_EQ(motion->Elapsed, 30);
    motion->SetProp(PR_PAUSED, TPropValue::Flag(false));
    EXPECT_TRUE(motion->GetProp(PR_PLAYING).AsFlag());
    world.list.UpdatePass();
    EXPECT_EQ(world.box->Left, 30);
}

// The saved form keeps Elapsed; after the load the target is found again and the start is
// read anew from it.
TEST(PropMotion, SavedFormResolvesTheTargetAgain)
{
    TMotionList world;
    TMobuPropMotion* motion = world.Motion(PR_TOP, 110, 200, MT_INC);
    motion->MotionPaused = true;
    world.list.UpdatePass();  // paused: not resolved
    motion->MotionPaused = false;
    world.list.UpdatePass();
    world.list.UpdatePass();
    ByteWriter out;
    motion->SaveToStream(out);

    TMotionList other;
    other.box->SetProp(PR_TOP, TPropValue::Int(10));
    TMobuPropMotion loaded(&other.list);
    ByteReader in(out.Bytes());
    loaded.LoadFromStream(in, kComponentSaveVersion);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(loaded.Name(), "m");
    EXPECT_EQ(loaded.TargetName, "b");
    EXPECT_EQ(loaded.PropId, PR_TOP);
    EXPECT_EQ(loaded.Target, 110);
    EXPECT_EQ(loaded.Time, 200);
    EXPECT_EQ(loaded.MotionType, MT_INC);
    EXPECT_EQ(loaded.Elapsed, 30);
    EXPECT_FALSE(loaded.Update());
    EXPECT_EQ(loaded.Start, 10);
    EXPECT_EQ(other.box->Top, static_cast<int32_t>(TMobuPropMotion::ValueAt(MT_INC, 10, 110, 200, 30)));
}

// A target gone by the time of the save is saved as no name; forms before version 126 end
// without the pause flag; a form cut short is refused.
TEST(PropMotion, HandBuiltSavedForms)
{
    TMotionList world;
    TMobuPropMotion* motion = world.Motion(PR_LEFT, 1, 100, MT_NORMAL);
    world.list.UpdatePass();
    world.list.Destroy(world.box);
    ByteWriter saved;
    motion->SaveToStream(saved);
    ByteReader saved_in(saved.Bytes());
    TMobuBaseList list;
    TMobuPropMotion gone(&list);
    gone.LoadFromStream(saved_in, kComponentSaveVersion);
    EXPECT_EQ(gone.TargetName, "");

    ByteWriter out;
    out.String("pm");
    out.I32(0);
    out.I32(0);
    out.String("");  // tag
    out.String("x");
    out.I32(400);  // no such property: read as none
    out.Real80(2.5L);
    out.I32(10);
    out.I32(1);
    out.Real80(-1.0L);
    out.I32(4);
    ByteReader in(out.Bytes());
    TMobuPropMotion old(&list);
    old.LoadFromStream(in, 125);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(old.PropId, TMobuPropMotion::kNoProperty);
    EXPECT_EQ(old.Target, 2.5L);
    EXPECT_EQ(old.Start, -1.0L);
    EXPECT_EQ(old.Elapsed, 4);
    EXPECT_FALSE(old.MotionPaused);
    ByteReader cut(std::string_view(out.Bytes()).substr(0, out.Size() - 6));
    TMobuPropMotion broken(&list);
    EXPECT_ANY_THROW(broken.LoadFromStream(cut, 125));
}

// The PropMotion command through the interpreter.
struct TMotionScript : testing_support::TScriptHarness {
    TMobuBaseList list;
    TBaseListCallComponents adapter{list};
    TMotionScript()
    {
        list.SetSize(640, 480);
        calls.SetComponents(&adapter);
    }
};

TEST(PropMotionCommand, CreatesANamedMotion)
{
    TMotionScript script;
    script.AddPage("main.msb",
                   "BoxNew PR_NAME: \"b\"; PR_LEFT: 100; continue: yes\n"
                   "PropMotion motion: \"slide\"; component: \"b\"; property: 3; value: 40 + 0.5; time: 300; "
                   "type: 2; flag: yes; continue: yes\n"
                   "PropMotion component: \"b\"; property: 4; value: 9; time: 30\n");
    script.calls.StartPage("main.msb");
    script.Frame();
    auto* slide = dynamic_cast<TMobuPropMotion*>(script.list.FindComponent("slide"));
    ASSERT_NE(slide, nullptr);
    EXPECT_EQ(slide->TargetName, "b");
    EXPECT_EQ(slide->PropId, PR_LEFT);
    EXPECT_EQ(slide->Target, 40.5L);
    EXPECT_EQ(slide->Time, 300);
    EXPECT_EQ(slide->MotionType, MT_DEC);
    // The second one keeps its automatic name.
    bool found = false;
    for (int32_t i = 0; i < script.list.GetCount(); ++i) {
        auto* other = dynamic_cast<TMobuPropMotion*>(script.list.GetItem(i));
        if (other && other != slide) {
            found = true;
            EXPECT_EQ(other->PropId, PR_TOP);
            EXPECT_EQ(other->MotionType, MT_NORMAL);
            EXPECT_FALSE(other->Name().empty());
        }
    }
    EXPECT_TRUE(found);
}

TEST(PropMotionCommand, MissingPropertyIdRaises)
{
    TMotionScript script;
    script.AddPage("main.msb", "PropMotion motion: \"m\"; component: \"b\"; value: 1; time: 5\n");
    script.calls.StartPage("main.msb");
    TPage* page = script.calls.GetPage("main.msb");
    int32_t pc = 0;
    std::string raised;
    try {
        page->Command(0)->Exec(script.calls, page, pc);
    } catch (const std::exception& error) {
        raised = error.what();
    }
    EXPECT_EQ(raised, page_messages::BadProperty());
    EXPECT_EQ(script.list.FindComponent("m"), nullptr);
}

}  // namespace
}  // namespace mobu
