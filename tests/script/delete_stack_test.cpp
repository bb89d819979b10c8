// DeleteStack: one frame of the call stack goes with the variables it owns; returns then run
// on the frames that remain.
#include <gtest/gtest.h>

#include "script/delete_stack_function.h"
#include "tests/script/script_harness.h"

namespace mobu {
namespace {

using testing_support::TScriptHarness;

TEST(DeleteStack, RemovesAFrameAndItsVariables)
{
    TScriptHarness script;
    InstallDeleteStack(script.functions, script.calls);
    script.AddPage("b.msb",
                   "page result: none\n"
                   "VarNew name: mine_b; type: int; scope: local; value: 3; continue: yes\n"
                   "Calc expr: before = @StackCount; continue: yes\n"
                   "Calc expr: bad1 = DeleteStack(2); continue: yes\n"
                   "Calc expr: bad2 = DeleteStack(-1); continue: yes\n"
                   "Calc expr: ok = DeleteStack(1); continue: yes\n"
                   "Calc expr: after = @StackCount; continue: yes\n"
                   "Calc expr: seen_b = mine_b; continue: yes\n");
    script.AddPage("a.msb",
                   "page result: none\n"
                   "VarNew name: mine_a; type: int; scope: local; value: 2; continue: yes\n"
                   "Call page: b.msb; continue: yes\n"
                   "Calc expr: a_resumed = 1; continue: yes\n");
    script.AddPage("main.msb",
                   "VarNew name: before; type: int; continue: yes\n"
                   "VarNew name: after; type: int; continue: yes\n"
                   "VarNew name: bad1; type: flag; value: TRUE; continue: yes\n"
                   "VarNew name: bad2; type: flag; value: TRUE; continue: yes\n"
                   "VarNew name: ok; type: flag; continue: yes\n"
                   "VarNew name: seen_b; type: int; continue: yes\n"
                   "VarNew name: a_resumed; type: int; continue: yes\n"
                   "VarNew name: back; type: int; continue: yes\n"
                   "Call page: a.msb; continue: yes\n"
                   "Calc expr: back = @StackCount + 10; continue: yes\n"
                   "Wait\n");
    script.calls.StartPage("main.msb");
    script.Frames(5);
    EXPECT_EQ(script.Int("before"), 2);
    EXPECT_FALSE(script.table.Find("bad1")->Value()->GetFlag());
    EXPECT_FALSE(script.table.Find("bad2")->Value()->GetFlag());
    EXPECT_TRUE(script.table.Find("ok")->Value()->GetFlag());
    EXPECT_EQ(script.Int("after"), 1);
    EXPECT_EQ(script.Int("seen_b"), 3);  // the running page's locals moved down with it
    EXPECT_EQ(script.Int("a_resumed"), 0);  // a's frame is gone: b returns straight to main
    EXPECT_EQ(script.Int("back"), 10);
    EXPECT_FALSE(script.Has("mine_a"));
    EXPECT_FALSE(script.Has("mine_b"));
    EXPECT_EQ(script.calls.Stack.Count(), 0);
    EXPECT_EQ(script.table.CurrentDepth, 0);
}

}  // namespace
}  // namespace mobu
