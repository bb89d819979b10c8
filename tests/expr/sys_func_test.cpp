// The built-in functions that need only values, variables and text, through the evaluator.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <fstream>
#include <sstream>

#include "core/globals.h"
#include "expr/build_mobu_parser.h"
#include "expr/custom_param.h"
#include "expr/date_serial.h"
#include "expr/expr_messages.h"
#include "expr/mobu_parser.h"
#include "expr/param_collection.h"
#include "expr/param_types.h"
#include "expr/script_random.h"
#include "expr/sys_func_man.h"
#include "expr/sys_func_table.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

class SysFunc : public ::testing::Test {
protected:
    TParamCollection table;
    TSysFuncMan functions{table};

    TCustomParam& Declare(const std::string& name, uint8_t type) { return *table.AddVariable(name, type)->Value(); }

    std::unique_ptr<TMobuParser> Run(const std::string& text)
    {
        TBuildMobuParser compiler;
        compiler.Compile(text);
        auto parser = std::make_unique<TMobuParser>();
        parser->LoadFromBytes(compiler.ToStream());
        parser->Execute(functions);
        return parser;
    }
    // The result as text; "(none)" when the run left none.
    std::string Eval(const std::string& text)
    {
        auto parser = Run(text);
        return parser->Result() ? parser->Result()->GetString() : "(none)";
    }
};

struct Case {
    const char* text;
    const char* expected;
};

