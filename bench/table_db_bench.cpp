// The table database against SQLite in memory, 100,000 records of (int, real, string of 20):
// appending (SQLite: prepared INSERTs in one transaction), locating a text only the last
// record holds (SQLite: SELECT ... WHERE s = ? LIMIT 1 without an index), sorting on
// (int descending, string ascending) (SQLite: ORDER BY, every row stepped), and loading the
// saved section against reading the same bytes alone. DBInsert and DBLocate also run through
// compiled expressions, against the table calls alone.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "expr/build_mobu_parser.h"
#include "expr/dbs/db_functions.h"
#include "expr/dbs/db_manager.h"
#include "expr/mobu_parser.h"
#include "expr/param_collection.h"
#include "expr/sys_func_man.h"

namespace {

using namespace mobu;

constexpr int kRecords = 100000;

struct Row {
    int32_t i;
    double r;
    std::string s;
};

const std::vector<Row>& Rows()
{
    static const std::vector<Row> rows = [] {
        std::vector<Row> out;
        uint32_t seed = 23;
        for (int n = 0; n < kRecords; ++n) {
            seed = seed * 1664525u + 1013904223u;
            char text[21];
            std::snprintf(text, sizeof text, "item%08u_%07d", seed % 100000000u, n);
            out.push_back(Row{static_cast<int32_t>(seed % 1000), (seed % 100000) / 7.0, text});
        }
        return out;
    }();
    return rows;
}

void AddFields(TDBTable& table)
{
    table.AddField("i", kDBInteger, 0);
    table.AddField("r", kDBReal, 0);
    table.AddField("s", kDBString, 20);
}

void Fill(TDBTable& table)
{
    AddFields(table);
    for (const Row& row : Rows()) {
        table.Append();
        table.SetInOrder({TDBValue::OfInteger(row.i), TDBValue::OfReal(row.r), TDBValue::OfText(row.s)});
    }
}

sqlite3* OpenSqlite()
{
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    sqlite3_exec(db, "CREATE TABLE t (i INTEGER, r REAL, s TEXT)", nullptr, nullptr, nullptr);
    return db;
}

void FillSqlite(sqlite3* db)
{
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO t VALUES (?, ?, ?)", -1, &insert, nullptr);
    for (const Row& row : Rows()) {
        sqlite3_bind_int(insert, 1, row.i);
        sqlite3_bind_double(insert, 2, row.r);
        sqlite3_bind_text(insert, 3, row.s.data(), static_cast<int>(row.s.size()), SQLITE_STATIC);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

void BM_Append_Mobu(benchmark::State& state)
{
    Rows();
    for (auto _ : state) {
        TDBTable table("t", false);
        Fill(table);
        benchmark::DoNotOptimize(table.RecordCount());
    }
}
BENCHMARK(BM_Append_Mobu)->Unit(benchmark::kMillisecond);

void BM_Append_Sqlite(benchmark::State& state)
{
    Rows();
    for (auto _ : state) {
        sqlite3* db = OpenSqlite();
        FillSqlite(db);
        sqlite3_close(db);
    }
}
BENCHMARK(BM_Append_Sqlite)->Unit(benchmark::kMillisecond);

void BM_Locate_Mobu(benchmark::State& state)
{
    TDBTable table("t", false);
    Fill(table);
    const std::vector<TDBValue> value = {TDBValue::OfText(Rows().back().s)};
    for (auto _ : state) {
        const auto found = table.Find({"s"}, value, false, false);
        if (found.size() != 1) state.SkipWithError("not found");
        table.SetRecNo(found.front());
    }
}
BENCHMARK(BM_Locate_Mobu)->Unit(benchmark::kMillisecond);

void BM_Locate_Sqlite(benchmark::State& state)
{
    sqlite3* db = OpenSqlite();
    FillSqlite(db);
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, "SELECT rowid FROM t WHERE s = ? LIMIT 1", -1, &select, nullptr);
    const std::string& last = Rows().back().s;
    for (auto _ : state) {
        sqlite3_bind_text(select, 1, last.data(), static_cast<int>(last.size()), SQLITE_STATIC);
        if (sqlite3_step(select) != SQLITE_ROW) state.SkipWithError("not found");
        benchmark::DoNotOptimize(sqlite3_column_int64(select, 0));
        sqlite3_reset(select);
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
}
BENCHMARK(BM_Locate_Sqlite)->Unit(benchmark::kMillisecond);

void BM_Sort_Mobu(benchmark::State& state)
{
    TDBTable original("t", false);
    Fill(original);
    for (auto _ : state) {
        state.PauseTiming();
        TDBTable table = original;
        state.ResumeTiming();
        table.Sort({"i", "s"}, {true, false});
        benchmark::DoNotOptimize(table.Record(0));
    }
}
BENCHMARK(BM_Sort_Mobu)->Unit(benchmark::kMillisecond);

void BM_Sort_Sqlite(benchmark::State& state)
{
    sqlite3* db = OpenSqlite();
    FillSqlite(db);
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, "SELECT i, r, s FROM t ORDER BY i DESC, s ASC", -1, &select, nullptr);
    for (auto _ : state) {
        int rows = 0;
        while (sqlite3_step(select) == SQLITE_ROW) ++rows;
        if (rows != kRecords) state.SkipWithError("rows missing");
        sqlite3_reset(select);
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
}
BENCHMARK(BM_Sort_Sqlite)->Unit(benchmark::kMillisecond);

std::string SavedSection()
{
    TDBManager db;
    db.CreateTable("t", false, false);
    Fill(*db.Active());
    ByteWriter out;
    db.SaveTables(out, false);
    return out.Take();
}

void BM_LoadTables(benchmark::State& state)
{
    const std::string bytes = SavedSection();
    TDBManager db;
    for (auto _ : state) {
        ByteReader in(bytes);
        db.LoadTables(in, false);
        benchmark::DoNotOptimize(db.Active());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_LoadTables)->Unit(benchmark::kMillisecond);

// The same bytes copied out alone, as a reader that only takes the record blocks would.
void BM_LoadTables_PlainRead(benchmark::State& state)
{
    const std::string bytes = SavedSection();
    for (auto _ : state) {
        std::vector<uint8_t> copy(bytes.size());
        std::memcpy(copy.data(), bytes.data(), bytes.size());
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_LoadTables_PlainRead)->Unit(benchmark::kMillisecond);

struct ScriptSetup {
    TParamCollection table;
    TSysFuncMan functions{table};
    TDBManager db;
    ScriptSetup() { InstallDBFunctions(functions, db); }
    std::unique_ptr<TMobuParser> Compile(const std::string& text)
    {
        TBuildMobuParser compiler;
        compiler.Compile(text);
        auto parser = std::make_unique<TMobuParser>();
        parser->LoadFromBytes(compiler.ToStream());
        return parser;
    }
};

constexpr int kScriptRecords = 10000;

void BM_InsertThroughExpression(benchmark::State& state)
{
    for (auto _ : state) {
        ScriptSetup s;
        s.db.CreateTable("t", false, false);
        AddFields(*s.db.Active());
        auto insert = s.Compile("DBInsert(12, 3.5, \"item00000000_0000000\")");
        for (int n = 0; n < kScriptRecords; ++n) insert->Execute(s.functions);
    }
}
BENCHMARK(BM_InsertThroughExpression)->Unit(benchmark::kMillisecond);

// The evaluator alone on a call of a built-in function with three arguments: what any
// function call through a compiled expression costs before the function runs.
void BM_ExpressionAlone(benchmark::State& state)
{
    for (auto _ : state) {
        ScriptSetup s;
        auto call = s.Compile("Max(12, 3) + Length(\"item00000000_0000000\")");
        for (int n = 0; n < kScriptRecords; ++n) call->Execute(s.functions);
    }
}
BENCHMARK(BM_ExpressionAlone)->Unit(benchmark::kMillisecond);

void BM_InsertThroughManager(benchmark::State& state)
{
    for (auto _ : state) {
        ScriptSetup s;
        s.db.CreateTable("t", false, false);
        AddFields(*s.db.Active());
        for (int n = 0; n < kScriptRecords; ++n) {
            TDBTable& table = *s.db.Active();
            table.Append();
            table.SetInOrder({TDBValue::OfInteger(12), TDBValue::OfReal(3.5L), TDBValue::OfText("item00000000_0000000")});
        }
    }
}
BENCHMARK(BM_InsertThroughManager)->Unit(benchmark::kMillisecond);

void BM_LocateThroughExpression(benchmark::State& state)
{
    ScriptSetup s;
    s.db.CreateTable("t", false, false);
    Fill(*s.db.Active());
    auto locate = s.Compile("DBLocate(\"s\", \"" + Rows().back().s + "\")");
    for (auto _ : state) locate->Execute(s.functions);
}
BENCHMARK(BM_LocateThroughExpression)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
