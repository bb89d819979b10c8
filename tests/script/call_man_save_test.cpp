// The saved form of the call manager: a game saved in the middle of a called page's Wait
// resumes with the remaining time and returns its result; writing what was read gives the
// same bytes; old versions have no event level; damaged and impossible forms are refused;
// a script with nothing left to run ends the frame.
#include <gtest/gtest.h>

#include "core/mobu_error.h"
#include "tests/script/script_harness.h"

namespace mobu {
namespace {

using testing_support::TScriptHarness;

void AddPages(TScriptHarness& script)
{
    script.AddPage("sub.msb", "page result: int\nCalc expr: @Result = @ParamCount + 8; continue: yes\nWait time: 100\n");
    script.AddPage("main.msb", "Call page: sub.msb; result: r; args: 1; continue: yes\nCalc expr: done = 1\nWait\n");
}

TEST(CallManSave, WaitInACalledPageResumesAfterLoading)
{
    TScriptHarness first;
    first.table.AddVariable("r", PT_INT);
    first.table.AddVariable("done", PT_INT);
    AddPages(first);
    first.calls.StartPage("main.msb");
    first.Frames(4);  // entered, first frame, two subtractions: 70 ms left
    ByteWriter saved;
    first.calls.SaveToStream(saved);

    TScriptHarness second;
    second.table.AddVariable("r", PT_INT);
    second.table.AddVariable("done", PT_INT);
    AddPages(second);
    ByteReader in(saved.Bytes());
    second.calls.LoadFromStream(in, 140);
    EXPECT_TRUE(in.AtEnd());
    ByteWriter again;
    second.calls.SaveToStream(again);
    EXPECT_EQ(again.Bytes(), saved.Bytes());
    EXPECT_EQ(second.calls.Stack.Count(), 1);
    EXPECT_EQ(second.table.CurrentDepth, 1);
    EXPECT_EQ(second.calls.CallParamCount(), 1);

    // Both go on alike: 70 ms take five more frames, then the result comes back.
    for (TScriptHarness* script : {&first, &second}) {
        script->Frames(4);
        EXPECT_EQ(script->Int("r"), 0);
        script->Frames(2);
        EXPECT_EQ(script->Int("r"), 9);
        script->Frame();
        EXPECT_EQ(script->Int("done"), 1);
    }
}

TEST(CallManSave, EventLevelIsReadFromVersion116)
{
    TScriptHarness script;
    AddPages(script);
    script.calls.StartPage("main.msb");
    script.calls.EventLevel = 5;
    ByteWriter saved;
    script.calls.SaveToStream(saved);

    TScriptHarness newer;
    AddPages(newer);
    ByteReader in(saved.Bytes());
    newer.calls.LoadFromStream(in, 116);
    EXPECT_EQ(newer.calls.EventLevel, 5);

    // Before 116 the field is not there: the same bytes without it read level 2.
    std::string bytes = saved.Bytes();
    const size_t level_at = bytes.size() - 4;  // nothing is entered, so the level ends the form
    bytes.erase(level_at, 4);
    TScriptHarness older;
    AddPages(older);
    ByteReader old_in(bytes);
    older.calls.LoadFromStream(old_in, 115);
    EXPECT_EQ(older.calls.EventLevel, 2);
    EXPECT_TRUE(old_in.AtEnd());
}

TEST(CallManSave, DamagedFormsAreRefused)
{
    TScriptHarness script;
    AddPages(script);
    script.calls.StartPage("main.msb");
    script.Frames(3);
    ByteWriter saved;
    script.calls.SaveToStream(saved);
    const std::string bytes = saved.Bytes();
    for (size_t cut = 0; cut < bytes.size(); cut += 3) {
        TScriptHarness other;
        AddPages(other);
        ByteReader in(std::string_view(bytes).substr(0, cut));
        EXPECT_THROW(other.calls.LoadFromStream(in, 140), EMobuError) << cut;
    }
}

TEST(CallManSave, ImpossibleStatesAreRefused)
{
    const struct {
        const char* name;
        int32_t mode;
        int32_t event_level;
        bool with_frame;
        bool loads;
    } cases[] = {
        {"highest level", 0, TCallMan::kMaxStackDepth, false, true},
        {"handler with its frame", 1, 2, true, true},
        {"level past the depth cap", 0, TCallMan::kMaxStackDepth + 1, false, false},
        {"largest level", 2, INT32_MAX, true, false},
        {"negative level", 0, -1, false, false},
        {"level below the first", 3, 1, true, false},
        {"running handler without a frame", 1, 2, false, false},
        {"suspended handler without a frame", 2, 2, false, false},
        {"nested handler without a frame", 3, 3, false, false},
    };
    for (const auto& c : cases) {
        TScriptHarness script;
        AddPages(script);
        script.calls.StartPage("main.msb");
        if (c.with_frame) script.calls.PushCurrentContext();
        script.calls.Mode = c.mode;
        script.calls.EventLevel = c.event_level;
        ByteWriter saved;
        script.calls.SaveToStream(saved);

        TScriptHarness other;
        AddPages(other);
        ByteReader in(saved.Bytes());
        if (c.loads) {
            EXPECT_NO_THROW(other.calls.LoadFromStream(in, 140)) << c.name;
            EXPECT_EQ(other.calls.EventLevel, c.event_level) << c.name;
        } else {
            EXPECT_THROW(other.calls.LoadFromStream(in, 140), EMobuError) << c.name;
        }
    }
}

TEST(CallManSave, NothingLeftToRunEndsTheFrame)
{
    // A handler suspended at a DoEvent loses the context it interrupted (as DeleteStack
    // removes it); when its page ends there is nothing to return to.
    TScriptHarness script;
    script.table.AddVariable("hits", PT_INT);
    script.AddPage("main.msb", "Wait\n");
    script.AddPage("h.msb", "DoEvent\n");
    script.AddPage("count.msb", "Calc expr: hits = hits + 1\n");
    script.calls.StartPage("main.msb");
    script.components.Post("h.msb", "btn");
    script.Frame();
    ASSERT_EQ(script.calls.Mode, 2);
    script.calls.Stack.RemoveFrame(0);
    script.Frame();
    EXPECT_EQ(script.calls.Mode, 0);
    EXPECT_TRUE(script.components.queue.empty());
    // The script idles, and events still start handlers.
    script.components.Post("count.msb", "btn");
    script.Frames(2);
    EXPECT_EQ(script.Int("hits"), 1);

    // A saved form without a page whose last command asked to go on in the same frame.
    TScriptHarness blank;
    blank.calls.KeepRunning = true;
    ByteWriter saved;
    blank.calls.SaveToStream(saved);
    TScriptHarness loaded;
    ByteReader in(saved.Bytes());
    loaded.calls.LoadFromStream(in, 140);
    loaded.Frames(2);
    EXPECT_FALSE(loaded.calls.KeepRunning);
}

}  // namespace
}  // namespace mobu
