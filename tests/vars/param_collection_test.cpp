#include <gtest/gtest.h>

#include <random>

#include "core/mobu_error.h"
#include "expr/param_collection.h"
#include "expr/param_values.h"
#include "expr/param_var.h"
#include "expr/system_variables.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EMobuError& error) {
        return Cp932ToUtf8(error.what());
    }
    return "(no error)";
}

TEST(ParamCollection, StartsWithTheSystemVariables)
{
    TParamCollection table;
    ASSERT_EQ(table.Count(), 51);
    EXPECT_EQ(table.Items(0)->Name(), "@Result");
    EXPECT_EQ(table.Items(50)->Name(), "@StackCount");
    EXPECT_TRUE(table.Items(7)->IsSystem());
    EXPECT_EQ(table.Find("@textdelay"), table.Items(7));
    EXPECT_EQ(table.Find("@TextDelay")->Value()->GetInteger(), 50);
    for (int i = 0; i < 51; ++i) EXPECT_EQ(table.Items(i)->CachedIndex(), i);
}

TEST(ParamCollection, HashOfNames)
{
    EXPECT_EQ(VariableNameHash(""), 0);
    EXPECT_EQ(VariableNameHash("a"), 16);
    // n = 3: 48 + 'b' + 'a' = 48 + 98 + 97 = 243
    EXPECT_EQ(VariableNameHash("abc"), 243);
    // n = 20: 320 + 'x' + 'a' = 320 + 120 + 97 = 537 -> 25
    EXPECT_EQ(VariableNameHash("abcdefghijklmnopqrxs"), (320 + 'x' + 'a') % 256);
    TParamCollection table;
    auto* item = table.AddVariable("ABC", PT_INT);
    EXPECT_EQ(item->HashIndex(), 243);
}

TEST(ParamCollection, NamesCompareWithoutCaseAndAreChecked)
{
    TParamCollection table;
    auto* item = table.AddVariable("Abc", PT_INT);
    EXPECT_EQ(table.Find("aBC"), item);
    EXPECT_EQ(table.Find("abd"), nullptr);
    EXPECT_EQ(ErrorOf([&] { table.AddVariable("1abc", PT_INT); }), "\"1abc\"：変数名が不正です");
    EXPECT_EQ(ErrorOf([&] { table.AddVariable("a b", PT_INT); }), "\"a b\"：変数名が不正です");
    EXPECT_EQ(ErrorOf([&] { table.AddVariable("", PT_INT); }), "\"\"：変数名が不正です");
    EXPECT_EQ(table.Count(), 52);  // failed names leave nothing behind
}

TEST(ParamCollection, TrailBytesAreNeverFolded)
{
    // 0x83 0x41 is "ア"; 0x83 0x61 is "ャ": the trail bytes look like 'A' and 'a'.
    TParamCollection table;
    auto* a = table.AddVariable("\x83\x41", PT_INT);
    auto* small = table.AddVariable("\x83\x61", PT_INT);
    EXPECT_EQ(table.Find("\x83\x41"), a);
    EXPECT_EQ(table.Find("\x83\x61"), small);
    auto* x = table.AddVariable("\x83\x41X", PT_INT);
    EXPECT_EQ(table.Find("\x83\x41x"), x);
}

TEST(ParamCollection, LocalsAndGlobalsByDepth)
{
    TParamCollection table;
    auto* global = table.Declare("v", PT_INT, TVarScope::Global);
    table.CurrentDepth = 2;
    auto* local = table.Declare("v", PT_INT, TVarScope::Local);
    EXPECT_NE(global, local);
    EXPECT_EQ(table.Find("v"), local);
    table.CurrentDepth = 1;
    EXPECT_EQ(table.Find("v"), global);
    table.CurrentDepth = 3;
    EXPECT_EQ(table.Find("v"), global);
    table.CurrentDepth = 2;
    EXPECT_EQ(table.Find("V"), local);
    table.DeleteOwned(2);
    EXPECT_EQ(table.Find("v"), global);
}

