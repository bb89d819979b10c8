// The saved form of the call manager: a game saved in the middle of a called page's Wait
// resumes with the remaining time and returns its result; writing what was read gives the
// same bytes; old versions have no event level; damaged forms are refused.
#include <gtest/gtest.h>

#include "app/mobu_error.h"
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

}  // namespace
}  // namespace mobu