TEST_F(SysFunc, TextAndConversionFunctions)
{
    const Case cases[] = {
        {"IntToStr(7, 3)", "007"},
        {"IntToStr(-7, 3)", "-007"},
        {"IntToStr(123)", "123"},
        {"IntToHex(255, 4)", "00FF"},
        {"IntToHex(-1, 2)", "FFFFFFFF"},
        {"Length(\"abc\x82\xa0\")", "5"},
        {"JLength(\"abc\x82\xa0\")", "4"},
        {"Copy(\"abcdef\", 3)", "cdef"},
        {"Copy(\"abcdef\", 0, 2)", "ab"},
        {"Copy(\"abcdef\", 3, 2)", "cd"},
        {"Copy(\"abcdef\", 9, 2)", ""},
        {"JCopy(\"\x82\xa0\x82\xa2\x82\xa4\", 2, 1)", "\x82\xa2"},
        {"JCopy(\"\x82\xa0\x82\xa2\x82\xa4\", 2)", "\x82\xa2\x82\xa4"},
        {"CompareStr(\"a\", \"b\")", "-1"},
        {"CompareStr(\"b\", \"a\")", "1"},
        {"CompareText(\"ABC\", \"abc\")", "0"},
        {"Pos(\"cd\", \"abcd\")", "3"},
        {"Pos(\"\", \"abcd\")", "0"},
        {"JPos(\"\x82\xa2\", \"\x82\xa0\x82\xa2\")", "2"},
        {"Trim(\"  a b\t\r\n\")", "a b"},
        {"JTrim(\"\x81\x40 ab \x81\x40\")", "ab"},
        {"Not(FALSE)", "TRUE"},
        {"Int(-2.9)", "-2"},
        {"Int(2.9)", "2"},
        {"Float(2)", "2"},
        {"Abs(-5)", "5"},
        {"Abs(-2147483647 - 1)", "-2147483648"},
        {"Fabs(-2.5)", "2.5"},
        {"Min(3, -4)", "-4"},
        {"Max(3, -4)", "3"},
        {"Fmin(1.5, 2)", "1.5"},
        {"Fmax(1.5, 2)", "2"},
        {"Hypot(3, 4)", "5"},
        {"Sin(0)", "0"},
        {"FixStr(\"ab\x82\")", "ab"},
        {"FixStr(\"ab\x82\xa0\")", "ab\x82\xa0"},
        {"LowerCase(\"AbC\x83\x5c\x83\x41\")", "abc\x83\x5c\x83\x41"},  // trail bytes 0x5C, 0x41 untouched
        {"UpperCase(\"abc\x83\x61\")", "ABC\x83\x61"},
        {"ExtractFilePath(\"c:\\dir\\file.txt\")", "c:\\dir\\"},
        {"ExtractFileName(\"c:\\dir\\file.txt\")", "file.txt"},
        {"ExtractFileExt(\"c:\\dir.x\\file.txt\")", ".txt"},
        {"ExtractFileExt(\"c:\\dir.x\\file\")", ""},
        {"ExtractFileName(\"dir\\\x83\x5c\")", "\x83\x5c"},  // "ソ" ends in 0x5C, not a path delimiter
        {"ChangeFileExt(\"a\\b.txt\", \".fsk\")", "a\\b.fsk"},
        {"ChangeFileExt(\"a.d\\b\", \".fsk\")", "a.d\\b.fsk"},
        {"IsPathDelimiter(\"a\\b\", 2)", "TRUE"},
        {"IsPathDelimiter(\"\x83\x5c\", 2)", "FALSE"},
        {"AddBackSlash(\"a\")", "a\\"},
        {"AddBackSlash(\"a\\\\\")", "a\\"},
        {"AddBackSlash(\"\x83\x5c\")", "\x83\x5c\\"},
        {"IsDelimiter(\",;\", \"a;b\", 2)", "TRUE"},
        {"IsDelimiter(\",;\", \"a;b\", 1)", "FALSE"},
        {"StringOfChar(\"ab\", 3)", "ababab"},
        {"StringOfChar(\"ab\", -1)", ""},
        {"StringReplace(\"aXbXc\", \"X\", \"-\")", "a-bXc"},
        {"StringReplace(\"aXbXc\", \"X\", \"-\", TRUE)", "a-b-c"},
        {"StringReplace(\"axbXc\", \"X\", \"-\", TRUE, TRUE)", "a-b-c"},
        {"StringReplace(\"\x83\x5c\x83\x5c\\\\\", \"\\\\\", \"/\", TRUE)", "\x83\x5c\x83\x5c/"},
        {"HanToZen(\"a1\")", "\x82\x81\x82\x50"},
        {"ZenToHan(\"\x82\x81\x82\x50\")", "a1"},
        {"AddDelimiter(\",\", \"\")", ""},
        {"AddDelimiter(\",\", \"a\")", "a,"},
        {"StrToIntDef(\"12\", 5)", "12"},
        {"StrToIntDef(\"1x\", 5)", "5"},
        {"StrToIntDef(\"$10\", 5)", "16"},
        {"StrToFloatDef(\"abc\", 1.5)", "1.5"},
        {"StrToFloatDef(\"2.25\", 1.5)", "2.25"},
        {"Chr(65)", "A"},
        {"Chr(321)", "A"},
        {"Ord(\"A\")", "65"},
        {"Ord(\"\")", "0"},
        {"GetVarType(1.5)", "2"},
        {"Random(0)", "0"},
        {"Random(-5)", "0"},
        {"Random(1)", "0"},
    };
    for (const auto& c : cases) EXPECT_EQ(Eval(c.text), c.expected) << c.text;
}

