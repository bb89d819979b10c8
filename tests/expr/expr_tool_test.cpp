// mobupack expr: operations one per line, then "= " and the result.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

struct ToolRun {
    std::string out;
    int status = 0;
};

ToolRun RunTool(const std::string& text)
{
    std::string command = std::string(MOBU_BINARY_DIR) + "/mobupack expr '" + text + "' 2>/dev/null";
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[256];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) run.out.append(buffer, n);
    run.status = pclose(pipe);
    return run;
}

TEST(ExprTool, PrintsOperationsAndTheResult)
{
    EXPECT_EQ(RunTool("1 + 2 * 3").out, "ocMul ____0 = 2, 3\nocPlus ____1 = 1, ____0\nocTo ____arg = ____1\n= 7\n");
    EXPECT_EQ(RunTool("IntToStr(7, 3) ++ \"\xE3\x81\x82\"").out,
              "ocTo ____0 = \"\xE3\x81\x82\"\nocFunc ____1 = IntToStr(7, 3)\nocComboStr ____2 = ____1, ____0\nocTo ____arg = ____2\n"
              "= \"007\xE3\x81\x82\"\n");
    EXPECT_EQ(RunTool("7.0 / 2").out, "ocDiv ____0 = 7.0, 2\nocTo ____arg = ____0\n= 3.5\n");
    EXPECT_EQ(RunTool("1 < 2").out, "ocSmall ____0 = 1, 2\nocTo ____arg = ____0\n= TRUE\n");
    EXPECT_EQ(RunTool("1 / 0").out, "ocDiv ____0 = 1, 0\nocTo ____arg = ____0\n= (none)\n");
    EXPECT_EQ(RunTool("1.0 / 3").out.substr(RunTool("1.0 / 3").out.rfind('=')), "= 0.33333333333333333334\n");
    ToolRun bad = RunTool("a = (b");
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.status, 0);
}

}  // namespace
