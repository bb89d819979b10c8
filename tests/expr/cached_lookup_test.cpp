// One compiled expression run again and again while the variable table changes between the
// runs: every run must see the variables as a fresh name lookup would, however the run
// keeps what it looked up before.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "expr/build_mobu_parser.h"
#include "expr/custom_param.h"
#include "expr/mobu_parser.h"
#include "expr/param_collection.h"
#include "expr/param_types.h"
#include "expr/sys_func_man.h"

namespace mobu {
namespace {

std::unique_ptr<TMobuParser> Compiled(const std::string& text)
{
    TBuildMobuParser compiler;
    compiler.Compile(text);
    auto parser = std::make_unique<TMobuParser>();
    parser->LoadFromBytes(compiler.ToStream());
    return parser;
}

struct TWorld {
    TParamCollection table;
    TSysFuncMan functions{table};
    TParamCollectionItem* Add(const std::string& name, uint8_t type, TVarScope scope = TVarScope::Global)
    {
        return table.AddVariable(name, type, scope);
    }
    void SetInt(const std::string& name, int32_t value) { table.Find(name)->Value()->SetInteger(value); }
    void Delete(const std::string& name) { table.Delete(table.Find(name)); }
};

// A case: the table before the first run, the expression, then a change of the table before
// the second run; after each run, the text of the expression's result (`read` empty) or of
// the variable `read`.
struct TCase {
    const char* name;
    std::function<void(TWorld&)> setup;
    const char* expression;
    const char* read;
    const char* first;
    std::function<void(TWorld&)> change;
    const char* second;
};

std::string Outcome(const TMobuParser& parser, TWorld& world, const char* read)
{
    if (!parser.LastError().empty()) return "(failed)";
    if (*read) {
        TParamCollectionItem* item = world.table.Find(read);
        return item ? item->Value()->GetString() : "(gone)";
    }
    return parser.Result() ? parser.Result()->GetString() : "(none)";
}

const std::vector<TCase>& Cases()
{
    static const std::vector<TCase> cases = {
        {"DeletedThenRecreated",
         [](TWorld& w) { w.Add("x", PT_INT)->Value()->SetInteger(1); },
         "x + 1", "", "2",
         [](TWorld& w) {
             w.Delete("x");
             w.Add("x", PT_INT)->Value()->SetInteger(10);
         },
         "11"},
        {"RecreatedAsAnotherType",
         [](TWorld& w) { w.Add("x", PT_INT)->Value()->SetInteger(1); },
         "x ++ \"!\"", "", "1!",
         [](TWorld& w) {
             w.Delete("x");
             w.Add("x", PT_STR)->Value()->SetString("a");
         },
         "a!"},
        {"DeletedLeavesUnknown",
         [](TWorld& w) { w.Add("x", PT_INT)->Value()->SetInteger(1); },
         "x * 3", "", "3",
         [](TWorld& w) { w.Delete("x"); },
         "(failed)"},
        {"DeletedOtherVariableKeepsAnswer",
         [](TWorld& w) {
             w.Add("y", PT_INT);
             w.Add("x", PT_INT)->Value()->SetInteger(4);
         },
         "x * 3", "", "12",
         [](TWorld& w) {
             w.Delete("y");
             w.SetInt("x", 5);
         },
         "15"},
        {"AssignmentTargetRecreated",
         [](TWorld& w) {
             w.Add("x", PT_INT);
             w.Add("r", PT_INT);
         },
         "x = x + 1", "x", "1",
         [](TWorld& w) {
             w.Delete("x");
             w.Add("x", PT_INT)->Value()->SetInteger(41);
         },
         "42"},
        {"PushedAndPopped",
         [](TWorld& w) {
             w.Add("x", PT_INT)->Value()->SetInteger(1);
             w.table.PushVars({"x"});
         },
         "x = x + 1", "x", "2",
         [](TWorld& w) { w.table.PopVars(); },
         "2"},
        {"PoppedBackToAnotherType",
         [](TWorld& w) {
             w.Add("x", PT_INT)->Value()->SetInteger(7);
             w.table.PushVars({"x"});
             w.Delete("x");
             w.Add("x", PT_STR)->Value()->SetString("s");
         },
         "x ++ \"!\"", "", "s!",
         [](TWorld& w) { w.table.PopVars(); },
         "7!"},
        {"LoadedFromSave",
         [](TWorld& w) { w.Add("x", PT_INT)->Value()->SetInteger(3); },
         "x + 1", "", "4",
         [](TWorld& w) {
             TParamCollection saved;
             saved.AddVariable("x", PT_INT)->Value()->SetInteger(30);
             ByteWriter out;
             saved.SaveGameVars(out);
             const std::string bytes = out.Take();
             ByteReader in(bytes);
             w.table.LoadGameVars(in, 140);
         },
         "31"},
        {"LocalShadowsGlobal",
         [](TWorld& w) { w.Add("x", PT_INT)->Value()->SetInteger(1); },
         "x", "", "1",
         [](TWorld& w) {
             w.table.CurrentDepth = 1;
             w.Add("x", PT_INT, TVarScope::Local)->Value()->SetInteger(5);
         },
         "5"},
        {"LocalOfAnotherDepthHidden",
         [](TWorld& w) {
             w.Add("x", PT_INT)->Value()->SetInteger(1);
             w.table.CurrentDepth = 1;
             w.Add("x", PT_INT, TVarScope::Local)->Value()->SetInteger(5);
         },
         "x", "", "5",
         [](TWorld& w) { w.table.CurrentDepth = 0; },
         "1"},
        {"LocalMovedDownByRemovedFrame",
         // A local of a deeper frame becomes visible when a frame below it is removed, though
         // no variable was added or deleted.
         [](TWorld& w) {
             w.Add("x", PT_INT)->Value()->SetInteger(1);
             w.table.CurrentDepth = 2;
             w.Add("x", PT_INT, TVarScope::Local)->Value()->SetInteger(5);
             w.table.CurrentDepth = 1;
         },
         "x", "", "1",
         [](TWorld& w) {
             w.table.CurrentDepth = 2;
             w.table.RemoveOwnerDepth(0);
             w.table.CurrentDepth = 1;
         },
         "5"},
        {"Renamed",
         [](TWorld& w) {
             w.Add("x", PT_INT)->Value()->SetInteger(1);
             w.Add("y", PT_INT)->Value()->SetInteger(2);
         },
         "x", "", "1",
         [](TWorld& w) {
             w.table.Find("x")->SetName("z");
             w.table.Find("y")->SetName("x");
         },
         "2"},
        {"CalcOfRunTimeText",
         [](TWorld& w) {
             w.Add("x", PT_INT)->Value()->SetInteger(1);
             w.Add("code", PT_STR)->Value()->SetString("x = x * 10");
         },
         "Calc(code)", "x", "10",
         [](TWorld& w) { w.table.Find("code")->Value()->SetString("x = x + 5"); },
         "15"},
        {"CalcCreatesVariable",
         [](TWorld& w) {
             w.Add("x", PT_INT)->Value()->SetInteger(1);
             w.Add("code", PT_STR)->Value()->SetString("x = x + 1");
         },
         "Calc(code)", "x", "2",
         [](TWorld& w) {
             w.Delete("x");
             w.Add("x", PT_INT)->Value()->SetInteger(100);
         },
         "101"},
        {"StringBuiltAcrossRuns",
         [](TWorld& w) { w.Add("s", PT_STR); },
         "s = s ++ \"ab\"", "s", "ab",
         [](TWorld& w) {
             w.Delete("s");
             w.Add("s", PT_STR)->Value()->SetString("z");
         },
         "zab"},
        {"ArrayBecomesScalarOnWrite",
         [](TWorld& w) {
             auto* x = w.Add("x", PT_INT)->Value();
             x->SetDims({3});
             x->SetIntegerAt(0, 4);
         },
         "x = x + 1", "x", "5",
         [](TWorld& w) {
             auto* x = w.table.Find("x")->Value();
             x->SetDims({2});
             x->SetIntegerAt(0, 9);
         },
         "10"},
    };
    return cases;
}

class CachedLookup : public ::testing::TestWithParam<size_t> {};

TEST_P(CachedLookup, SeesTheTableAsAFreshLookupWould)
{
    const TCase& c = Cases()[GetParam()];
    TWorld world;
    c.setup(world);
    auto parser = Compiled(c.expression);
    parser->Execute(world.functions);
    EXPECT_EQ(Outcome(*parser, world, c.read), c.first);
    c.change(world);
    parser->Execute(world.functions);
    EXPECT_EQ(Outcome(*parser, world, c.read), c.second);
    // A fresh compile of the same text, run once on a copy of the changed table, agrees.
    TWorld fresh;
    c.setup(fresh);
    Compiled(c.expression)->Execute(fresh.functions);
    c.change(fresh);
    auto again = Compiled(c.expression);
    again->Execute(fresh.functions);
    EXPECT_EQ(Outcome(*again, fresh, c.read), c.second);
}

INSTANTIATE_TEST_SUITE_P(Cases, CachedLookup, ::testing::Range<size_t>(0, Cases().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) { return std::string(Cases()[info.param].name); });

}  // namespace
}  // namespace mobu
