// Running compiled expressions over the variable table: the evaluation rules of each opcode,
// the type of temporaries, the failure rules, and generated integer vectors.
#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/mobu_error.h"
#include "expr/build_mobu_parser.h"
#include "expr/custom_param.h"
#include "expr/expr_messages.h"
#include "expr/expr_quote.h"
#include "expr/mobu_parser.h"
#include "expr/param_collection.h"
#include "expr/param_types.h"
#include "expr/sys_func_man.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

class Evaluator : public ::testing::Test {
protected:
    TParamCollection table;
    TSysFuncMan functions{table};

    TCustomParam& Declare(const std::string& name, uint8_t type) { return *table.AddVariable(name, type)->Value(); }
    TCustomParam& Var(const std::string& name) { return *table.Find(name)->Value(); }

    // Compiles, reloads from the stream and runs; returns the parser for its result.
    std::unique_ptr<TMobuParser> Run(const std::string& text)
    {
        TBuildMobuParser compiler;
        compiler.Compile(text);
        auto parser = std::make_unique<TMobuParser>();
        parser->LoadFromBytes(compiler.ToStream());
        parser->Execute(functions);
        return parser;
    }
    std::string ResultText(const std::string& text)
    {
        auto parser = Run(text);
        return parser->Result() ? parser->Result()->GetString() : "(none)";
    }
    uint8_t ResultType(const std::string& text)
    {
        auto parser = Run(text);
        return parser->Result() ? parser->Result()->VarType() : PT_NONE;
    }
};

TEST_F(Evaluator, FollowsPrecedenceAndAssociativity)
{
    Declare("a", PT_INT);
    Run("a = 1 + 2 * 3");
    EXPECT_EQ(Var("a").GetInteger(), 7);
    Run("a = (1 + 2) * 3");
    EXPECT_EQ(Var("a").GetInteger(), 9);
    Run("a = 10 - 4 - 3");
    EXPECT_EQ(Var("a").GetInteger(), 3);
    Run("a = -5");
    EXPECT_EQ(Var("a").GetInteger(), -5);
    Run("a = 3 * -2");
    EXPECT_EQ(Var("a").GetInteger(), -6);
    Run("a = 2 - -1");
    EXPECT_EQ(Var("a").GetInteger(), 3);
}

TEST_F(Evaluator, TemporariesTakeTheirTypeFromTheOperands)
{
    TCustomParam& r = Declare("r", PT_FLOAT);
    Run("r = 7 / 2");
    EXPECT_EQ(r.GetFloat(), 3.0L);
    Run("r = 7.0 / 2");
    EXPECT_EQ(r.GetFloat(), 3.5L);
    EXPECT_EQ(ResultText("\"ab\" ++ \"cd\""), "abcd");
    EXPECT_EQ(ResultText("\"ab\" + \"cd\""), "0");
    EXPECT_EQ(ResultText("\"ab\" + 1"), "1");
    EXPECT_EQ(ResultType("\"ab\" + 1"), PT_STR);
    EXPECT_EQ(ResultType("1 + 1.5"), PT_FLOAT);
    EXPECT_EQ(ResultType("7 % 2.5"), PT_INT);
    EXPECT_EQ(ResultType("1 < 2"), PT_BOOL);
    EXPECT_EQ(ResultText("7.5 % 2"), "1");
}

TEST_F(Evaluator, ComparesByTheTypeOfTheFirstOperand)
{
    Declare("x", PT_INT).SetInteger(3);
    EXPECT_EQ(ResultType("x == 3"), PT_BOOL);
    EXPECT_EQ(ResultText("x == 3"), "TRUE");
    EXPECT_EQ(ResultText("1 == 1.9"), "TRUE");
    EXPECT_EQ(ResultText("1.9 == 1"), "FALSE");
    EXPECT_EQ(ResultText("\"abc\" < \"abd\""), "TRUE");
    EXPECT_EQ(ResultText("\"B\" < \"a\""), "TRUE");
    EXPECT_EQ(ResultText("\"ab\" < \"abc\""), "TRUE");
    EXPECT_EQ(ResultText("\"\x82\xa0\" > \"z\""), "TRUE");  // unsigned bytes
    EXPECT_EQ(ResultText("FALSE < TRUE"), "TRUE");
    EXPECT_EQ(ResultText("3 <> 3"), "FALSE");
    EXPECT_EQ(ResultText("3 >= 3"), "TRUE");
    EXPECT_EQ(ResultText("2 <= 1"), "FALSE");
}

