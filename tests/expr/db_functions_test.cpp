// The 40 table-database functions through the expression compiler and evaluator: a table of
// steps run in order on one database, each with the result it must give. None raises.
#include <gtest/gtest.h>

#include "expr/build_mobu_parser.h"
#include "expr/custom_param.h"
#include "expr/dbs/db_functions.h"
#include "expr/dbs/db_manager.h"
#include "expr/mobu_parser.h"
#include "expr/param_collection.h"
#include "expr/param_types.h"
#include "expr/sys_func_man.h"
#include "expr/sys_func_table.h"

namespace mobu {
namespace {

class DBFunctions : public ::testing::Test {
protected:
    DBFunctions() { InstallDBFunctions(functions, db); }

    TParamCollection table;
    TSysFuncMan functions{table};
    TDBManager db;

    TCustomParam& Declare(const std::string& name, uint8_t type) { return *table.AddVariable(name, type)->Value(); }

    std::string Eval(const std::string& text)
    {
        TBuildMobuParser compiler;
        compiler.Compile(text);
        TMobuParser parser;
        parser.LoadFromBytes(compiler.ToStream());
        parser.Execute(functions);
        EXPECT_EQ(parser.LastError(), "") << text;
        return parser.Result() ? parser.Result()->GetString() : "(none)";
    }

