// The interpreter: control flow, calls across pages, waits against the frame clock, event
// handlers and their levels, resets, the page cache and the depth cap.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/message_box.h"
#include "script/page_messages.h"
#include "tests/script/script_harness.h"

namespace mobu {
namespace {

using testing_support::TScriptHarness;

struct TFlowCase {
    const char* name;
    const char* source;
    int frames;
    std::vector<std::pair<const char*, int32_t>> expected;
};

class ControlFlow : public ::testing::TestWithParam<TFlowCase> {};

TEST_P(ControlFlow, EndsWithTheExpectedVariables)
{
    const TFlowCase& c = GetParam();
    TScriptHarness script;
    script.AddPage("main.msb", c.source);
    script.calls.StartPage("main.msb");
    script.Frames(c.frames);
    for (const auto& [name, value] : c.expected) EXPECT_EQ(script.Int(name), value) << c.name << ": " << name;
}

const TFlowCase kFlowCases[] = {
    {"nested if, elseif, else",
     "VarNew name: a; type: int; value: 2; continue: yes\n"
     "VarNew name: r; type: int; continue: yes\n"
     "If cond: a == 1\n"
     "  Calc expr: r = 1\n"
     "Elseif cond: a == 2\n"
     "  If cond: FALSE\n"
     "    Calc expr: r = 99\n"
     "  Elseif cond: a > 5\n"
     "    Calc expr: r = 98\n"
     "  Else\n"
     "    Calc expr: r = 20\n"
     "Else\n"
     "  Calc expr: r = 3\n"
     "Calc expr: r = r + 100\n",
     30,
     {{"r", 120}}},
    {"if without a taken branch falls to the next command",
     "VarNew name: r; type: int; continue: yes\n"
     "If cond: 1 == 2\n"
     "  Calc expr: r = 1\n"
     "Elseif cond: 2 == 3\n"
     "  Calc expr: r = 2\n"
     "Calc expr: r = r + 7\n",
     10,
     {{"r", 7}}},
    {"loop with continue and break",
     "VarNew name: i; type: int; continue: yes\n"
     "VarNew name: total; type: int; continue: yes\n"
     "WhileInit expr: i = 0\n"
     "While cond: i < 10\n"
     "  Calc expr: i = i + 1; continue: yes\n"
     "  If cond: i == 3; continue: yes\n"
     "    Continue cond: TRUE\n"
     "  If cond: i > 8; continue: yes\n"
     "    Break cond: TRUE\n"
     "  Calc expr: total = total + i; continue: yes\n"
     "WhileLoop\n"
     "Calc expr: total = total * 10\n",
     200,
     {{"total", 330}, {"i", 9}}},
    {"nested loops",
     "VarNew name: i; type: int; continue: yes\n"
     "VarNew name: j; type: int; continue: yes\n"
     "VarNew name: n; type: int; continue: yes\n"
     "WhileInit expr: i = 0\n"
     "While cond: i < 4; continue: yes\n"
     "  WhileInit expr: j = 0\n"
     "  While cond: j < 3; continue: yes\n"
     "    Calc expr: j = j + 1; continue: yes\n"
     "    Break cond: j == i\n"
     "    Calc expr: n = n + 1; continue: yes\n"
     "  WhileLoop\n"
     "  Calc expr: i = i + 1; continue: yes\n"
     "WhileLoop\n",
     200,
     // i = 0: 3, i = 1: 0, i = 2: 1, i = 3: 2
     {{"n", 6}, {"i", 4}}},
    {"one command per frame without the continue flag",
     "VarNew name: n; type: int; continue: yes\n"
     "Calc expr: n = n + 1\n"
     "Calc expr: n = n + 1\n"
     "Calc expr: n = n + 1\n",
     2,
     {{"n", 2}}},
    {"jump within the page to a label",
     "VarNew name: n; type: int; continue: yes\n"
     "Jump page: main.msb; target: skip; cond: TRUE; continue: yes\n"
     "Calc expr: n = 100; continue: yes\n"
     "Label name: skip; continue: yes\n"
     "Calc expr: n = n + 1\n",
     5,
     {{"n", 1}}},
    {"exit at top level idles while its condition holds",
     "VarNew name: n; type: int; continue: yes\n"
     "Exit cond: n == 0\n"
     "Calc expr: n = 5\n",
     5,
     {{"n", 0}}},
    {"a wait of the lowest time ends in the frame after its start",
     "VarNew name: t; type: int; continue: yes\n"
     "Wait time: -2147483647 - 1\n"
     "Calc expr: t = 2\n",
     3,
     {{"t", 2}}},
    {"pc reset with reset-all restarts the page at the target",
     "VarNew name: n; type: int; continue: yes\n"
     "Label name: top; continue: yes\n"
     "Calc expr: n = n + 1; continue: yes\n"
     "If cond: n < 3; continue: yes\n"
     "  PCReset page: main.msb; target: top; all: yes\n"
     "Calc expr: n = n * 10\n",
     10,
     {{"n", 30}}},
};

INSTANTIATE_TEST_SUITE_P(Cases, ControlFlow, ::testing::ValuesIn(kFlowCases));

TEST(CallMan, CallPassesParametersAndStoresTheResult)
{
    TScriptHarness script;
    script.AddPage("sub.msb",
                   "page result: int\n"
                   "VarNew name: mine; type: int; scope: local; value: 7; continue: yes\n"
                   "Calc expr: @Result = @ParamCount * 100 + mine; continue: yes\n"
                   "Calc expr: s = @ParamStr[0] ++ @ParamStr[1]; continue: yes\n");
    script.AddPage("main.msb",
                   "VarNew name: r; type: int; continue: yes\n"
                   "VarNew name: s; type: string; continue: yes\n"
                   "Call page: sub.msb; result: r; args: 1; args: nothing_declared; args: 3; continue: yes\n"
                   "Calc expr: r = r + 1\n");
    script.calls.StartPage("main.msb");
    script.Frames(3);
    EXPECT_EQ(script.Int("r"), 208);  // two parameters; the one that yields nothing is left out
    EXPECT_EQ(script.Str("s"), "13");
    EXPECT_FALSE(script.Has("mine"));  // the callee's locals went with its frame
    EXPECT_EQ(script.calls.Stack.Count(), 0);
    EXPECT_EQ(script.table.CurrentDepth, 0);
}

TEST(CallMan, ScalarResultStaysAScalar)
{
    TScriptHarness script;
    script.AddPage("sub.msb", "page result: int\nCalc expr: @Result = 9; continue: yes\n");
    script.AddPage("main.msb",
                   "VarNew name: r; type: int; continue: yes\n"
                   "VarNew name: t; type: string; continue: yes\n"
                   "Call page: sub.msb; result: r; continue: yes\n"
                   "Call page: sub.msb; result: t; continue: yes\n"
                   "Wait\n");
    script.calls.StartPage("main.msb");
    script.Frames(3);
    EXPECT_EQ(script.Int("r"), 9);
    EXPECT_TRUE(script.table.Find("r")->Value()->Dims.empty());
    EXPECT_EQ(script.Str("t"), "9");
    EXPECT_TRUE(script.table.Find("t")->Value()->Dims.empty());
}

TEST(CallMan, ResultIntoAnArrayElementGoesThroughTheExpressionLanguage)
{
    TScriptHarness script;
    script.AddPage("sub.msb", "page result: int\nCalc expr: @Result = 5; continue: yes\n");
    script.AddPage("main.msb",
                   "VarNew name: a; type: int; continue: yes\n"
                   "Calc expr: SetArray(a, 3); continue: yes\n"
                   "Call page: sub.msb; result: a[2]; continue: yes\n"
                   "Wait\n");
    script.calls.StartPage("main.msb");
    script.Frames(2);
    EXPECT_EQ(script.table.Find("a")->Value()->GetIntegerAt(2), 5);
}

TEST(CallMan, ResultThatCannotBeAssignedIsDroppedAndTheScriptGoesOn)
{
    TScriptHarness script;
    script.AddPage("sub.msb", "page result: string\nCalc expr: @Result = \"x\\\" ++ \\\"y\"; continue: yes\n");
    script.AddPage("main.msb",
                   "VarNew name: t; type: string; continue: yes\n"
                   "Call page: sub.msb; result: @Temp; continue: yes\n"
                   "Calc expr: t = \"done\"\n");
    script.calls.StartPage("main.msb");
    script.Frames(2);
    EXPECT_EQ(script.Str("t"), "done");
}

TEST(CallMan, FailedCallLeavesNoResultAndTheCallerGoesOn)
{
    TScriptHarness script;
    script.AddPage("main.msb",
                   "VarNew name: r; type: int; value: 5; continue: yes\n"
                   "Call page: gone.msb; result: r; continue: yes\n"
                   "Calc expr: r = r + 1\n");
    script.pages["gone.msb"] = std::string("\x74\0\0\0", 4);  // version 116, then nothing
    script.calls.StartPage("main.msb");
    script.Frames(3);
    // The failed Call pushed nothing that stays: the caller went on after it exactly once,
    // and nothing was assigned to r.
    EXPECT_EQ(script.Int("r"), 6);
    EXPECT_EQ(script.calls.Stack.Count(), 0);
}

// The example of docs/page-source.md as written there: square.msb, called with exactly one
// parameter, reads it as @ParamStr[0] and returns 37 squared.
TEST(CallMan, TheDocumentedExampleCallsWithOneParameter)
{
    std::ifstream in(std::string(MOBU_SOURCE_DIR) + "/docs/page-source.md");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t start = text.find("    // start.mss\n"), square = text.find("    // square.mss\n");
    ASSERT_NE(start, std::string::npos);
    ASSERT_NE(square, std::string::npos);
    const size_t end = text.find("\n\n", square);
    auto unindented = [](const std::string& block) {
        std::string out;
        std::istringstream lines(block);
        for (std::string line; std::getline(lines, line);) out += (line.rfind("    ", 0) == 0 ? line.substr(4) : line) + "\n";
        return out;
    };
    TScriptHarness script;
    script.AddPage("square.msb", unindented(text.substr(square, end - square)));
    script.AddPage("start.msb", unindented(text.substr(start, square - start)));
    script.calls.StartPage("start.msb");
    script.Frames(2);
    EXPECT_EQ(script.Int("total"), 37);
    EXPECT_EQ(script.Int("squared"), 1369);
}

TEST(CallMan, WaitFinishesInTheSeventhFrameAfterItsStart)
{
    TScriptHarness script;
    script.AddPage("main.msb",
                   "VarNew name: t; type: int; continue: yes\n"
                   "Calc expr: t = 1\n"
                   "Wait time: 100\n"
                   "Calc expr: t = 2\n");
    script.calls.StartPage("main.msb");
    script.Frames(9);  // frame 1 Calc, frame 2 the Wait starts, frames 3-9 count 105 ms
    EXPECT_EQ(script.Int("t"), 1);
    script.Frame();
    EXPECT_EQ(script.Int("t"), 2);
}

TEST(CallMan, WaitWithAConditionEndsWhenItTurnsFalse)
{
    TScriptHarness script;
    script.table.AddVariable("go", PT_BOOL)->Value()->SetFlag(true);
    script.AddPage("main.msb",
                   "VarNew name: t; type: int; continue: yes\n"
                   "Wait cond: go\n"
                   "Calc expr: t = 2\n");
    script.calls.StartPage("main.msb");
    script.Frames(20);
    EXPECT_EQ(script.Int("t"), 0);
    script.table.Find("go")->Value()->SetFlag(false);
    script.Frames(2);
    EXPECT_EQ(script.Int("t"), 2);
}

TEST(CallMan, EventHandlerRunsWithSenderLabelAndParameters)
{
    TScriptHarness script;
    script.table.AddVariable("who", PT_STR);
    script.table.AddVariable("x", PT_STR);
    script.AddPage("main.msb", "Wait\n");
    script.AddPage("h.msb",
                   "Calc expr: x = \"wrong\"; continue: yes\n"
                   "Label name: click\n"
                   "Calc expr: who = @Sender\n"
                   "Calc expr: x = @ParamStr[1]\n");
    script.calls.StartPage("main.msb");
    script.Frame();
    script.components.Post("h.mss:click", "btn", {"10", "20"});
    script.Frame();
    EXPECT_EQ(script.Str("who"), "btn");
    EXPECT_EQ(script.Str("x"), "20");
    EXPECT_TRUE(script.components.queue.empty());
    EXPECT_EQ(script.calls.Mode, 0);
    EXPECT_EQ(script.calls.Stack.Count(), 0);
}

TEST(CallMan, HoldingWaitBlocksEventsUntilItEnds)
{
    TScriptHarness script;
    script.table.AddVariable("hits", PT_INT);
    script.AddPage("main.msb", "Wait time: 60; hold: TRUE\nWait\n");
    script.AddPage("h.msb", "Calc expr: hits = hits + 1\n");
    script.calls.StartPage("main.msb");
    script.Frame();
    script.components.Post("h.msb", "btn");
    script.Frames(3);
    EXPECT_EQ(script.Int("hits"), 0);
    script.Frames(3);
    EXPECT_EQ(script.Int("hits"), 1);
}

TEST(CallMan, NonHoldingWaitLetsAHandlerRunAndResumesWithItsTime)
{
    TScriptHarness script;
    script.table.AddVariable("hits", PT_INT);
    script.table.AddVariable("t", PT_INT);
    script.AddPage("main.msb", "Wait time: 100\nCalc expr: t = 1\n");
    script.AddPage("h.msb", "Calc expr: hits = hits + 1\n");
    script.calls.StartPage("main.msb");
    script.Frames(3);  // entered, first frame cleared, one subtraction
    script.components.Post("h.msb", "btn");
    script.Frame();
    EXPECT_EQ(script.Int("hits"), 1);  // and the Wait counted that frame too: 55 left
    script.Frames(4);
    EXPECT_EQ(script.Int("t"), 0);
    script.Frame();
    EXPECT_EQ(script.Int("t"), 1);
}

TEST(CallMan, EventArrivingWhileAHandlerWaitsRunsNestedFirst)
{
    TScriptHarness script;
    script.table.AddVariable("log", PT_STR);
    script.AddPage("main.msb", "Wait\n");
    script.AddPage("h1.msb", "Calc expr: log = log ++ \"a\"\nDoEvent\nCalc expr: log = log ++ \"b\"\n");
    script.AddPage("h2.msb", "Calc expr: log = log ++ \"c\"\n");
    script.calls.StartPage("main.msb");
    script.components.Post("h1.msb", "one");
    script.components.Post("h2.msb", "two");
    script.Frame();
    EXPECT_EQ(script.Str("log"), "a");
    EXPECT_EQ(script.calls.Mode, 2);
    script.Frame();
    EXPECT_EQ(script.Str("log"), "acb");
    EXPECT_EQ(script.calls.Mode, 0);
    EXPECT_EQ(script.calls.EventLevel, 2);
    EXPECT_TRUE(script.components.queue.empty());
}

TEST(CallMan, PCResetInsideAHandlerResumesTheMainScriptAtTheTarget)
{
    TScriptHarness script;
    script.table.AddVariable("t", PT_INT);
    script.table.AddVariable("h", PT_INT);
    script.AddPage("main.msb", "Wait\nLabel name: there\nCalc expr: t = 5\nWait\n");
    script.AddPage("h.msb", "PCReset page: main.msb; target: 1\nCalc expr: h = 1\n");
    script.calls.StartPage("main.msb");
    script.Frame();
    script.components.Post("h.msb", "btn");
    script.Frames(3);
    EXPECT_EQ(script.Int("h"), 1);  // the handler finished
    EXPECT_EQ(script.Int("t"), 5);  // then the main script went on at the target
}

TEST(CallMan, ResetClearsTheGameVariablesAndRestarts)
{
    TScriptHarness script;
    script.AddPage("main.msb",
                   "VarNew name: before; type: int; continue: yes\n"
                   "Reset page: main.msb; target: after; continue: yes\n"
                   "Label name: after; continue: yes\n"
                   "VarNew name: later; type: int\n");
    script.calls.StartPage("main.msb");
    script.Frames(2);
    EXPECT_FALSE(script.Has("before"));
    EXPECT_TRUE(script.Has("later"));
}

TEST(CallMan, ElevenPagesEvictTheLeastRecentlyUsedButNeverTheCurrent)
{
    TScriptHarness script;
    for (int i = 0; i <= 11; ++i) script.AddPage("p" + std::to_string(i) + ".msb", "Wait\n");
    for (int i = 0; i <= 10; ++i) script.calls.GetPage("p" + std::to_string(i) + ".msb");
    EXPECT_EQ(script.calls.PageCount(), 10);
    script.calls.GetPage("p0.msb");
    EXPECT_EQ(script.loads["p0.msb"], 2);

    TScriptHarness fresh;
    for (int i = 0; i <= 11; ++i) fresh.AddPage("p" + std::to_string(i) + ".msb", "Wait\n");
    fresh.calls.CurrentPage = fresh.calls.GetPage("p0.msb");  // soon the least recently used
    for (int i = 1; i <= 11; ++i) fresh.calls.GetPage("p" + std::to_string(i) + ".msb");
    EXPECT_EQ(fresh.calls.PageCount(), 10);
    fresh.calls.GetPage("p0.msb");
    EXPECT_EQ(fresh.loads["p0.msb"], 1);
    fresh.calls.GetPage("p1.msb");
    EXPECT_EQ(fresh.loads["p1.msb"], 2);
}

TEST(CallMan, RunawayRecursionEndsTheScriptWithAMessage)
{
    std::vector<std::string> shown;
    MessageBoxPresenter previous = SetMessageBoxPresenter([&](const MessageBoxRequest& request) {
        shown.push_back(request.text);
        return MessageResult::Ok;
    });
    TScriptHarness script;
    script.AddPage("rec.msb", "Call page: rec.msb; continue: yes\n");
    script.calls.StartPage("rec.msb");
    script.Frame();
    SetMessageBoxPresenter(previous);
    EXPECT_TRUE(QuitRequested);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], page_messages::CallTooDeep());
    EXPECT_LE(script.calls.Stack.Count(), TCallMan::kMaxStackDepth);
    QuitRequested = false;
}