TEST_F(Evaluator, ElementAliasesReadAndWriteOneElement)
{
    TCustomParam& m = Declare("m", PT_INT);
    m.SetDims({3, 4});
    Declare("i", PT_INT).SetInteger(1);
    Run("m[i + 1, 3] = 42");
    EXPECT_EQ(m.GetIntegerAt(11), 42);
    EXPECT_EQ(ResultText("m[2, 3] + 1"), "43");
    EXPECT_EQ(ResultText("m[0, 11]"), "42");  // only the flat offset is checked
    EXPECT_EQ(ResultText("m[3, 0]"), "(none)");
    EXPECT_EQ(m.Count(), 12);
    TCustomParam& s = Declare("s", PT_STR);
    s.SetDims({2});
    Run("s[1] = IntToStr(7, 3)");
    EXPECT_EQ(s.GetStringAt(1), "007");
    EXPECT_EQ(s.Count(), 2);
}

TEST_F(Evaluator, AFailureStopsTheRunSilently)
{
    TCustomParam& a = Declare("a", PT_INT);
    auto parser = Run("a = nothing + 1");
    EXPECT_EQ(parser->Result(), nullptr);
    EXPECT_EQ(parser->LastError(), expr_messages::UnknownVariable("nothing"));
    EXPECT_EQ(a.GetInteger(), 0);
    parser = Run("b = 1");
    EXPECT_EQ(parser->LastError(), expr_messages::UnknownVariable("b"));
    EXPECT_EQ(ResultText("1 + nothing"), "(none)");
    Declare("s", PT_STR).SetString("abc");
    parser = Run("Copy(s, , 2)");
    EXPECT_EQ(parser->Result(), nullptr);
    EXPECT_EQ(parser->LastError(), expr_messages::UnknownVariable(""));
    // Destinations written before the failure keep their values.
    Run("a = 5");
    Run("a = 6 + 1 / 0");
    EXPECT_EQ(a.GetInteger(), 5);
}

TEST_F(Evaluator, TemporariesLiveOnlyDuringTheRun)
{
    int32_t before = table.Count();
    Run("IntToStr(1 + 2 * 3) ++ \"x\"");
    Run("nothing + 1");
    EXPECT_EQ(table.Count(), before);
    EXPECT_EQ(table.Find("____0"), nullptr);
    EXPECT_EQ(table.Find("____arg"), nullptr);
}

TEST_F(Evaluator, RefusesOpcodesOutsideTheTable)
{
    ByteWriter bytes;
    bytes.I32(1);
    bytes.U8(99);
    bytes.String("____0");
    bytes.I32(1);
    bytes.U8(1);
    bytes.I32(5);
    TMobuParser parser;
    parser.LoadFromBytes(bytes.Bytes());
    parser.Execute(functions);
    EXPECT_EQ(parser.LastError(), SysText(u8"不正な式\r\n\r\n代入先:____0演算タイプ:oc?99\r\n5"));

    ByteWriter function;
    function.I32(1);
    function.U8(11);
    function.String("____0");
    function.I32(0);
    function.U8(200);
    TMobuParser call;
    call.LoadFromBytes(function.Bytes());
    call.Execute(functions);
    EXPECT_FALSE(call.LastError().empty());
}

TEST_F(Evaluator, RealFailuresNeverStoreInfinityOrNaN)
{
    TCustomParam& r = Declare("r", PT_FLOAT);
    r.SetFloat(1.25L);
    for (const char* text : {"r = 1.0 / 0", "r = 0.0 / 0.0", "r = 1e4000 * 1e4000", "r = -1e4000 * 1e4000", "r = ArcSin(2)",
                             "r = Float(1e4932) * 10"}) {
        auto parser = Run(text);
        EXPECT_EQ(r.GetFloat(), 1.25L) << text;
        EXPECT_EQ(parser->LastError(), expr_messages::ArithmeticError()) << text;
    }
    Run("r = 1.0 / 3");
    EXPECT_EQ(r.GetFloat(), 1.0L / 3);  // 80-bit precision
    Run("r = 1 / 1e4000 / 1e4000");     // underflow is not an error
    EXPECT_EQ(r.GetFloat(), 0.0L);
}