TEST_F(SysFunc, FunctionsThatWriteTheirVariableArguments)
{
    TCustomParam& s = Declare("s", PT_STR);
    s.SetString("abcdef");
    auto parser = Run("Delete(s, 2, 1)");
    EXPECT_EQ(s.GetString(), "acdef");
    ASSERT_NE(parser->Result(), nullptr);
    EXPECT_EQ(parser->Result()->GetString(), "");
    Run("Delete(s, 3)");
    EXPECT_EQ(s.GetString(), "ac");
    Run("Insert(\"XY\", s, 2)");
    EXPECT_EQ(s.GetString(), "aXYc");
    s.SetString("\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8");
    Run("JDelete(s, 2, 2)");
    EXPECT_EQ(s.GetString(), "\x82\xa0\x82\xa6\x82\xa8");
    Run("JInsert(\"X\", s, 2)");
    EXPECT_EQ(s.GetString(), "\x82\xa0X\x82\xa6\x82\xa8");
    // A constant argument is never written.
    EXPECT_EQ(Eval("Delete(\"abc\", 1)"), "");

    TCustomParam& a = Declare("a", PT_INT);
    EXPECT_EQ(Eval("SetArray(a, 2, 5)"), "0");
    EXPECT_EQ(Eval("GetArraySize(a, 0)"), "5");
    EXPECT_EQ(Eval("GetArraySize(a, 1)"), "2");
    EXPECT_EQ(Eval("GetArraySize(a)"), "10");
    Run("FillMem(a, 7)");
    EXPECT_EQ(a.GetIntegerAt(9), 7);
    EXPECT_EQ(Run("GetArraySize(3)")->LastError(), expr_messages::VariableNotFound("GetArraySize"));
    EXPECT_EQ(Run("SetArray(3, 1)")->LastError(), expr_messages::VariableNotFound("SetArray"));
    EXPECT_EQ(Run("FillMem(3, 1)")->LastError(), expr_messages::VariableNotFound("FillMem"));
    EXPECT_EQ(Run("CopyMem(a, 3)")->LastError(), expr_messages::VariableNotFound("CopyMem"));

    TCustomParam& b = Declare("b", PT_INT);
    Run("CopyMem(b, a)");
    EXPECT_EQ(b.Count(), 10);
    EXPECT_EQ(b.GetIntegerAt(3), 7);
    EXPECT_EQ(Run("CopyMem(s, a)")->LastError(), SysText(u8"CopyMem:変数の型があいません"));

    TCustomParam& list = Declare("list", PT_STR);
    Run("StringToArray(\"a,b;c\", list, \",;\")");
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.GetStringAt(2), "c");
    Run("StringToArray(\"x\r\ny\nz\r\n\", list)");
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.GetStringAt(1), "y");
    EXPECT_EQ(Eval("ArrayToString(list, \"/\")"), "x/y/z");
    EXPECT_EQ(Eval("IndexOfStr(list, \"Y\")"), "-1");
    EXPECT_EQ(Eval("IndexOfStr(list, \"Y\", FALSE)"), "1");
    Run("StringToArray(\"a,,b,\", list, \",\")");
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.GetStringAt(1), "");
    Run("StringToArray(\"\", list)");
    EXPECT_EQ(list.Count(), 1);
    EXPECT_TRUE(list.Dims.empty());

    Run("StringToArray(\"b,B,a,c\", list, \",\")");
    Run("SortStr(list)");
    EXPECT_EQ(Eval("ArrayToString(list, \",\")"), "a,b,B,c");
    Run("SortStr(list, TRUE)");
    EXPECT_EQ(Eval("ArrayToString(list, \",\")"), "c,B,b,a");
    Run("StringToArray(\"10,9,100\", list, \",\")");
    Run("SortStr(list, FALSE, TRUE)");
    EXPECT_EQ(Eval("ArrayToString(list, \",\")"), "9,10,100");

    Declare("n", PT_INT);
    Run("StringToArray(\"1,2,3\", n, \",\")");
    EXPECT_EQ(Eval("AddArray(n, 4)"), "4");
    EXPECT_EQ(Eval("InsertArray(n, 0, n)"), "8");
    EXPECT_EQ(Eval("ArrayToString(n, \",\")"), "1,2,3,4,1,2,3,4");
    EXPECT_EQ(Eval("DeleteArray(n, 1, 3)"), "5");
    EXPECT_EQ(Eval("ArrayToString(n, \",\")"), "1,1,2,3,4");
    EXPECT_EQ(Eval("DeleteArray(n, -4, 100)"), "1");
    TCustomParam& f = Declare("f", PT_FLOAT);
    EXPECT_EQ(Eval("CopyArray(f, a)"), "TRUE");
    EXPECT_EQ(f.Count(), 10);
    EXPECT_EQ(f.DimSize(1), 5);
    EXPECT_EQ(Eval("AddArray(a, 1)"), "10");  // two dimensions: unchanged

    EXPECT_EQ(Eval("VarExists(\"A\")"), "TRUE");
    EXPECT_EQ(Eval("VarExists(\"zz\")"), "FALSE");
    EXPECT_EQ(Eval("AssignTemp(\"zz\")"), "FALSE");
    EXPECT_EQ(Eval("AssignTemp(\"s\")"), "TRUE");
    EXPECT_EQ(Eval("GetVarType(s)"), "4");

    TCustomParam& y = Declare("y", PT_INT);
    TCustomParam& m = Declare("mo", PT_INT);
    TCustomParam& d = Declare("d", PT_INT);
    Run("DecodeDate(EncodeDate(2024, 2, 29), y, mo, d)");
    EXPECT_EQ(y.GetInteger() * 10000 + m.GetInteger() * 100 + d.GetInteger(), 20240229);
    Run("DecodeTime(EncodeTime(13, 14, 15), y, mo, d)");
    EXPECT_EQ(y.GetInteger() * 10000 + m.GetInteger() * 100 + d.GetInteger(), 131415);
}

