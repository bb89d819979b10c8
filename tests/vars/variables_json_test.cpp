#include <gtest/gtest.h>

#include <sstream>

#include "expr/param_collection.h"
#include "expr/variables_json.h"

namespace mobu {
namespace {

TEST(VariablesJson, DumpsEveryKindOfVariable)
{
    TParamCollection table;
    table.AddVariable("n", PT_INT)->Value()->SetInteger(-3);
    auto* grid = table.AddVariable("grid", PT_BOOL);
    grid->Value()->SetDims({2, 2});
    grid->Value()->SetFlagAt(1, true);
    table.AddVariable("s", PT_STR, TVarScope::Status)->Value()->SetString("\x82\xa0\"\\\n");
    table.CurrentDepth = 1;
    table.AddVariable("l", PT_FLOAT, TVarScope::Local)->Value()->SetFloat(0.1L);
    table.AddVariable("au", PT_INT, TVarScope::AutoDestroy);
    table.AddVariable("____1", PT_INT);
    table.AddVariable("____d_0", PT_NONE);
    std::ostringstream out;
    WriteVariablesJson(table, out);
    const std::string json = out.str();
    EXPECT_NE(json.find("{\"name\": \"n\", \"scope\": \"global\", \"type\": \"int\", \"value\": -3}"), std::string::npos);
    EXPECT_NE(json.find("{\"name\": \"grid\", \"scope\": \"global\", \"type\": \"flag\", \"dims\": [2, 2], "
                        "\"value\": [false, true, false, false]}"),
              std::string::npos);
    EXPECT_NE(json.find("{\"name\": \"s\", \"scope\": \"status\", \"type\": \"string\", \"value\": \"あ\\\"\\\\\\n\"}"),
              std::string::npos);
    EXPECT_NE(json.find("\"name\": \"l\", \"scope\": \"local\", \"type\": \"real\", \"value\": 0.1}"), std::string::npos)
        << json;
    EXPECT_NE(json.find("\"name\": \"au\", \"scope\": \"auto\""), std::string::npos);
    EXPECT_NE(json.find("{\"name\": \"@TextDelay\", \"scope\": \"system\", \"type\": \"int\", \"value\": 50}"),
              std::string::npos);
    EXPECT_EQ(json.find("____"), std::string::npos);
    EXPECT_EQ(json.front(), '[');
}

TEST(VariablesJson, RealsReadBackExactly)
{
    for (Real value : {0.1L, 1.0L / 3, -2.5e300L, 1e-4000L, 123456789.0L, 0.0L}) {
        const std::string text = RealToJson(value);
        EXPECT_EQ(std::strtold(text.c_str(), nullptr), value) << text;
    }
    EXPECT_EQ(RealToJson(0.1L), "0.1");
}

}  // namespace
}  // namespace mobu