TEST_F(Evaluator, IntegerExpressionsMatchPythonInt32)
{
    std::ifstream in(std::string(MOBU_SOURCE_DIR) + "/tests/data/expr/int_expressions.tsv");
    ASSERT_TRUE(in) << "missing int_expressions.tsv";
    std::string line;
    int checked = 0;
    while (std::getline(in, line)) {
        size_t tab = line.find('\t');
        std::string text = line.substr(0, tab), expected = line.substr(tab + 1);
        auto parser = Run(text);
        std::string actual = parser->Result() ? parser->Result()->GetString() : "none";
        EXPECT_EQ(actual, expected) << text;
        if (parser->Result()) {
            EXPECT_EQ(parser->Result()->VarType(), PT_INT) << text;
        }
        ++checked;
    }
    EXPECT_GT(checked, 1000);
}

TEST_F(Evaluator, CalcRunsTextAndIsCapped)
{
    TCustomParam& a = Declare("a", PT_INT);
    EXPECT_EQ(ResultText("Calc(\"a = 5 * 5\")"), "TRUE");
    EXPECT_EQ(a.GetInteger(), 25);
    EXPECT_EQ(ResultText("Calc(\"a = (\")"), "FALSE");
    EXPECT_EQ(ResultText("Calc(\"  \")"), "FALSE");
    // A text that calls itself stops at the nesting cap instead of exhausting the stack.
    TCustomParam& s = Declare("s", PT_STR);
    // Each level that completes adds 1 + Length("TRUE"); the innermost one stops at the cap.
    s.SetString("a = a + 1 + Length(Calc(s))");
    a.SetInteger(0);
    Run("Calc(s)");
    EXPECT_EQ(a.GetInteger(), 5 * (TSysFuncMan::kMaxCalcDepth - 1));
    // A nested run never writes into the temporaries of the run that called it.
    TCustomParam& r = Declare("r", PT_FLOAT);
    Declare("t", PT_STR).SetString("r = 1.5 * 2.5 + 0");
    TCustomParam& x = Declare("x", PT_INT);
    Run("x = 1 + 2 + Length(Calc(t))");
    EXPECT_EQ(r.GetFloat(), 3.75L);
    EXPECT_EQ(x.GetInteger(), 7);
}

TEST_F(Evaluator, QuotedResultsAssignTextAndNeverRunIt)
{
    TCustomParam& s = Declare("s", PT_STR);
    TCustomParam& hit = Declare("hit", PT_INT);
    TCustomParam& arr = Declare("arr", PT_STR);
    arr.SetDims({3});
    for (std::string value : {std::string("a\" ++ Calc(\"hit = 1\") ++ \""), std::string("back\\"), std::string("\\\"x"),
                              std::string("\\n"), std::string("\x83\x5c\""), std::string("line\r\nbreak")}) {
        ASSERT_TRUE(CompileAndRun(functions, BuildQuotedAssignment("s", value))) << value;
        EXPECT_EQ(s.GetString(), value);
        ASSERT_TRUE(CompileAndRun(functions, BuildQuotedAssignment("arr[2]", value))) << value;
        EXPECT_EQ(arr.GetStringAt(2), value);
    }
    EXPECT_EQ(hit.GetInteger(), 0);
    // A long value (a page's whole text, say) goes through as well.
    std::string long_value;
    for (int i = 0; i < 200000; ++i) long_value += "a\"\\\x82\xa0";
    ASSERT_TRUE(CompileAndRun(functions, BuildQuotedAssignment("s", long_value)));
    EXPECT_EQ(s.GetString(), long_value);
    TCustomParam& n = Declare("n", PT_INT);
    ASSERT_TRUE(CompileAndRun(functions, BuildQuotedAssignment("n", "5")));
    EXPECT_EQ(n.GetInteger(), 5);
    EXPECT_FALSE(CompileAndRun(functions, "  "));
    EXPECT_FALSE(CompileAndRun(functions, "n = (1"));
    EXPECT_TRUE(CompileAndRun(functions, "n = missing"));  // runs, fails at run time
}

}  // namespace
}  // namespace mobu