TEST_F(SysFunc, PushAndPopVariables)
{
    TCustomParam& a = Declare("a", PT_INT);
    a.SetInteger(5);
    EXPECT_EQ(Eval("PushVar(\"a\", \"missing\")"), "TRUE");
    a.SetInteger(9);
    EXPECT_EQ(Eval("PopVar()"), "TRUE");
    EXPECT_EQ(table.Find("a")->Value()->GetInteger(), 5);
}

TEST_F(SysFunc, SizeArgumentsAreCapped)
{
    for (const char* text : {"StringOfChar(\"ab\", 100000000)", "IntToStr(1, 5000)", "IntToHex(1, 5000)"}) {
        auto parser = Run(text);
        EXPECT_EQ(parser->Result(), nullptr) << text;
        EXPECT_EQ(parser->LastError(), expr_messages::SizeTooLarge()) << text;
    }
    Declare("a", PT_INT);
    EXPECT_EQ(Run("SetArray(a, 100000, 100000)")->Result(), nullptr);
    EXPECT_EQ(table.Find("a")->Value()->Count(), 1);
}

TEST_F(SysFunc, DatesMatchPythonDatetime)
{
    std::ifstream in(std::string(MOBU_SOURCE_DIR) + "/tests/data/expr/dates.tsv");
    ASSERT_TRUE(in);
    int32_t serial, year, month, day, weekday;
    int checked = 0;
    while (in >> serial >> year >> month >> day >> weekday) {
        std::string s = std::to_string(serial);
        EXPECT_EQ(Eval("EncodeDate(" + std::to_string(year) + ", " + std::to_string(month) + ", " + std::to_string(day) + ")"), s);
        EXPECT_EQ(Eval("GetYear(" + s + ") * 10000 + GetMonth(" + s + ") * 100 + GetDay(" + s + ")"),
                  std::to_string(year * 10000 + month * 100 + day))
            << s;
        EXPECT_EQ(Eval("GetWeek(" + s + ")"), std::to_string(weekday)) << s;
        ++checked;
    }
    EXPECT_GT(checked, 400);
    EXPECT_EQ(Eval("GetWeekStr(0)"), "Saturday");
    EXPECT_EQ(Eval("GetWeekJStr(1)"), SysText(u8"日"));
    EXPECT_EQ(Eval("EncodeDate(2023, 2, 29)"), "(none)");
    EXPECT_EQ(Eval("EncodeDate(0, 1, 1)"), "(none)");
    EXPECT_EQ(Eval("EncodeTime(24, 0, 0)"), "(none)");
    EXPECT_EQ(Eval("GetYear(1e300)"), "(none)");
    // Before 0001-01-01 every part reads 0.
    EXPECT_EQ(Eval("GetYear(-700000)"), "0");
    // A negative value with a fraction: the day of its whole part, the time of its fraction.
    EXPECT_EQ(Eval("GetDay(-1.25) * 100 + GetHour(-1.25)"), "2906");
}