TEST(ParamCollection, LocalOnlyVisibleAtItsDepth)
{
    TParamCollection table;
    table.CurrentDepth = 2;
    table.Declare("loc", PT_STR, TVarScope::Local);
    table.CurrentDepth = 1;
    EXPECT_EQ(table.Find("loc"), nullptr);
    table.CurrentDepth = 3;
    EXPECT_EQ(table.Find("loc"), nullptr);
    table.CurrentDepth = 2;
    EXPECT_NE(table.Find("loc"), nullptr);
}

TEST(ParamCollection, OldestGlobalWinsAmongDuplicates)
{
    TParamCollection table;
    auto* first = table.AddVariable("dup", PT_INT);
    table.AddVariable("dup", PT_STR);
    EXPECT_EQ(table.Find("dup"), first);
}

TEST(ParamCollection, DeclareInitialValueAndStatusKeepsValue)
{
    TParamCollection table;
    TParamFloat initial;
    initial.SetFloat(2.75L);
    auto* i = table.Declare("i", PT_INT, TVarScope::Global, [&] { return &initial; });
    EXPECT_EQ(i->Value()->GetInteger(), 2);
    auto* st = table.Declare("st", PT_STR, TVarScope::Status, [&] { return &initial; });
    EXPECT_TRUE(st->IsStatus);
    EXPECT_EQ(st->Value()->GetString(), "2.75");
    TParamStr other;
    other.SetString("new");
    EXPECT_EQ(table.Declare("st", PT_STR, TVarScope::Status, [&] { return &other; }), st);
    EXPECT_EQ(st->Value()->GetString(), "2.75");
    EXPECT_EQ(ErrorOf([&] { table.Declare("", PT_INT, TVarScope::Global); }), "変数名がありません");
    // Redeclaring collapses an array to a scalar.
    i->Value()->SetDims({3});
    TParamInt five;
    five.SetInteger(5);
    EXPECT_EQ(table.Declare("I", PT_INT, TVarScope::Global, [&] { return &five; }), i);
    EXPECT_EQ(i->Value()->Count(), 1);
    EXPECT_EQ(i->Value()->GetInteger(), 5);
    auto* a = table.Declare("auto", PT_INT, TVarScope::AutoDestroy);
    EXPECT_EQ(a->OwnerDepth, 0);
    EXPECT_FALSE(a->IsLocal);
}

TEST(ParamCollection, DeleteKeepsPositionsAndChains)
{
    TParamCollection table;
    auto* a = table.AddVariable("a", PT_INT);
    auto* b = table.AddVariable("b", PT_INT);
    auto* c = table.AddVariable("c", PT_INT);
    table.Delete(a);
    EXPECT_EQ(b->CachedIndex(), 51);
    EXPECT_EQ(c->CachedIndex(), 52);
    EXPECT_EQ(table.Find("a"), nullptr);
    EXPECT_EQ(table.Find("c"), c);
    table.Delete(table.Items(0));  // system variables stay
    EXPECT_EQ(table.Count(), 53);
}

TEST(ParamCollection, BindElementOffsets)
{
    TParamCollection table;
    auto* arr = table.AddVariable("arr", PT_INT);
    arr->Value()->SetDims({3, 4});
    TParamVar alias;
    table.BindElement(alias, "arr", {2, 3});
    EXPECT_EQ(alias.Offset, 11);
    alias.SetInteger(99);
    EXPECT_EQ(arr->Value()->GetIntegerAt(11), 99);
    EXPECT_EQ(alias.GetInteger(), 99);
    EXPECT_EQ(alias.VarType(), PT_INT);
    table.BindElement(alias, "arr", {0, 5});
    EXPECT_EQ(alias.Offset, 5);
    EXPECT_EQ(ErrorOf([&] { table.BindElement(alias, "arr", {3, 0}); }), "arr[3,0]\r\n要素数を超えています");
    EXPECT_EQ(ErrorOf([&] { table.BindElement(alias, "arr", {1}); }), "arr[1]\r\n添え字が不正です");
    table.BindElement(alias, "arr", {-1, 0});
    EXPECT_EQ(ErrorOf([&] { alias.GetInteger(); }), "[-4]:配列の添字が不正です");
    EXPECT_NO_THROW(table.BindElement(alias, "arr", {INT32_MIN, INT32_MIN}));
    EXPECT_THROW(table.BindElement(alias, "arr", {INT32_MAX, INT32_MAX}), EMobuError);
    auto* x = table.AddVariable("x", PT_STR);
    x->Value()->SetString("s");
    table.BindElement(alias, "x", {0});
    EXPECT_EQ(alias.GetString(), "s");
}

