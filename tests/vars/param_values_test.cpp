#include <gtest/gtest.h>

#include "core/mobu_error.h"
#include "expr/param_conversion.h"
#include "expr/param_values.h"
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

TEST(ParamValues, FreshValuesReadNeutral)
{
    TParamInt i;
    EXPECT_EQ(i.GetInteger(), 0);
    EXPECT_EQ(i.GetString(), "0");
    EXPECT_FALSE(i.GetFlag());
    EXPECT_EQ(i.Count(), 1);
    TParamStr s;
    EXPECT_EQ(s.GetString(), "");
    EXPECT_EQ(s.GetInteger(), 0);
    TParamFlag f;
    EXPECT_EQ(f.GetString(), "FALSE");
    TParamFloat r;
    EXPECT_EQ(r.GetString(), "0");
}

TEST(ParamValues, ConversionTable)
{
    TParamStr s;
    s.SetString("true");
    EXPECT_FALSE(s.GetFlag());
    s.SetString("TRUE");
    EXPECT_TRUE(s.GetFlag());
    s.SetString(" -$1f");
    EXPECT_EQ(s.GetInteger(), -31);
    s.SetString("12a");
    EXPECT_EQ(s.GetInteger(), 0);
    s.SetString(" 2.5e1 ");
    EXPECT_EQ(s.GetFloat(), 25);

    TParamFlag f;
    f.SetFlag(true);
    EXPECT_EQ(f.GetString(), "TRUE");
    EXPECT_EQ(f.GetInteger(), 1);
    EXPECT_EQ(f.GetFloat(), 1);

    TParamInt i;
    i.SetFloat(2.9L);
    EXPECT_EQ(i.GetInteger(), 2);
    i.SetFloat(-2.9L);
    EXPECT_EQ(i.GetInteger(), -2);
    i.SetInteger(-7);
    EXPECT_EQ(i.GetString(), "-7");
    i.SetString("x10");
    EXPECT_EQ(i.GetInteger(), 16);

    TParamFloat r;
    r.SetString("abc");
    EXPECT_EQ(r.GetFloat(), 0);
    r.SetInteger(3);
    EXPECT_EQ(r.GetString(), "3");
}

TEST(ParamValues, RealOutsideIntegerRangeFailsInsteadOfUndefined)
{
    TParamInt i;
    i.SetInteger(5);
    EXPECT_THROW(i.SetFloat(3e9L), EMobuError);
    EXPECT_EQ(i.GetInteger(), 5);
    TParamFloat r;
    r.SetFloat(-3e9L);
    EXPECT_THROW(r.GetInteger(), EMobuError);
    r.SetFloat(-2147483648.9L);
    EXPECT_EQ(r.GetInteger(), INT32_MIN);
    r.SetFloat(2147483647.9L);
    EXPECT_EQ(r.GetInteger(), INT32_MAX);
}

TEST(ParamValues, SetDimsKeepsPrefixAndZeroFills)
{
    TParamInt i;
    i.SetInteger(7);
    i.SetDims({2, 3});
    ASSERT_EQ(i.Count(), 6);
    EXPECT_EQ(i.GetIntegerAt(0), 7);
    for (int k = 1; k < 6; ++k) EXPECT_EQ(i.GetIntegerAt(k), 0);
    EXPECT_EQ(i.DimCount(), 2);
    EXPECT_EQ(i.DimSize(1), 3);
    EXPECT_EQ(i.DimSize(5), 1);
    EXPECT_EQ(ErrorOf([&] { i.SetDims({2, 0}); }), "配列の要素数[2,0]が不正です");
    EXPECT_EQ(ErrorOf([&] { i.SetDims({65536, 65536}); }), "配列の要素数[65536,65536]が不正です");
    EXPECT_EQ(ErrorOf([&] { i.SetDims({-1}); }), "配列の要素数[-1]が不正です");
    EXPECT_EQ(i.Count(), 6);
}

TEST(ParamValues, ScalarWriteCollapsesArray)
{
    TParamStr s;
    s.SetDims({4});
    s.SetStringAt(3, "x");
    s.SetString("only");
    EXPECT_TRUE(s.Dims.empty());
    EXPECT_EQ(s.Count(), 1);
    EXPECT_EQ(s.GetString(), "only");
}

TEST(ParamValues, IndexCheckedAndEmptyArrayReadsNeutral)
{
    TParamInt i;
    i.SetDims({3});
    EXPECT_EQ(ErrorOf([&] { i.GetIntegerAt(3); }), "[3]:配列の添字が不正です");
    EXPECT_EQ(ErrorOf([&] { i.SetIntegerAt(-1, 0); }), "[-1]:配列の添字が不正です");
    i.SetCount(0);
    EXPECT_EQ(i.GetInteger(), 0);
    EXPECT_EQ(i.GetString(), "");
    TParamStr s;
    s.SetCount(0);
    EXPECT_EQ(s.GetString(), "");
    s.SetString("back");
    EXPECT_EQ(s.Count(), 1);
}

