// mobupack expr and the table database: a fresh database per run, --tables FILE read before
// the first text and written back after the last (byte for byte when nothing changed, a
// damaged file refused untouched), and --dump-tables.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/run_tools.h"

namespace {

namespace fs = std::filesystem;

struct ToolRun {
    std::string out;
    int status = 0;
};

ToolRun RunTool(const std::string& arguments)
{
    std::string command = std::string(MOBU_BINARY_DIR) + "/mobupack expr " + arguments + " 2>&1";
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[256];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) run.out.append(buffer, n);
    run.status = pclose(pipe);
    return run;
}

std::string LastLine(const std::string& out)
{
    const size_t end = out.size() && out.back() == '\n' ? out.size() - 1 : out.size();
    const size_t start = out.rfind('\n', end - 1);
    return out.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1));
}

class DBTool : public ::testing::Test {
protected:
    fs::path scratch = fs::temp_directory_path() / ("mobu-db-tool-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
    void SetUp() override
    {
        fs::remove_all(scratch);
        fs::create_directories(scratch);
    }
    void TearDown() override { fs::remove_all(scratch); }
};

TEST_F(DBTool, EveryRunHasAFreshDatabase)
{
    ToolRun run = RunTool("'DBCreateTable(\"t\", FALSE)' 'DBAddField(\"n\", 1)' 'DBInsert(5)' 'DBGetInt(\"n\")'");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(LastLine(run.out), "= 5");
    EXPECT_EQ(LastLine(RunTool("'DBGetTableCount()'").out), "= 0");
}

TEST_F(DBTool, TablesFileKeepsBothSectionsAcrossRuns)
{
    const fs::path file = scratch / "tables.bin";
    ToolRun first = RunTool("--tables " + file.string() +
                            " 'DBCreateTable(\"runs\", TRUE)' 'DBAddField(\"n\", 1)' 'DBInsert(1)'"
                            " 'DBCreateTable(\"items\", FALSE)' 'DBAddField(\"name\", 4, 8)' 'DBInsert(\"sword\")'");
    ASSERT_EQ(first.status, 0) << first.out;
    const std::string saved = mobu::run_tools::ReadAll(file);
    ASSERT_FALSE(saved.empty());
    ToolRun second = RunTool("--tables " + file.string() + " --dump-tables " + (scratch / "dump.json").string() +
                             " 'DBGetActive() ++ \":\" ++ DBGetStr(\"name\") ++ \":\" ++ IntToStr(DBRecordCount(\"runs\"))'");
    ASSERT_EQ(second.status, 0) << second.out;
    EXPECT_EQ(LastLine(second.out), "= \"items:sword:1\"");
    EXPECT_EQ(mobu::run_tools::ReadAll(file), saved);  // unchanged tables are written back byte for byte
    EXPECT_EQ(mobu::run_tools::ReadAll(scratch / "dump.json"),
              "{\"active\": \"items\", \"tables\": [{\"name\": \"runs\", \"status\": true, \"current\": 0, \"fields\": "
              "[{\"name\": \"n\", \"type\": \"int\", \"width\": 4}], \"records\": [[1]], \"raw\": [\"01000000\"]}, "
              "{\"name\": \"items\", \"status\": false, \"current\": 0, \"fields\": [{\"name\": \"name\", \"type\": "
              "\"string\", \"width\": 9}], \"records\": [[\"sword\"]], \"raw\": [\"73776f7264000000" "00\"]}]}\n");
}

TEST_F(DBTool, DamagedTablesFileIsRefusedUntouched)
{
    const fs::path file = scratch / "tables.bin";
    const std::string damaged("\x64\x00\x00\x00\x05\x00\x00\x00", 8);
    std::ofstream(file, std::ios::binary) << damaged;
    ToolRun run = RunTool("--tables " + file.string() + " 'DBCreateTable(\"x\", FALSE)'");
    EXPECT_EQ(run.status >> 8, 1);
    EXPECT_EQ(run.out, file.string() + ": damaged table sections\n");  // nothing run
    EXPECT_EQ(mobu::run_tools::ReadAll(file), damaged);
}

// DBLoadTsvFile reads a game file: CR LF, LF and CR lines, a header with all four types, a
// text whose second byte is the backslash's code, and a bad header.
TEST_F(DBTool, LoadTsvFileReadsTheGameFile)
{
    const fs::path game = scratch / "game";
    fs::create_directories(game / "data");
    std::ofstream(game / "start.msb", std::ios::binary) << "page";
    std::ofstream(game / "data" / "items.tsv", std::ios::binary)
        << "name str 6\tprice int\towned bool\trate float\r\n"
           "sword\t100\tFALSE\t1.5\r\n\r\n"
           "\x95\x5cn\t300\tTRUE\n"
           "axe\t200\r";
    std::ofstream(game / "data" / "bad.tsv", std::ios::binary) << "a int\t int\n1\n";
    const std::string prefix = "--game " + game.string() + " 'DBCreateTable(\"t\", FALSE)' ";
    struct Case {
        const char* texts;
        const char* expected;
    };
    const Case cases[] = {
        {"'DBLoadTsvFile(\"data\\\\items.tsv\")'", "= TRUE"},
        {"'DBLoadTsvFile(\"DATA\\\\ITEMS.TSV\")' 'DBRecordCount()'", "= 3"},
        {"'DBLoadTsvFile(\"data\\\\items.tsv\")' 'DBGetRecNo()'", "= 2"},
        {"'DBLoadTsvFile(\"data\\\\items.tsv\")' 'DBLocate(\"owned\", TRUE)' 'JLength(DBGetStr(\"name\")) * 1000 + DBGetInt(\"price\")'",
         "= 2300"},
        {"'DBLoadTsvFile(\"data\\\\items.tsv\")' 'DBSort(\"price\", TRUE)' 'DBFindFirst()' 'DBGetStr(\"name\")'", "= \"\xe8\xa1\xa8n\""},
        {"'DBLoadTsvFile(\"data\\\\items.tsv\")' 'DBFindFirst()' 'DBGetFloat(\"rate\")'", "= 1.5"},
        {"'DBLoadTsvFile(\"data\\\\bad.tsv\")'", "= FALSE"},
        {"'DBLoadTsvFile(\"data\\\\bad.tsv\")' 'DBRecordCount()'", "= 0"},
        {"'DBLoadTsvFile(\"data\\\\none.tsv\")'", "= FALSE"},
    };
    for (const Case& c : cases) {
        ToolRun run = RunTool(prefix + c.texts);
        EXPECT_EQ(run.status, 0) << c.texts << "\n" << run.out;
        EXPECT_EQ(LastLine(run.out), c.expected) << c.texts;
    }
}

}  // namespace