TEST_F(SysFunc, TimesRoundHalfMillisecondsToEvenLikePython)
{
    std::ifstream in(std::string(MOBU_SOURCE_DIR) + "/tests/data/expr/times.tsv");
    ASSERT_TRUE(in);
    long long k;
    int32_t hour, minute, second, ms;
    int checked = 0;
    while (in >> k >> hour >> minute >> second >> ms) {
        Real value = static_cast<Real>(k) / 4294967296.0L;
        date_serial::TTimeParts parts = date_serial::DecodeTime(value);
        EXPECT_EQ(parts.Hour, hour) << k;
        EXPECT_EQ(parts.Minute, minute) << k;
        EXPECT_EQ(parts.Second, second) << k;
        EXPECT_EQ(parts.Millisecond, ms) << k;
        ++checked;
    }
    EXPECT_GT(checked, 300);
    EXPECT_EQ(Eval("EncodeTime(12, 0, 0)"), "0.5");
}

TEST_F(SysFunc, RandomRepeatsWithTheSameSeed)
{
    SeedScriptRandom(42);
    std::string first = Eval("IntToStr(Random(1000)) ++ \",\" ++ IntToStr(Random(1000)) ++ \",\" ++ IntToStr(Random(1000))");
    SeedScriptRandom(42);
    std::string second = Eval("IntToStr(Random(1000)) ++ \",\" ++ IntToStr(Random(1000)) ++ \",\" ++ IntToStr(Random(1000))");
    EXPECT_EQ(first, second);
    for (int i = 0; i < 200; ++i) {
        int32_t value = ScriptRandom(7);
        ASSERT_GE(value, 0);
        ASSERT_LT(value, 7);
    }
}

TEST_F(SysFunc, FunctionsOfOtherSubsystemsFailCleanlyUntilInstalled)
{
    TCustomParam& r = Declare("r", PT_INT);
    r.SetInteger(3);
    auto parser = Run("r = DBRecordCount()");
    EXPECT_EQ(r.GetInteger(), 3);
    EXPECT_EQ(parser->LastError(), expr_messages::FunctionUnavailable("DBRecordCount"));
    functions.SetHandler(101, [](TCustomParam& destination, const TSysFuncMan::Arguments&) { destination.SetInteger(-1); });
    Run("r = DBRecordCount()");
    EXPECT_EQ(r.GetInteger(), -1);
    std::vector<std::string> unavailable = UnavailableFunctionNames(functions);
    EXPECT_EQ(std::count(unavailable.begin(), unavailable.end(), "DBRecordCount"), 0);
    EXPECT_EQ(std::count(unavailable.begin(), unavailable.end(), "GetProp"), 1);
    EXPECT_EQ(std::count(unavailable.begin(), unavailable.end(), "Copy"), 0);
}

TEST(SysFuncTable, HasEveryEntryWithItsIdAndCounts)
{
    EXPECT_EQ(kSysFuncTable.size(), 161u);
    EXPECT_EQ(FindSysFunc("IntToStr"), 0);
    EXPECT_EQ(FindSysFunc("GetProp"), 2);
    EXPECT_EQ(FindSysFunc("Calc"), 136);
    EXPECT_EQ(FindSysFunc("DBGetTable"), 160);
    EXPECT_EQ(FindSysFunc("calc"), -1);
    for (int id = 0; id < kSysFuncCount; ++id) EXPECT_EQ(FindSysFunc(kSysFuncTable[id].name), id) << id;
    EXPECT_TRUE(SysFuncAcceptsArgCount(21, 9));
    EXPECT_FALSE(SysFuncAcceptsArgCount(21, 1));
    EXPECT_TRUE(SysFuncAcceptsArgCount(91, 0));
    EXPECT_EQ(kSysFuncTable[115].result_type, PT_BOOL);
    EXPECT_EQ(kSysFuncTable[114].result_type, PT_STR);
}

}  // namespace
}  // namespace mobu