TEST(CallMan, RunReturnsAtOnceWhileQuitIsRequested)
{
    TScriptHarness script;
    script.AddPage("main.msb", "VarNew name: n; type: int\n");
    script.calls.StartPage("main.msb");
    QuitRequested = true;
    script.Frame();
    QuitRequested = false;
    EXPECT_FALSE(script.Has("n"));
    script.Frame();
    EXPECT_TRUE(script.Has("n"));
}

TEST(CallMan, TraceLinesNameClockPageAndLine)
{
    TScriptHarness script;
    std::vector<std::string> lines;
    script.calls.TraceWriter = [&](const std::string& line) { lines.push_back(line); };
    script.AddPage("main.msb", "Wait time: 30\n");
    script.calls.StartPage("main.msb");
    script.Frames(3);
    ASSERT_EQ(lines.size(), 1u);  // a command that stays is traced once
    EXPECT_EQ(lines[0], "0000000f : main.msb(1)");
}

TEST(CallMan, TerminateRequestsQuitAndClose)
{
    TScriptHarness script;
    bool closed = false;
    script.calls.RequestClose = [&] { closed = true; };
    script.AddPage("main.msb", "Terminate; continue: yes\nVarNew name: n; type: int\n");
    script.calls.StartPage("main.msb");
    script.Frame();
    EXPECT_TRUE(QuitRequested);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(script.Has("n"));
    QuitRequested = false;
}

TEST(CallMan, GameSaveAndLoadRecordTheirRequests)
{
    TScriptHarness script;
    int32_t saved_slot = -1, loaded_slot = -1, index = -1;
    std::string page, caption;
    script.calls.RequestSave = [&](int32_t s, const std::string& p, int32_t i, const std::string& c) {
        saved_slot = s, page = p, index = i, caption = c;
    };
    script.calls.RequestLoad = [&](int32_t s) { loaded_slot = s; };
    script.AddPage("main.msb", "GameSave slot: 1 + 2; page: resume.msb; index: 4; caption: \"cap\"\nGameLoad slot: 7\n");
    script.calls.StartPage("main.msb");
    script.Frames(2);
    EXPECT_EQ(saved_slot, 3);
    EXPECT_EQ(page, "resume.msb");
    EXPECT_EQ(index, 4);
    EXPECT_EQ(caption, "cap");
    EXPECT_EQ(loaded_slot, 7);
}

}  // namespace
}  // namespace mobu
