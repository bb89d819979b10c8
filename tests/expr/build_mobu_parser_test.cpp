// The compiler against operation lists worked out by hand from the compilation steps:
// literals, calls, elements, groups, tokens, signs, reduction by precedence, copy folding.
#include <gtest/gtest.h>

#include "core/mobu_error.h"
#include "expr/build_mobu_parser.h"
#include "expr/expr_messages.h"
#include "expr/expr_quote.h"
#include "expr/opcodes.h"
#include "core/real80.h"

namespace mobu {
namespace {

// "ocPlus ____0 = 1, 2; ocTo a = ____0"
std::string Describe(const std::vector<TBuildOpeData>& operations)
{
    std::string out;
    for (const auto& op : operations) {
        if (!out.empty()) out += "; ";
        out += OpcodeName(op.Opcode) + " " + op.Dest + " =";
        for (size_t i = 0; i < op.Operands.size(); ++i) out += (i ? ", " : " ") + op.Operands[i];
    }
    return out;
}

std::string Compiled(const std::string& text)
{
    TBuildMobuParser parser;
    parser.Compile(text);
    return Describe(parser.Operations());
}

struct CompileCase {
    const char* text;
    const char* operations;
};

TEST(BuildMobuParser, CompilesToTheExactOperationLists)
{
    const CompileCase cases[] = {
        {"a = 1 + 2 * 3", "ocMul ____0 = 2, 3; ocPlus ____1 = 1, ____0; ocTo a = ____1"},
        {"a = (1 + 2) * 3", "ocPlus ____1 = 1, 2; ocMul ____2 = ____1, 3; ocTo a = ____2"},
        {"a = 10 - 4 - 3", "ocMinus ____0 = 10, 4; ocMinus ____1 = ____0, 3; ocTo a = ____1"},
        {"a = 3 * -2", "ocMinus ____0 = 0, 2; ocMul ____1 = 3, ____0; ocTo a = ____1"},
        {"a = 2 - -1", "ocMinus ____0 = 0, 1; ocMinus ____1 = 2, ____0; ocTo a = ____1"},
        {"a = -5", "ocMinus ____0 = 0, 5; ocTo a = ____0"},
        {"a = 1 * +2", "ocMul ____0 = 1, 2; ocTo a = ____0"},
        {"-5", "ocMinus ____0 = 0, 5; ocTo ____arg = ____0"},
        {"- 1 - 2", "ocMinus ____0 = 0, 1; ocMinus ____1 = ____0, 2; ocTo ____arg = ____1"},
        {"x == 3", "ocEqual ____0 = x, 3; ocTo ____arg = ____0"},
        {"x", "ocTo ____arg = x"},
        {"", "ocTo ____arg = "},
        {"f(g(1), 2)", "ocFunc ____0 = g, 1; ocFunc ____1 = f, ____0, 2; ocTo ____arg = ____1"},
        {"x[i + 1, 2]", "ocPlus ____2 = i, 1; ocDimTo ____d_0 = x, ____2, 2; ocTo ____arg = ____d_0"},
        {"\"ab\" ++ \"cd\"", "ocTo ____0 = \"ab\"; ocTo ____1 = \"cd\"; ocComboStr ____2 = ____0, ____1; ocTo ____arg = ____2"},
        {"Copy(s, , 2)", "ocFunc ____0 = Copy, s, , 2; ocTo ____arg = ____0"},
        {"DBDelete()", "ocFunc ____0 = DBDelete; ocTo ____arg = ____0"},
        {"a = x[1] + IntToStr(5, 3)", "ocFunc ____0 = IntToStr, 5, 3; ocDimTo ____d_1 = x, 1; ocPlus ____2 = ____d_1, ____0; ocTo a = ____2"},
        {"f((1+2))", "ocPlus ____2 = 1, 2; ocFunc ____0 = f, ____2; ocTo ____arg = ____0"},
        {"f(a[1], -b)", "ocDimTo ____d_2 = a, 1; ocTo ____1 = ____d_2; ocMinus ____4 = 0, b; ocFunc ____0 = f, ____1, ____4; ocTo ____arg = ____0"},
        {"1 << 2 + 3", "ocPlus ____0 = 2, 3; ocShiftL ____1 = 1, ____0; ocTo ____arg = ____1"},
        {"a | b ^ c & d ++ e == f >> g - h / k",
         "ocDiv ____0 = h, k; ocMinus ____1 = g, ____0; ocShiftR ____2 = f, ____1; ocEqual ____3 = e, ____2; "
         "ocComboStr ____4 = d, ____3; ocAnd ____5 = c, ____4; ocXor ____6 = b, ____5; ocOr ____7 = a, ____6; ocTo ____arg = ____7"},
        {"a <> b", "ocNEqual ____0 = a, b; ocTo ____arg = ____0"},
        {"a >= b <= c", "ocEBig ____0 = a, b; ocESmall ____1 = ____0, c; ocTo ____arg = ____1"},
        {"m[2, 3] = 5", "ocDimTo ____d_0 = m, 2, 3; ocTo ____d_0 = 5"},
        {"a = \"x\"", "ocTo ____0 = \"x\"; ocTo a = ____0"},
        {"s = \"a\\\"b\\\\c\\nd\\e\"", "ocTo ____0 = \"a\"b\\c\r\nd\\e\"; ocTo s = ____0"},
        {"s = \"open", "ocTo s = \"open"},
    };
    for (const auto& c : cases) EXPECT_EQ(Compiled(c.text), c.operations) << c.text;
}

TEST(BuildMobuParser, GroupCopiesFoldOnlyBetweenTemporaries)
{
    // ((b)): the inner group gives ____0 = b, the outer ____1 = ____0, folded away so the
    // assignment reads ____0; a copy out of an alias is never folded.
    EXPECT_EQ(Compiled("a = ((b))"), "ocTo ____0 = b; ocTo a = ____0");
}

TEST(BuildMobuParser, NeverTakesATrailByteForSyntax)
{
    // "ソ" is 0x83 0x5C and "ー" 0x81 0x5B: trail bytes that equal a backslash and "[".
    EXPECT_EQ(Compiled("s = \"\x83\x5c\""), "ocTo ____0 = \"\x83\x5c\"; ocTo s = ____0");
    EXPECT_EQ(Compiled("\x81\x5b = 1"), "ocTo \x81\x5b = 1");
    EXPECT_EQ(Compiled("a = \x83\x5c + 1"), "ocPlus ____0 = \x83\x5c, 1; ocTo a = ____0");
}

TEST(BuildMobuParser, RefusesBadSyntax)
{
    const std::string syntax = expr_messages::SyntaxError();
    for (const char* text : {"a = b = 1", "a = (b", "f(1))", "a = 1 +", "a = * 2", "= 1", "a[1](2)", "a = b]", "x = [1]",
                             "1 + * 2", "a = f(x[1)", "a = ()", "* 2"}) {
        TBuildMobuParser parser;
        try {
            parser.Compile(text);
            ADD_FAILURE() << "compiled: " << text << " -> " << Describe(parser.Operations());
        } catch (const EMobuError& error) {
            EXPECT_EQ(error.what(), syntax) << text;
        }
    }
    TBuildMobuParser parser;
    try {
        parser.Compile("a[ ]");
        ADD_FAILURE();
    } catch (const EMobuError& error) {
        EXPECT_EQ(error.what(), expr_messages::BadSubscripts());
    }
}

TEST(BuildMobuParser, FirstTemporaryShiftsEveryName)
{
    TBuildMobuParser parser(10000);
    parser.Compile("a = 1 + x[2]");
    EXPECT_EQ(Describe(parser.Operations()), "ocDimTo ____d_10000 = x, 2; ocPlus ____10001 = 1, ____d_10000; ocTo a = ____10001");
}

std::string Bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

TEST(BuildMobuParser, WritesTheStreamByteForByte)
{
    TBuildMobuParser parser;
    parser.Compile("a = IntToStr(7, 3) ++ 2.5 ++ TRUE ++ \"q\" ++ $10");
    ByteWriter expected;
    expected.I32(7);
    // ocTo ____0 = "q"
    expected.U8(ocTo);
    expected.String("____0");
    expected.I32(1);
    expected.U8(4);
    expected.String("q");
    // ocFunc ____1 = IntToStr(7, 3)
    expected.U8(ocFunc);
    expected.String("____1");
    expected.I32(2);
    expected.U8(0);
    expected.U8(1);
    expected.I32(7);
    expected.U8(1);
    expected.I32(3);
    // ____2 = ____1 ++ 2.5
    expected.U8(ocComboStr);
    expected.String("____2");
    expected.I32(2);
    expected.U8(0);
    expected.String("____1");
    expected.U8(2);
    expected.Real80(2.5L);
    // ____3 = ____2 ++ TRUE
    expected.U8(ocComboStr);
    expected.String("____3");
    expected.I32(2);
    expected.U8(0);
    expected.String("____2");
    expected.U8(3);
    expected.U8(1);
    // ____4 = ____3 ++ ____0
    expected.U8(ocComboStr);
    expected.String("____4");
    expected.I32(2);
    expected.U8(0);
    expected.String("____3");
    expected.U8(0);
    expected.String("____0");
    // ____5 = ____4 ++ $10
    expected.U8(ocComboStr);
    expected.String("____5");
    expected.I32(2);
    expected.U8(0);
    expected.String("____4");
    expected.U8(1);
    expected.I32(16);
    // a = ____5
    expected.U8(ocTo);
    expected.String("a");
    expected.I32(1);
    expected.U8(0);
    expected.String("____5");
    EXPECT_EQ(parser.ToStream(), expected.Bytes());
    EXPECT_EQ(parser.ToStream().substr(0, 12), Bytes({7, 0, 0, 0, 1, 5, 0, 0, 0, '_', '_', '_'}));
}

TEST(BuildMobuParser, ClassifiesOperandTexts)
{
    struct Case {
        const char* text;
        int tag;
    };
    const Case cases[] = {{"12", 1},    {"-7", 1},  {"$ff", 1}, {"0x10", 1}, {"x1F", 1},   {"2147483647", 1}, {"2147483648", 2},
                          {"1.5", 2},   {"1e3", 2}, {".5", 2},  {"TRUE", 3}, {"FALSE", 3}, {"true", 0},       {"\"\"", 4},
                          {"\"", 0},    {"abc", 0}, {"", 0},    {"1.5.2", 0}, {"$", 0},    {"1e", 0}};
    for (const auto& c : cases) {
        ByteWriter out;
        WriteOperandText(out, c.text);
        EXPECT_EQ(static_cast<uint8_t>(out.Bytes()[0]), c.tag) << c.text;
    }
}

TEST(BuildMobuParser, ChecksFunctionNamesAndArgumentCounts)
{
    struct Case {
        const char* text;
        std::string message;
    };
    const Case cases[] = {
        {"Foo(1)", expr_messages::UnknownFunction("Foo")},
        {"inttostr(1)", expr_messages::UnknownFunction("inttostr")},
        {"IntToStr()", expr_messages::BadArgumentCount("IntToStr")},
        {"IntToStr(1, 2, 3)", expr_messages::BadArgumentCount("IntToStr")},
        {"DBDelete(1)", expr_messages::BadArgumentCount("DBDelete")},
    };
    for (const auto& c : cases) {
        TBuildMobuParser parser;
        parser.Compile(c.text);
        try {
            parser.ToStream();
            ADD_FAILURE() << c.text;
        } catch (const EMobuError& error) {
            EXPECT_EQ(error.what(), c.message) << c.text;
        }
    }
    TBuildMobuParser many;
    many.Compile("SetArray(a, 1, 2, 3, 4, 5, 6, 7)");
    EXPECT_NO_THROW(many.ToStream());
}

TEST(ExpressionQuote, QuotedValuesCompileBackToTheSameText)
{
    for (std::string value : {std::string("plain"), std::string("a\"b"), std::string("back\\slash\\"), std::string("\\n"),
                              std::string("x\" + Calc(\"y = 1\") + \""), std::string("\x83\x5c\x83\x5c"),
                              std::string("\x82\xa0\"")}) {
        TBuildMobuParser parser;
        parser.Compile(BuildQuotedAssignment("r", value));
        ASSERT_EQ(parser.Operations().size(), 2u) << value;
        EXPECT_EQ(parser.Operations()[0].Operands[0], "\"" + value + "\"") << value;
        EXPECT_EQ(parser.Operations()[1].Dest, "r");
    }
    EXPECT_EQ(QuoteExpressionString("ab\x82"), "\"ab\"");
}

}  // namespace
}  // namespace mobu