namespace mobu {
namespace {

TEST_F(SysFunc, ClockSystemVariables)
{
    GameClockMs = 1234;
    EXPECT_EQ(Eval("@TickCount"), "1234");
    Real now = date_serial::Now();
    date_serial::TDateParts date = date_serial::DecodeDate(now);
    int32_t year = std::stoi(Eval("@Year"));
    EXPECT_TRUE(year == date.Year || year == date.Year + 1);
    int32_t week = std::stoi(Eval("@Week"));
    EXPECT_GE(week, 1);
    EXPECT_LE(week, 7);
    EXPECT_EQ(Eval("@Pi > 3.14159 & @Pi < 3.1416"), "1");
    EXPECT_EQ(Eval("@1Hour * 24"), "1");
    int32_t hour = std::stoi(Eval("@Hour"));
    EXPECT_GE(hour, 0);
    EXPECT_LT(hour, 24);
    EXPECT_NE(Eval("@PCTickCount"), "(none)");
}

}  // namespace
}  // namespace mobu

namespace mobu {
namespace {

std::string FromHex(const std::string& hex)
{
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

TEST_F(SysFunc, JFunctionsMatchPythonsCp932Codec)
{
    std::ifstream in(std::string(MOBU_SOURCE_DIR) + "/tests/data/expr/jtext.tsv");
    ASSERT_TRUE(in);
    TCustomParam& text = Declare("t", PT_STR);
    TCustomParam& piece = Declare("p", PT_STR);
    std::string line;
    int checked = 0;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream columns(line);
        std::string field;
        while (std::getline(columns, field, '\t')) fields.push_back(field);
        fields.resize(7);
        text.SetString(FromHex(fields[0]));
        piece.SetString(FromHex(fields[5]));
        EXPECT_EQ(Eval("JLength(t)"), fields[1]) << line;
        EXPECT_EQ(Eval("JCopy(t, " + fields[2] + ", " + fields[3] + ")"), FromHex(fields[4])) << line;
        EXPECT_EQ(Eval("JPos(p, t)"), fields[6]) << line;
        ++checked;
    }
    EXPECT_EQ(checked, 300);
}

// Conditions raised by earlier, unrelated work (a text too large for a real, here) must
// not make later real functions fail: they judge only their own computation.
TEST_F(SysFunc, StaleFloatingPointConditionsDoNotFailLaterRealFunctions)
{
    const Case cases[] = {
        {"StrToFloatDef(\"1e99999\", 1.5)", "1.5"},
        {"Float(3)", "3"},
        {"Fmax(1.5, 2.5)", "2.5"},
        {"Fmin(1.5, 2.5)", "1.5"},
    };
    for (const Case& c : cases) {
        std::feraiseexcept(FE_OVERFLOW | FE_INVALID | FE_DIVBYZERO);
        EXPECT_EQ(Eval(c.text), c.expected) << c.text;
    }
    std::feraiseexcept(FE_OVERFLOW);
    EXPECT_EQ(Eval("ArcSin(2.0)"), "(none)");  // its own invalid operation still fails
}

TEST_F(SysFunc, ArraySizeOfAnyDimensionNumberIsDefined)
{
    Declare("a", PT_INT);
    Run("SetArray(a, 2, 3)");
    EXPECT_EQ(Eval("GetArraySize(a, 0)"), "3");
    EXPECT_EQ(Eval("GetArraySize(a, 1)"), "2");
    EXPECT_EQ(Eval("GetArraySize(a, -2147483648)"), "1");
    EXPECT_EQ(Eval("GetArraySize(a, 2147483647)"), "1");
}

}  // namespace
}  // namespace mobu