namespace mobu {
namespace {

TEST_F(Evaluator, ExistingTemporaryNamesAreReusedAndLeftAlone)
{
    TCustomParam& kept = Declare("____0", PT_STR);
    TBuildMobuParser compiler;
    compiler.Compile("1 + 2");
    TMobuParser parser;
    parser.LoadFromBytes(compiler.ToStream());
    parser.Execute(functions);
    ASSERT_NE(parser.Result(), nullptr);
    EXPECT_EQ(parser.Result()->VarType(), PT_STR);
    EXPECT_EQ(kept.GetString(), "3");
    // Once the variable is gone the same compiled expression makes its own temporary again.
    table.Delete(table.Find("____0"));
    parser.Execute(functions);
    ASSERT_NE(parser.Result(), nullptr);
    EXPECT_EQ(parser.Result()->VarType(), PT_INT);
    EXPECT_EQ(table.Find("____0"), nullptr);
}

TEST_F(Evaluator, RepeatedRunsFollowEveryChangeOfTheTable)
{
    Declare("x", PT_INT).SetInteger(1);
    TBuildMobuParser compiler;
    compiler.Compile("x + 1");
    TMobuParser parser;
    parser.LoadFromBytes(compiler.ToStream());
    auto result = [&] {
        parser.Execute(functions);
        return parser.Result() ? parser.Result()->GetInteger() : -999;
    };
    EXPECT_EQ(result(), 2);
    EXPECT_EQ(result(), 2);
    table.AddVariable("x", PT_INT, TVarScope::Local)->Value()->SetInteger(10);  // a local at the current depth
    EXPECT_EQ(result(), 11);
    table.CurrentDepth = 1;  // the local is invisible from another depth
    EXPECT_EQ(result(), 2);
    table.CurrentDepth = 0;
    EXPECT_EQ(result(), 11);
    table.DeleteOwned(0);
    EXPECT_EQ(result(), 2);
    table.Delete(table.Find("x"));
    EXPECT_EQ(result(), -999);
    Declare("x", PT_FLOAT).SetFloat(2.5L);
    parser.Execute(functions);
    ASSERT_NE(parser.Result(), nullptr);
    EXPECT_EQ(parser.Result()->GetFloat(), 3.5L);
}

TEST_F(Evaluator, RepeatedRunsWithCallsKeepEveryResultApart)
{
    Declare("i", PT_INT);
    TBuildMobuParser compiler;
    compiler.Compile("IntToStr(i * 2, 3) ++ \"-\" ++ Copy(\"abcdef\", i + 1, 2)");
    TMobuParser parser;
    parser.LoadFromBytes(compiler.ToStream());
    const int32_t before = table.Count();
    std::vector<std::unique_ptr<TCustomParam>> taken;
    std::vector<std::string> read;
    for (int32_t i = 0; i < 3; ++i) {
        Var("i").SetInteger(i);
        parser.Execute(functions);
        ASSERT_NE(parser.Result(), nullptr);
        read.push_back(parser.Result()->GetString());
        if (i != 1) taken.push_back(parser.TakeResult());
    }
    EXPECT_EQ(read, (std::vector<std::string>{"000-ab", "002-bc", "004-cd"}));
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[0]->GetString(), "000-ab");
    EXPECT_EQ(taken[1]->GetString(), "004-cd");
    EXPECT_EQ(table.Count(), before);

    // A function of another subsystem finds the temporaries in the table while it runs.
    int32_t during = 0;
    functions.SetHandler(0, [&](TCustomParam& destination, const TSysFuncMan::Arguments& arguments) {
        during = table.Count();
        destination.SetString(arguments.at(0)->GetString());
    });
    Var("i").SetInteger(4);
    parser.Execute(functions);
    ASSERT_NE(parser.Result(), nullptr);
    EXPECT_EQ(parser.Result()->GetString(), "8-ef");
    EXPECT_GT(during, before);
    EXPECT_EQ(table.Count(), before);
}

}  // namespace
}  // namespace mobu