TEST(ParamValues, CopyFromNeedsSameClass)
{
    TParamInt a, b;
    a.SetDims({2, 2});
    a.SetIntegerAt(3, 9);
    b.CopyFrom(a);
    EXPECT_EQ(b.Dims, (std::vector<int32_t>{2, 2}));
    EXPECT_EQ(b.GetIntegerAt(3), 9);
    TParamInt scalar;
    scalar.SetInteger(4);
    b.CopyFrom(scalar);
    EXPECT_EQ(b.Dims, (std::vector<int32_t>{1}));
    EXPECT_EQ(b.GetInteger(), 4);
    TParamStr s;
    EXPECT_EQ(ErrorOf([&] { b.CopyFrom(s); }), "CopyMem:変数の型があいません");
}

TEST(ParamValues, FillsOnlyTheirOwnKind)
{
    TParamInt i;
    i.SetDims({3});
    i.FillInteger(5);
    i.FillString("9");
    EXPECT_EQ(i.GetIntegerAt(2), 5);
    TParamStr s;
    s.SetDims({2});
    s.FillString("a");
    EXPECT_EQ(s.GetStringAt(1), "a");
}

TEST(ParamValues, IndexOfText)
{
    TParamStr s;
    s.SetDims({3});
    s.SetStringAt(0, "Apple");
    s.SetStringAt(1, "banana");
    s.SetStringAt(2, "apple");
    EXPECT_EQ(s.IndexOfText("apple", true, false), 2);
    EXPECT_EQ(s.IndexOfText("apple", false, false), 0);
    EXPECT_EQ(s.IndexOfText("NAN", false, true), 1);
    EXPECT_EQ(s.IndexOfText("NAN", true, true), -1);
    EXPECT_EQ(s.IndexOfText("pp", true, true), 0);
    TParamInt i;
    i.SetInteger(42);
    EXPECT_EQ(i.IndexOfText("42", true, false), 0);
}

struct RealTextCase {
    long double value;
    const char* text;
};

TEST(RealToText, GeneralFormat)
{
    const RealTextCase cases[] = {
        {0, "0"},
        {1, "1"},
        {-1.5L, "-1.5"},
        {0.1L, "0.1"},
        {1e20L, "1E20"},
        {1.5e-7L, "1.5E-7"},
        {0.00001L, "0.00001"},
        {0.000001L, "1E-6"},
        {123456789012345.0L, "123456789012345"},
        {1234567890123456.0L, "1.23456789012346E15"},
        {1e15L, "1E15"},
        {100, "100"},
        {2.0L / 3, "0.666666666666667"},
        {-0.000012345L, "-0.000012345"},
        {3.14159265358979323846L, "3.14159265358979"},
        {1e-300L, "1E-300"},
        {1e4000L, "1E4000"},
    };
    for (const auto& c : cases) EXPECT_EQ(RealToText(c.value), c.text) << (double)c.value;
}

TEST(TextToNumber, IntegerParse)
{
    struct {
        const char* text;
        bool valid;
        int32_t value;
    } cases[] = {
        {"0", true, 0},           {"  12", true, 12},      {"+7", true, 7},           {"-2147483648", true, INT32_MIN},
        {"2147483647", true, INT32_MAX}, {"2147483648", false, 0}, {"-2147483649", false, 0}, {"$FF", true, 255},
        {"0x10", true, 16},       {"X1f", true, 31},       {"$FFFFFFFF", true, -1},   {"$100000000", false, 0},
        {"", false, 0},           {"-", false, 0},         {"$", false, 0},           {"1 ", false, 0},
        {"1.0", false, 0},        {"abc", false, 0},       {"0x", false, 0},
    };
    for (const auto& c : cases) {
        int32_t value = 12345;
        EXPECT_EQ(TryTextToInteger(c.text, value), c.valid) << c.text;
        if (c.valid) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(TextToNumber, RealParse)
{
    struct {
        const char* text;
        bool valid;
        long double value;
    } cases[] = {
        {"1.5", true, 1.5L}, {" -2.25 ", true, -2.25L}, {"1e3", true, 1000}, {"1E-2", true, 0.01L},
        {".5", true, 0.5L},  {"3.", true, 3},           {"", false, 0},      {"1e", false, 0},
        {"abc", false, 0},   {"1.5x", false, 0},        {"$10", false, 0},   {"1e99999", false, 0},
    };
    for (const auto& c : cases) {
        Real value = 0;
        EXPECT_EQ(TryTextToReal(c.text, value), c.valid) << c.text;
        if (c.valid) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

}  // namespace
}  // namespace mobu