TEST(ParamCollection, AliasDoesNotDangleAfterDelete)
{
    TParamCollection table;
    auto* arr = table.AddVariable("arr", PT_INT);
    arr->Value()->SetDims({3});
    arr->Value()->SetIntegerAt(1, 5);
    TParamVar alias;
    table.BindElement(alias, "arr", {1});
    EXPECT_EQ(alias.GetInteger(), 5);
    table.ResetVars();
    EXPECT_EQ(alias.Target(), nullptr);
    EXPECT_EQ(alias.GetInteger(), 0);
    EXPECT_EQ(alias.VarType(), PT_NONE);
    alias.SetInteger(3);  // ignored
    // A new variable of the same name is not the old target.
    table.AddVariable("arr", PT_INT)->Value()->SetDims({3});
    EXPECT_EQ(alias.Target(), nullptr);
}

TEST(ParamCollection, TempFollowsItsTargetByName)
{
    TParamCollection table;
    auto* temp = table.Find("@Temp")->Value();
    EXPECT_EQ(temp->GetInteger(), 0);
    temp->SetInteger(5);  // ignored
    EXPECT_EQ(temp->Count(), 1);
    auto* s = table.AddVariable("s", PT_STR);
    table.TempTargetName = "s";
    temp->SetString("hello");
    EXPECT_EQ(s->Value()->GetString(), "hello");
    EXPECT_EQ(temp->VarType(), PT_STR);
    table.Delete(s);
    EXPECT_EQ(temp->GetString(), "");
    table.TempTargetName = "@Temp";  // never forwards to itself
    EXPECT_EQ(temp->GetInteger(), 0);
}

TEST(ParamCollection, SystemVariableConversions)
{
    TParamCollection table;
    auto* delay = table.Find("@TextDelay")->Value();
    delay->SetString("abc");  // does not parse: unchanged
    EXPECT_EQ(delay->GetInteger(), 50);
    delay->SetString("70");
    EXPECT_EQ(table.TextDelay, 70);
    EXPECT_EQ(delay->GetIntegerAt(5), 70);  // not an array: the scalar
    EXPECT_EQ(delay->DimCount(), 1);
    EXPECT_EQ(delay->DimSize(0), 1);
    auto* cursor = table.Find("@Cursor")->Value();
    EXPECT_FALSE(cursor->GetFlag());
    cursor->SetString("x");
    EXPECT_TRUE(cursor->GetFlag());  // a non-empty system string reads TRUE
    auto* pi = table.Find("@Pi")->Value();
    EXPECT_EQ(pi->GetString(), "3.14159265358979");
    pi->SetFloat(1);  // read-only
    EXPECT_EQ(pi->GetInteger(), 3);
    EXPECT_EQ(table.Find("@1Hour")->Value()->GetFloat(), 1.0L / 24);
    table.CurrentDepth = 3;
    EXPECT_EQ(table.Find("@StackCount")->Value()->GetInteger(), 3);
    EXPECT_EQ(ErrorOf([&] { delay->SetDims({2}); }), "内部エラー");
    table.ResetVars();
    EXPECT_EQ(delay->GetInteger(), 50);
    EXPECT_EQ(cursor->GetString(), "");
}