    struct Step {
        const char* text;
        const char* expected;
    };
    void RunSteps(std::initializer_list<Step> steps)
    {
        for (const Step& step : steps) EXPECT_EQ(Eval(step.text), step.expected) << step.text;
    }
};

TEST_F(DBFunctions, WithoutAnyTable)
{
    RunSteps({
        {"DBGetActive()", ""},
        {"DBGetTableCount()", "0"},
        {"DBRecordCount()", "-1"},
        {"DBRecordCount(\"x\")", "-1"},
        {"DBGetRecNo()", "-1"},
        {"DBAddField(\"a\", 1)", "FALSE"},
        {"DBInsert(1)", "FALSE"},
        {"DBDelete()", "FALSE"},
        {"DBSetRecNo(0)", "FALSE"},
        {"DBFindFirst()", "FALSE"},
        {"DBFindLast()", "FALSE"},
        {"DBFindNext()", "FALSE"},
        {"DBFindPrior()", "FALSE"},
        {"DBGetInt(\"a\")", "0"},
        {"DBGetFloat(\"a\")", "0"},
        {"DBGetBool(\"a\")", "FALSE"},
        {"DBGetStr(\"a\")", ""},
        {"DBSetInt(\"a\", 1)", "FALSE"},
        {"DBSetStr(\"a\", \"x\")", "FALSE"},
        {"DBLocate(\"a\", 1)", "FALSE"},
        {"DBSort(\"a\", TRUE)", "FALSE"},
        {"DBLoadTsvFile(\"none.tsv\")", "FALSE"},
        {"DBSetActive(\"x\")", "FALSE"},
        {"DBCopy(\"x\")", "FALSE"},
        {"DBCopyTable(\"x\")", "FALSE"},
        {"DBInsertTable(\"x\")", "FALSE"},
        {"DBClearRecord()", "FALSE"},
        {"DBDeleteTable()", "FALSE"},
        {"DBDirectGetInt(\"t\", \"a\", 1, FALSE, FALSE, \"a\", 42)", "42"},
        {"DBDirectGetStr(\"t\", \"a\", 1, FALSE, FALSE, \"a\", \"def\")", "def"},
        {"DBDirectSetInt(\"t\", \"a\", 1, FALSE, FALSE, \"a\", 42)", "FALSE"},
        {"DBGetTable(0, \"n\")", "FALSE"},
        {"DBClearTable()", "TRUE"},
        {"DBCreateTable(\"\", FALSE)", "FALSE"},
    });
}

TEST_F(DBFunctions, CreateFillReadAndNavigate)
{
    RunSteps({
        {"DBCreateTable(\"items\", FALSE)", "TRUE"},
        {"DBGetActive()", "items"},
        {"DBAddField(\"name\", 4, 5)", "TRUE"},
        {"DBAddField(\"price\", 1)", "TRUE"},
        {"DBAddField(\"rate\", 2)", "TRUE"},
        {"DBAddField(\"owned\", 3)", "TRUE"},
        {"DBAddField(\"note\", 4)", "TRUE"},  // length 80
        {"DBAddField(\"NAME\", 1)", "FALSE"},
        {"DBAddField(\"bad\", 5)", "FALSE"},
        {"DBAddField(\"bad\", 0)", "FALSE"},
        {"DBAddField(\"bad\", 4, -1)", "FALSE"},
        {"DBAddField(\"bad\", 4, 2000000)", "FALSE"},
        {"DBAddField(\"\", 1)", "FALSE"},
        {"DBRecordCount()", "0"},
        {"DBInsert(\"\x82\xa0\x82\xa2\x82\xa4\", 300, 1.5, TRUE, \"n\", 99, 98)", "TRUE"},  // extra values ignored
        {"DBGetStr(\"name\")", "\x82\xa0\x82\xa2"},                                       // あい of あいう
        {"DBGetInt(\"PRICE\")", "300"},
        {"DBGetFloat(\"rate\")", "1.5"},
        {"DBGetInt(\"rate\")", "2"},
        {"DBGetBool(\"owned\")", "TRUE"},
        {"DBGetStr(\"owned\")", "TRUE"},
        {"DBGetStr(\"missing\")", ""},
        {"DBInsert(\"sword\", 100)", "TRUE"},
        {"DBInsert(\"axe\", 200, 2.5)", "TRUE"},
        {"DBRecordCount()", "3"},
        {"DBRecordCount(\"ITEMS\")", "3"},
        {"DBGetRecNo()", "2"},
        {"DBGetRecNo(\"anything\")", "2"},
        {"DBSetFloat(\"price\", 2.5)", "TRUE"},
        {"DBGetInt(\"price\")", "2"},
        {"DBSetFloat(\"price\", 3.5)", "TRUE"},
        {"DBGetInt(\"price\")", "4"},
        {"DBSetStr(\"name\", \"abcdefgh\")", "TRUE"},
        {"DBGetStr(\"name\")", "abcde"},
        {"DBSetBool(\"name\", TRUE)", "TRUE"},
        {"DBGetStr(\"name\")", "TRUE"},
        {"DBSetInt(\"owned\", 7)", "TRUE"},
        {"DBGetInt(\"owned\")", "1"},
        {"DBSetStr(\"owned\", \"true\")", "TRUE"},
        {"DBGetBool(\"owned\")", "FALSE"},
        {"DBSetInt(\"missing\", 1)", "FALSE"},
        {"DBFindFirst()", "TRUE"},
        {"DBGetRecNo()", "0"},
        {"DBFindPrior()", "FALSE"},
        {"DBFindNext()", "TRUE"},
        {"DBFindLast()", "TRUE"},
        {"DBFindNext()", "FALSE"},
        {"DBSetRecNo(3)", "FALSE"},
        {"DBSetRecNo(-1)", "TRUE"},
        {"DBGetRecNo()", "-1"},
        {"DBGetInt(\"price\")", "0"},
        {"DBSetInt(\"price\", 1)", "FALSE"},
        {"DBFindNext()", "FALSE"},
        {"DBDelete()", "FALSE"},
        {"DBSetRecNo(2)", "TRUE"},
        {"DBDelete()", "TRUE"},
        {"DBGetRecNo()", "1"},  // the new last record
        {"DBGetStr(\"name\")", "sword"},
        {"DBCreateTable(\"items\", TRUE)", "TRUE"},  // kept
        {"DBRecordCount()", "2"},
        {"DBCreateTable(\"other\", TRUE)", "TRUE"},
        {"DBGetTableCount()", "2"},
        {"DBSetActive(\"ITEMS\")", "TRUE"},
        {"DBClearRecord(\"other\")", "TRUE"},
        {"DBClearRecord()", "TRUE"},
        {"DBRecordCount()", "0"},
        {"DBGetStr(\"name\")", ""},
        {"DBCreateTable(\"items\", FALSE)", "TRUE"},  // cleared
        {"DBInsert(1)", "TRUE"},
        {"DBGetStr(\"name\")", ""},
    });
    EXPECT_EQ(db.Find("other")->Status(), true);
    EXPECT_EQ(db.Find("items")->Status(), false);
    EXPECT_EQ(db.Find("items")->Fields().Count(), 0u);
}

TEST_F(DBFunctions, LocateSortAndDirectAccess)
{
    TCustomParam& names = Declare("names", PT_STR);
    names.SetDims({2});
    names.SetStringAt(0, "kind");
    names.SetStringAt(1, "n");
    TCustomParam& values = Declare("values", PT_INT);
    values.SetDims({2});
    values.SetIntegerAt(0, 2);
    values.SetIntegerAt(1, 7);
    TCustomParam& down = Declare("down", PT_BOOL);
    down.SetDims({2});
    down.SetFlagAt(0, true);
    RunSteps({
        {"DBCreateTable(\"t\", FALSE)", "TRUE"},
        {"DBAddField(\"kind\", 1)", "TRUE"},
        {"DBAddField(\"n\", 1)", "TRUE"},
        {"DBAddField(\"s\", 4, 10)", "TRUE"},
        {"DBInsert(1, 5, \"bcd\")", "TRUE"},
        {"DBInsert(2, 5, \"abcdefg\")", "TRUE"},
        {"DBInsert(2, 7, \"Bcd\")", "TRUE"},
        {"DBInsert(1, 9, \"zz\")", "TRUE"},
        {"DBLocate(\"s\", \"abcdef\", FALSE, TRUE)", "TRUE"},
        {"DBGetRecNo()", "0"},
        {"DBLocate(\"s\", \"BCD\", TRUE)", "TRUE"},
        {"DBGetRecNo()", "0"},
        {"DBLocate(\"s\", \"Bcd\")", "TRUE"},
        {"DBGetRecNo()", "2"},
        {"DBLocate(\"nothere\", 1)", "FALSE"},
        {"DBGetRecNo()", "2"},
        {"DBLocate(\"s\", \"none\")", "FALSE"},
        {"DBLocate(names, values)", "TRUE"},
        {"DBGetStr(\"s\")", "Bcd"},
        {"DBSort(names, down)", "TRUE"},  // kind descending, n ascending
        {"DBGetRecNo()", "2"},
        {"DBFindFirst()", "TRUE"},
        {"DBGetStr(\"s\")", "abcdefg"},
        {"DBFindLast()", "TRUE"},
        {"DBGetStr(\"s\")", "zz"},
        {"DBSort(\"s\", TRUE)", "TRUE"},
        {"DBFindFirst()", "TRUE"},
        {"DBGetStr(\"s\")", "zz"},
        {"DBDirectGetInt(\"T\", \"s\", \"abcdefg\", FALSE, FALSE, \"n\", -1)", "5"},
        {"DBDirectGetStr(\"t\", \"n\", 9, FALSE, FALSE, \"s\", \"\")", "zz"},
        {"DBDirectGetFloat(\"t\", \"n\", 9, FALSE, FALSE, \"kind\", 0.5)", "1"},
        {"DBDirectGetBool(\"t\", \"n\", 4, FALSE, FALSE, \"kind\", TRUE)", "TRUE"},
        {"DBDirectGetInt(\"t\", \"n\", 9, FALSE, FALSE, \"nofield\", 3)", "3"},
        {"DBDirectSetStr(\"t\", \"n\", 9, FALSE, FALSE, \"s\", \"yy\")", "TRUE"},
        {"DBDirectSetInt(\"t\", \"n\", 9, FALSE, FALSE, \"n\", 10)", "TRUE"},
        {"DBDirectSetFloat(\"t\", \"n\", 10, FALSE, FALSE, \"kind\", 4.5)", "TRUE"},
        {"DBDirectSetBool(\"t\", \"n\", 10, FALSE, FALSE, \"nofield\", TRUE)", "FALSE"},
        {"DBDirectGetInt(\"t\", \"s\", \"yy\", FALSE, FALSE, \"kind\", 0)", "4"},
        {"DBGetRecNo()", "0"},
    });
}

TEST_F(DBFunctions, CopyInsertDeleteAndListTables)
{
    TCustomParam& name = Declare("name", PT_STR);
    TCustomParam& status = Declare("status", PT_BOOL);
    RunSteps({
        {"DBCreateTable(\"src\", FALSE)", "TRUE"},
        {"DBAddField(\"n\", 1)", "TRUE"},
        {"DBInsert(1)", "TRUE"},
        {"DBInsert(2)", "TRUE"},
        {"DBInsert(3)", "TRUE"},
        {"DBCreateTable(\"dst\", TRUE)", "TRUE"},
        {"DBAddField(\"x\", 4)", "TRUE"},
        {"DBSetActive(\"src\")", "TRUE"},
        {"DBCopyTable(\"src\")", "FALSE"},  // the active table itself
        {"DBCopyTable(\"none\")", "FALSE"},
        {"DBCopyTable(\"dst\", \"n\", 2)", "TRUE"},
        {"DBRecordCount(\"dst\")", "1"},
        {"DBCopyTable(\"dst\")", "TRUE"},
        {"DBRecordCount(\"dst\")", "3"},
        {"DBFindFirst()", "TRUE"},
        {"DBCopy(\"dst\")", "TRUE"},
        {"DBRecordCount(\"dst\")", "4"},
        {"DBCopy(\"src\")", "TRUE"},  // into the active table itself
        {"DBRecordCount()", "4"},
        {"DBInsertTable(\"src\")", "TRUE"},  // the active table as its own source
        {"DBRecordCount()", "8"},
        {"DBInsertTable(\"dst\", \"n\", 3)", "TRUE"},
        {"DBRecordCount()", "9"},
        {"DBCreateTable(\"odd\", FALSE)", "TRUE"},
        {"DBAddField(\"N\", 2)", "TRUE"},
        {"DBInsertTable(\"src\")", "FALSE"},  // other fields
        {"DBSetActive(\"src\")", "TRUE"},
        {"DBCopy(\"odd\")", "FALSE"},
        {"DBGetTableCount()", "3"},
        {"DBGetTable(1, name, status)", "TRUE"},
        {"DBGetTable(3, name)", "FALSE"},
        {"DBGetTable(-1, name)", "FALSE"},
        {"DBDeleteTable(\"odd\")", "FALSE"},
        {"DBGetActive()", "src"},
        {"DBGetTableCount()", "2"},
        {"DBDeleteTable()", "FALSE"},
        {"DBGetActive()", ""},
        {"DBGetTableCount()", "1"},
        {"DBClearTable()", "TRUE"},
        {"DBGetTableCount()", "0"},
    });
    EXPECT_EQ(name.GetString(), "dst");
    EXPECT_TRUE(status.GetFlag());
}

TEST_F(DBFunctions, EveryFunctionIsInstalled)
{
    const auto unavailable = UnavailableFunctionNames(functions);
    for (const auto& name : unavailable) EXPECT_NE(name.rfind("DB", 0), 0u) << name;
    int installed = 0;
    for (int id = 0; id < kSysFuncCount; ++id) installed += functions.HasHandler(id) && std::string(kSysFuncTable[id].name).rfind("DB", 0) == 0;
    EXPECT_EQ(installed, 40);
}

}  // namespace
}  // namespace mobu