TEST(ParamCollection, MakeCopyAndCopyConvert)
{
    TParamCollection table;
    auto* a = table.AddVariable("a", PT_FLOAT);
    a->Value()->SetDims({2, 2});
    a->Value()->SetFloatAt(3, 2.5L);
    auto copy = table.MakeCopy("A");
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->VarType(), PT_FLOAT);
    EXPECT_EQ(copy->Dims, (std::vector<int32_t>{2, 2}));
    EXPECT_EQ(copy->GetFloatAt(3), 2.5L);
    EXPECT_EQ(table.MakeCopy("missing"), nullptr);
    auto sel = table.MakeCopy("@TextDelay");
    EXPECT_EQ(sel->GetInteger(), 50);
    table.AddVariable("____d_1", PT_NONE);
    EXPECT_EQ(ErrorOf([&] { table.MakeCopy("____d_1"); }), "____d_1:不正な変数です");

    auto* s = table.AddVariable("s", PT_STR);
    TParamCollection::CopyConvert(s, *a->Value());
    EXPECT_EQ(s->Value()->Dims, (std::vector<int32_t>{2, 2}));
    EXPECT_EQ(s->Value()->GetStringAt(3), "2.5");
    TParamInt scalar;
    scalar.SetInteger(8);
    TParamCollection::CopyConvert(s, scalar);
    EXPECT_TRUE(s->Value()->Dims.empty());  // a scalar source leaves a scalar, not an array of one
    EXPECT_EQ(s->Value()->Count(), 1);
    EXPECT_EQ(s->Value()->GetString(), "8");
}

TEST(ParamCollection, StatusVariablesSurviveReset)
{
    TParamCollection table;
    table.AddVariable("keep", PT_INT, TVarScope::Status)->Value()->SetInteger(4);
    table.AddVariable("drop", PT_INT);
    table.ResetVars();
    EXPECT_EQ(table.Find("drop"), nullptr);
    EXPECT_EQ(table.Find("keep")->Value()->GetInteger(), 4);
}

}  // namespace
}  // namespace mobu

namespace mobu {
namespace {

// The per-name index and the bucket chains give the same answer through random adds,
// renames, deletes, locals at several depths and duplicates.
TEST(ParamCollection, NameIndexAgreesWithBucketChains)
{
    TParamCollection table;
    std::mt19937 random(7);
    const char* names[] = {"a", "A", "ab", "Ab", "flag1", "FLAG1", "\x83\x41", "x_y", "q"};
    for (int step = 0; step < 3000; ++step) {
        const std::string name = names[random() % std::size(names)];
        table.CurrentDepth = static_cast<int32_t>(random() % 3);
        switch (random() % 5) {
        case 0:
        case 1: {
            auto scope = static_cast<TVarScope>(random() % 4);
            table.AddVariable(name, PT_INT, scope);
            break;
        }
        case 2:
            if (table.Count() > 51) table.Delete(table.Items(51 + static_cast<int32_t>(random() % (table.Count() - 51))));
            break;
        case 3:
            if (table.Count() > 51) table.Items(51 + static_cast<int32_t>(random() % (table.Count() - 51)))->SetName(name);
            break;
        default: table.DeleteOwned(static_cast<int32_t>(random() % 3)); break;
        }
        for (const char* probe : names) {
            ASSERT_EQ(table.Find(probe), table.FindInChain(probe)) << step << " " << probe;
        }
    }
}

}  // namespace
}  // namespace mobu

namespace mobu {
namespace {

TEST(ParamCollection, RemoveOwnerDepthShiftsDeeperOwners)
{
    TParamCollection table;
    table.CurrentDepth = 1;
    table.AddVariable("one", PT_INT, TVarScope::AutoDestroy);
    table.CurrentDepth = 2;
    table.AddVariable("two", PT_INT, TVarScope::Local);
    table.CurrentDepth = 3;
    table.AddVariable("three", PT_INT, TVarScope::Local);
    table.AddVariable("global", PT_INT);
    table.RemoveOwnerDepth(2);
    table.CurrentDepth = 2;
    EXPECT_EQ(table.Find("two"), nullptr);
    ASSERT_NE(table.Find("three"), nullptr);
    EXPECT_EQ(table.Find("three")->OwnerDepth, 2);
    EXPECT_EQ(table.Find("one")->OwnerDepth, 1);
    EXPECT_EQ(table.Find("global")->OwnerDepth, -1);
}

}  // namespace
}  // namespace mobu
