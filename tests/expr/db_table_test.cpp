// The table database's model and its saved sections: conversions, cutting, matching and
// sorting against generated vectors (Python's round and cp932 codec, SQLite's ORDER BY and
// instr, struct-packed sections: tests/data/dbs/gen_db_vectors.py), and the section reader's
// refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "core/mobu_error.h"
#include "expr/dbs/db_manager.h"
#include "expr/dbs/db_table.h"
#include "expr/dbs/db_tsv.h"
#include "expr/script_text.h"
#include "expr/dbs/db_value.h"
#include "expr/param_conversion.h"

namespace mobu {
namespace {

std::vector<std::vector<std::string>> ReadVectors(const std::string& name)
{
    std::ifstream in(std::string(MOBU_SOURCE_DIR) + "/tests/data/dbs/" + name);
    EXPECT_TRUE(in) << name;
    std::vector<std::vector<std::string>> rows;
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::stringstream split(line);
        std::string cell;
        while (std::getline(split, cell, '\t')) cells.push_back(cell);
        if (!line.empty() && line.back() == '\t') cells.emplace_back();
        rows.push_back(cells);
    }
    return rows;
}

std::string FromHex(const std::string& hex)
{
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

std::string Hex(std::string_view bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

TEST(DBValue, RoundsToNearestEvenAndSaturates)
{
    int checked = 0;
    for (const auto& row : ReadVectors("round.tsv")) {
        ASSERT_EQ(row.size(), 2u);
        EXPECT_EQ(DBRoundToInteger(std::stold(row[0])), std::stol(row[1])) << row[0];
        ++checked;
    }
    EXPECT_GE(checked, 20);
    EXPECT_EQ(DBRoundToInteger(std::numeric_limits<Real>::quiet_NaN()), 0);
    EXPECT_EQ(DBRoundToInteger(std::numeric_limits<Real>::infinity()), INT32_MAX);
    EXPECT_EQ(DBRoundToInteger(-std::numeric_limits<Real>::infinity()), INT32_MIN);
}

TEST(DBValue, CutKeepsWholeTwoByteCharacters)
{
    int checked = 0;
    for (const auto& row : ReadVectors("cut.tsv")) {
        ASSERT_EQ(row.size(), 3u);
        const std::string text = FromHex(row[0]);
        EXPECT_EQ(Hex(DBCutText(text, std::stoul(row[1]))), row[2]) << row[0] << " " << row[1];
        // The same cut through a string field of that length.
        TDBCustomTable table;
        ASSERT_TRUE(table.AddField("s", kDBString, std::stol(row[1])));
        ASSERT_TRUE(table.Append());
        ASSERT_TRUE(table.Set("S", TDBValue::OfText(text)));
        std::string stored;
        ASSERT_TRUE(table.GetText("s", stored));
        EXPECT_EQ(Hex(stored), row[2]);
        ++checked;
    }
    EXPECT_GE(checked, 40);
}

TEST(DBValue, ConversionTable)
{
    TDBCustomTable t;
    ASSERT_TRUE(t.AddField("i", kDBInteger, 0));
    ASSERT_TRUE(t.AddField("r", kDBReal, 0));
    ASSERT_TRUE(t.AddField("f", kDBFlag, 0));
    ASSERT_TRUE(t.AddField("s", kDBString, 10));
    ASSERT_TRUE(t.Append());
    struct Case {
        const char* field;
        TDBValue value;
        int32_t as_int;
        Real as_real;
        bool as_flag;
        const char* as_text;
    };
    const Case cases[] = {
        {"i", TDBValue::OfInteger(-7), -7, -7, true, "-7"},
        {"i", TDBValue::OfReal(2.5L), 2, 2, true, "2"},
        {"i", TDBValue::OfReal(3.5L), 4, 4, true, "4"},
        {"i", TDBValue::OfText("12x"), 0, 0, false, "0"},
        {"i", TDBValue::OfFlag(true), 1, 1, true, "1"},
        {"r", TDBValue::OfInteger(3), 3, 3, true, "3"},
        {"r", TDBValue::OfReal(-1.5L), -2, -1.5L, true, "-1.5"},
        {"r", TDBValue::OfText("0.25"), 0, 0.25L, true, "0.25"},
        {"f", TDBValue::OfInteger(5), 1, 1, true, "TRUE"},
        {"f", TDBValue::OfText("true"), 0, 0, false, "FALSE"},
        {"f", TDBValue::OfText("TRUE"), 1, 1, true, "TRUE"},
        {"s", TDBValue::OfFlag(true), 0, 0, true, "TRUE"},
        {"s", TDBValue::OfReal(1.25L), 0, 1.25L, false, "1.25"},  // "1.25" is no integer
        {"s", TDBValue::OfInteger(42), 42, 42, false, "42"},
        {"s", TDBValue::OfText("abcdefghijkl"), 0, 0, false, "abcdefghij"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(t.Set(c.field, c.value)) << c.field;
        int32_t i = -99;
        Real r = -99;
        bool f = false;
        std::string s;
        ASSERT_TRUE(t.GetInteger(c.field, i) && t.GetReal(c.field, r) && t.GetFlag(c.field, f) && t.GetText(c.field, s));
        EXPECT_EQ(i, c.as_int) << c.field << " " << c.as_text;
        EXPECT_EQ(r, c.as_real) << c.field << " " << c.as_text;
        EXPECT_EQ(f, c.as_flag) << c.field << " " << c.as_text;
        EXPECT_EQ(s, c.as_text) << c.field;
    }
    // NaN and infinities in a real field (foreign data) read without harm.
    for (auto [value, text, integer] : {std::tuple{std::numeric_limits<Real>::quiet_NaN(), "NAN", 0},
                                        std::tuple{std::numeric_limits<Real>::infinity(), "INF", INT32_MAX},
                                        std::tuple{-std::numeric_limits<Real>::infinity(), "-INF", INT32_MIN}}) {
        ASSERT_TRUE(t.Set("r", TDBValue::OfReal(value)));
        std::string s;
        int32_t i = 0;
        ASSERT_TRUE(t.GetText("r", s) && t.GetInteger("r", i));
        EXPECT_EQ(s, text);
        EXPECT_EQ(i, integer);
    }
}

TEST(DBTable, NavigationAndDelete)
{
    TDBCustomTable t;
    ASSERT_TRUE(t.AddField("n", kDBInteger, 0));
    EXPECT_FALSE(t.First());
    EXPECT_FALSE(t.Next());
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(t.Append());
        t.Set("n", TDBValue::OfInteger(i * 10));
    }
    EXPECT_EQ(t.RecNo(), 2);
    EXPECT_FALSE(t.Next());
    EXPECT_TRUE(t.Prior());
    EXPECT_TRUE(t.First());
    EXPECT_FALSE(t.Prior());
    EXPECT_FALSE(t.SetRecNo(3));
    EXPECT_TRUE(t.SetRecNo(-5));
    EXPECT_EQ(t.RecNo(), -1);
    EXPECT_FALSE(t.DeleteCurrent());
    ASSERT_TRUE(t.Last());
    ASSERT_TRUE(t.DeleteCurrent());  // the new last record becomes current
    EXPECT_EQ(t.RecNo(), 1);
    ASSERT_TRUE(t.First());
    ASSERT_TRUE(t.DeleteCurrent());  // the next record moves up and stays current
    int32_t n = 0;
    ASSERT_TRUE(t.GetInteger("N", n));
    EXPECT_EQ(n, 10);
    ASSERT_TRUE(t.DeleteCurrent());
    EXPECT_EQ(t.RecNo(), -1);
    EXPECT_EQ(t.RecordCount(), 0);
}

TEST(DBTable, AddFieldGrowsRecordsAndRefusesBadFields)
{
    TDBCustomTable t;
    ASSERT_TRUE(t.AddField("a", kDBInteger, 0));
    ASSERT_TRUE(t.Append());
    t.Set("a", TDBValue::OfInteger(5));
    ASSERT_TRUE(t.AddField("b", kDBString, 3));
    EXPECT_EQ(t.Fields().RecordWidth(), 8u);
    int32_t a = 0;
    std::string b = "x";
    ASSERT_TRUE(t.GetInteger("a", a) && t.GetText("b", b));
    EXPECT_EQ(a, 5);
    EXPECT_EQ(b, "");
    EXPECT_FALSE(t.AddField("A", kDBFlag, 0));                      // same name without case
    EXPECT_FALSE(t.AddField("c", 5, 0));                            // no such type
    EXPECT_FALSE(t.AddField("c", 0, 0));
    EXPECT_FALSE(t.AddField("c", kDBString, -1));                   // a negative width
    EXPECT_FALSE(t.AddField("c", kDBString, kDBMaxRecordWidth));    // over the cap
    EXPECT_FALSE(t.AddField("", kDBInteger, 0));
    EXPECT_EQ(t.Fields().Count(), 2u);
}

TEST(DBTable, SortsLikeSqliteOrderBy)
{
    TDBCustomTable t;
    ASSERT_TRUE(t.AddField("id", kDBInteger, 0));
    ASSERT_TRUE(t.AddField("i", kDBInteger, 0));
    ASSERT_TRUE(t.AddField("r", kDBReal, 0));
    ASSERT_TRUE(t.AddField("s", kDBString, 20));
    const auto rows = ReadVectors("sort.tsv");
    int32_t id = 0;
    for (const auto& row : rows) {
        if (row[0] != "row") continue;
        ASSERT_TRUE(t.Append());
        t.SetInOrder({TDBValue::OfInteger(id++), TDBValue::OfInteger(std::stoi(row[1])), TDBValue::OfReal(std::stold(row[2])),
                      TDBValue::OfText(FromHex(row.size() > 3 ? row[3] : ""))});
    }
    int checked = 0;
    for (const auto& row : rows) {
        if (row[0] != "order") continue;
        std::vector<std::string> names;
        std::vector<bool> descending;
        std::stringstream keys(row[1]);
        std::string key;
        while (std::getline(keys, key, ',')) {
            const size_t colon = key.find(':');
            names.push_back(key.substr(0, colon));
            descending.push_back(colon != std::string::npos);
        }
        names.push_back("missing");  // unknown names are skipped
        descending.push_back(true);
        // Sorting from a fixed start: the generated order breaks ties by the row's place.
        t.Sort({"id"}, {false});
        ASSERT_TRUE(t.SetRecNo(3));
        t.Sort(names, descending);
        EXPECT_EQ(t.RecNo(), 3);
        std::string order;
        for (int32_t r = 0; r < t.RecordCount(); ++r) {
            t.SetRecNo(r);
            int32_t value = 0;
            t.GetInteger("id", value);
            order += (r ? "," : "") + std::to_string(value);
        }
        EXPECT_EQ(order, row[2]) << row[1];
        ++checked;
    }
    EXPECT_EQ(checked, 7);
}

TEST(DBTable, SortsNonFiniteRealsInATotalOrder)
{
    TDBCustomTable t;
    ASSERT_TRUE(t.AddField("r", kDBReal, 0));
    const Real inf = std::numeric_limits<Real>::infinity(), nan = std::numeric_limits<Real>::quiet_NaN();
    const Real values[] = {nan, 1, inf, -0.0L, -inf, nan, 0, -3, inf, nan};
    for (int round = 0; round < 50; ++round) {
        for (Real v : values) {
            t.Append();
            t.Set("r", TDBValue::OfReal(v));
        }
    }
    t.Sort({"r"}, {false});
    std::string previous;
    std::vector<std::string> seen;
    for (int32_t r = 0; r < t.RecordCount(); ++r) {
        t.SetRecNo(r);
        std::string text;
        t.GetText("r", text);
        if (seen.empty() || seen.back() != text) seen.push_back(text);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"-INF", "-3", "0", "1", "INF", "NAN"}));
}

TEST(DBTable, FindMatchesLikeSqliteInstr)
{
    int checked = 0;
    for (const auto& row : ReadVectors("partial.tsv")) {
        TDBCustomTable t;
        ASSERT_TRUE(t.AddField("f", kDBString, 40));
        ASSERT_TRUE(t.Append());
        t.Set("f", TDBValue::OfText(FromHex(row[0])));
        const auto found = t.Find({"f"}, {TDBValue::OfText(FromHex(row[1]))}, row[2] == "1", true);
        EXPECT_EQ(found.size(), row[3] == "1" ? 1u : 0u) << row[0] << " in " << row[1] << " ignore " << row[2];
        ++checked;
    }
    EXPECT_EQ(checked, 20);
}

TEST(DBTable, FindByKindOfValue)
{
    TDBCustomTable t;
    ASSERT_TRUE(t.AddField("n", kDBInteger, 0));
    ASSERT_TRUE(t.AddField("r", kDBReal, 0));
    ASSERT_TRUE(t.AddField("s", kDBString, 10));
    const std::vector<std::vector<TDBValue>> rows = {
        {TDBValue::OfInteger(1), TDBValue::OfReal(0.75L), TDBValue::OfText("Bcd")},
        {TDBValue::OfInteger(2), TDBValue::OfReal(2), TDBValue::OfText("abcdefg")},
        {TDBValue::OfInteger(3), TDBValue::OfReal(std::numeric_limits<Real>::quiet_NaN()), TDBValue::OfText("q")},
    };
    for (const auto& row : rows) {
        t.Append();
        t.SetInOrder(row);
    }
    using V = std::vector<int32_t>;
    EXPECT_EQ(t.Find({}, {}, false, false), (V{0, 1, 2}));
    EXPECT_EQ(t.Find({"n"}, {}, false, false), (V{0, 1, 2}));
    EXPECT_EQ(t.Find({"N"}, {TDBValue::OfInteger(2)}, false, false), (V{1}));
    EXPECT_EQ(t.Find({"r"}, {TDBValue::OfInteger(0)}, false, false), (V{}));  // NaN never matches
    EXPECT_EQ(t.Find({"r"}, {TDBValue::OfText("NAN")}, false, false), (V{}));
    EXPECT_EQ(t.Find({"r"}, {TDBValue::OfReal(2)}, false, false), (V{1}));
    EXPECT_EQ(t.Find({"r"}, {TDBValue::OfInteger(2)}, false, false), (V{1}));  // the real read as integer
    EXPECT_EQ(t.Find({"s"}, {TDBValue::OfText("bcd")}, false, false), (V{}));
    EXPECT_EQ(t.Find({"s"}, {TDBValue::OfText("bcd")}, true, false), (V{0}));
    EXPECT_EQ(t.Find({"s"}, {TDBValue::OfText("abcdef")}, false, true), (V{}));
    EXPECT_EQ(t.Find({"s"}, {TDBValue::OfText("abcdef")}, true, true), (V{0}));
    EXPECT_EQ(t.Find({"n", "s"}, {TDBValue::OfInteger(2), TDBValue::OfText("abcdefg")}, false, false), (V{1}));
    EXPECT_EQ(t.Find({"n", "x"}, {TDBValue::OfInteger(1), TDBValue::OfText("")}, false, false), (V{}));
    EXPECT_EQ(t.Find({"n"}, {TDBValue::OfInteger(1), TDBValue::OfInteger(2)}, false, false), (V{0}));
}

// ---- saved sections ----

TEST(DBSections, ReadsAStructPackedSectionAndWritesItBackByteForByte)
{
    const auto rows = ReadVectors("section.tsv");
    const std::string bytes = FromHex(rows[0][1]);
    TDBManager db;
    ByteReader in(bytes);
    db.LoadTables(in, false);
    EXPECT_TRUE(in.AtEnd());
    ASSERT_EQ(db.Count(), 2u);
    ASSERT_NE(db.Active(), nullptr);
    EXPECT_EQ(db.Active()->Name(), "items");  // the stored name "ITEMS", without case
    TDBTable& items = db.Table(0);
    EXPECT_EQ(items.RecNo(), 1);
    EXPECT_EQ(items.Fields().RecordWidth(), 21u);
    for (size_t k = 1; k < rows.size(); ++k) {
        const auto& row = rows[k];
        ASSERT_TRUE(items.SetRecNo(std::stoi(row[1])));
        int32_t id = 0;
        Real price = 0;
        bool owned = false;
        std::string name;
        ASSERT_TRUE(items.GetInteger("id", id) && items.GetReal("price", price) && items.GetFlag("owned", owned));
        ASSERT_TRUE(items.GetText("\x96\xbc\x91\x4f", name));  // 名前
        EXPECT_EQ(id, std::stoi(row[2]));
        EXPECT_EQ(price, std::stold(row[3]));
        EXPECT_EQ(owned, row[4] == "1");
        EXPECT_EQ(Hex(name), row[5]);
    }
    items.SetRecNo(1);
    ByteWriter out;
    db.SaveTables(out, false);
    // Only the active name is written as the table has it.
    std::string expected = bytes.substr(0, bytes.size() - 5) + "items";
    EXPECT_EQ(Hex(out.Bytes()), Hex(expected));
}

// A table record built field by field.
struct TableBytes {
    ByteWriter w;
    TableBytes& U8(uint8_t v) { w.U8(v); return *this; }
    TableBytes& I32(int32_t v) { w.I32(v); return *this; }
    TableBytes& Str(std::string_view v) { w.String(v); return *this; }
    TableBytes& Raw(std::string_view v) { w.Raw(v); return *this; }
};

std::string Section(bool status, const std::vector<std::string>& tables, std::string_view active = "")
{
    ByteWriter w;
    w.I32(100);
    w.I32(static_cast<int32_t>(tables.size()));
    for (const auto& t : tables) w.Raw(t);
    if (!status) w.String(active);
    return w.Take();
}

std::string OneIntTable(std::string_view name, int32_t records, int32_t current, uint8_t status = 0)
{
    TableBytes t;
    t.U8(0).Str(name).U8(status).I32(1).I32(4).Str("n").U8(kDBInteger).I32(records);
    for (int32_t i = 0; i < records; ++i) t.I32(i);
    t.I32(current);
    return t.w.Take();
}

TEST(DBSections, RefusesDamagedSectionsAndChangesNoTable)
{
    auto table = [](auto build) {
        TableBytes t;
        build(t);
        return t.w.Take();
    };
    const std::string good = OneIntTable("t", 2, 0);
    const std::pair<const char*, std::string> cases[] = {
        {"version", [] { ByteWriter w; w.I32(101); w.I32(0); w.String(""); return w.Take(); }()},
        {"count past the end", [] { ByteWriter w; w.I32(100); w.I32(1000000); return w.Take(); }()},
        {"negative count", [] { ByteWriter w; w.I32(100); w.I32(-1); return w.Take(); }()},
        {"class byte", Section(false, {table([](TableBytes& t) { t.U8(1).Str("t").U8(0).I32(0).I32(0).I32(-1); })})},
        {"empty table name", Section(false, {table([](TableBytes& t) { t.U8(0).Str("").U8(0).I32(0).I32(0).I32(-1); })})},
        {"field type 5", Section(false, {table([](TableBytes& t) { t.U8(0).Str("t").U8(0).I32(1).I32(4).Str("a").U8(5).I32(0).I32(-1); })})},
        {"integer width 3", Section(false, {table([](TableBytes& t) { t.U8(0).Str("t").U8(0).I32(1).I32(3).Str("a").U8(1).I32(0).I32(-1); })})},
        {"real width 8", Section(false, {table([](TableBytes& t) { t.U8(0).Str("t").U8(0).I32(1).I32(8).Str("a").U8(2).I32(0).I32(-1); })})},
        {"string width 0", Section(false, {table([](TableBytes& t) { t.U8(0).Str("t").U8(0).I32(1).I32(0).Str("a").U8(4).I32(0).I32(-1); })})},
        {"string width negative", Section(false, {table([](TableBytes& t) { t.U8(0).Str("t").U8(0).I32(1).I32(-8).Str("a").U8(4).I32(0).I32(-1); })})},
        {"record over 1 MiB", Section(false, {table([](TableBytes& t) { t.U8(0).Str("t").U8(0).I32(1).I32((1 << 20) + 1).Str("a").U8(4).I32(0).I32(-1); })})},
        {"two fields of one name", Section(false, {table([](TableBytes& t) { t.U8(0).Str("t").U8(0).I32(2).I32(1).Str("a").U8(3).I32(1).Str("A").U8(3).I32(0).I32(-1); })})},
        {"empty field name", Section(false, {table([](TableBytes& t) { t.U8(0).Str("t").U8(0).I32(1).I32(1).Str("").U8(3).I32(0).I32(-1); })})},
        {"records past the end", Section(false, {table([](TableBytes& t) { t.U8(0).Str("t").U8(0).I32(1).I32(4).Str("a").U8(1).I32(100).I32(1).I32(-1); })})},
        {"table over 256 MiB", Section(false, {table([](TableBytes& t) { t.U8(0).Str("t").U8(0).I32(1).I32(1 << 20).Str("a").U8(4).I32(257).I32(-1); })})},
        {"two tables of one name", Section(false, {good, OneIntTable("T", 0, -1)})},
        {"no active name", [&] { ByteWriter w; w.I32(100); w.I32(1); w.Raw(good); return w.Take(); }()},
        {"cut short", Section(false, {good}).substr(0, 20)},
    };
    for (const auto& [what, bytes] : cases) {
        TDBManager db;
        db.CreateTable("keep", false, false);
        db.Active()->AddField("x", kDBInteger, 0);
        db.Active()->Append();
        ByteReader in(bytes);
        EXPECT_THROW(db.LoadTables(in, false), EMobuError) << what;
        ASSERT_EQ(db.Count(), 1u) << what;
        EXPECT_EQ(db.Table(0).Name(), "keep") << what;
        EXPECT_EQ(db.Table(0).RecordCount(), 1) << what;
        EXPECT_EQ(db.Active(), &db.Table(0)) << what;
    }
}

TEST(DBSections, CurrentIndexOutsideTheRecordsReadsAsNone)
{
    for (int32_t current : {-2, 2, 100, INT32_MIN}) {
        TDBManager db;
        const std::string bytes = Section(true, {OneIntTable("t", 2, current, 1)});
        ByteReader in(bytes);
        db.LoadTables(in, true);
        ASSERT_EQ(db.Count(), 1u);
        EXPECT_EQ(db.Table(0).RecNo(), -1) << current;
    }
}

TEST(DBSections, EachSectionReplacesOnlyTheTablesOfItsStatus)
{
    TDBManager db;
    db.CreateTable("game1", false, false);
    db.CreateTable("stat1", true, false);
    db.CreateTable("game2", false, false);
    ByteWriter status_bytes, game_bytes;
    db.SaveTables(status_bytes, true);
    db.SaveTables(game_bytes, false);

    TDBManager other;
    other.CreateTable("old_game", false, false);
    other.CreateTable("old_status", true, false);
    ByteReader s(status_bytes.Bytes());
    other.LoadTables(s, true);
    ASSERT_EQ(other.Count(), 2u);
    EXPECT_EQ(other.Table(0).Name(), "old_game");
    EXPECT_EQ(other.Table(1).Name(), "stat1");
    EXPECT_EQ(other.Active()->Name(), "stat1");  // the last one read
    ByteReader g(game_bytes.Bytes());
    other.LoadTables(g, false);
    ASSERT_EQ(other.Count(), 3u);
    EXPECT_EQ(other.Table(0).Name(), "stat1");
    EXPECT_EQ(other.Table(1).Name(), "game1");
    EXPECT_EQ(other.Active()->Name(), "game2");  // the stored active name

    // A game section naming no table, or a table it does not hold, leaves none active.
    const std::string none = Section(false, {OneIntTable("a", 0, -1)}, "zzz");
    ByteReader n(none);
    other.LoadTables(n, false);
    EXPECT_EQ(other.Active(), nullptr);
    // A table flagged as a status table inside the game section stays a game table.
    const std::string flagged = Section(false, {OneIntTable("b", 1, 0, 1)}, "b");
    ByteReader f(flagged);
    other.LoadTables(f, false);
    ASSERT_NE(other.Active(), nullptr);
    EXPECT_FALSE(other.Active()->Status());
    other.ResetGameTables();
    ASSERT_EQ(other.Count(), 1u);
    EXPECT_EQ(other.Table(0).Name(), "stat1");
    EXPECT_EQ(other.Active(), nullptr);
}

TEST(DBSections, RoundTripKeepsEveryByte)
{
    TDBManager db;
    db.CreateTable("t", false, false);
    TDBTable& t = *db.Active();
    t.AddField("i", kDBInteger, 0);
    t.AddField("r", kDBReal, 0);
    t.AddField("f", kDBFlag, 0);
    t.AddField("s", kDBString, 5);
    for (int i = 0; i < 5; ++i) {
        t.Append();
        t.SetInOrder({TDBValue::OfInteger(i), TDBValue::OfReal(i / 3.0L), TDBValue::OfFlag(i % 2), TDBValue::OfText("x" + std::to_string(i))});
    }
    t.SetRecNo(2);
    db.CreateTable("empty", false, false);
    db.SetActive("T");
    ByteWriter first;
    db.SaveTables(first, false);
    TDBManager copy;
    ByteReader in(first.Bytes());
    copy.LoadTables(in, false);
    ByteWriter second;
    copy.SaveTables(second, false);
    EXPECT_EQ(Hex(first.Bytes()), Hex(second.Bytes()));
    EXPECT_EQ(copy.Active()->RecNo(), 2);
}

// ---- TSV ----

TEST(DBTsv, LinesPiecesAndUnescaping)
{
    using L = std::vector<std::string>;
    EXPECT_EQ(script_text::SplitLines("a\r\nb\nc\rd"), (L{"a", "b", "c", "d"}));
    EXPECT_EQ(script_text::SplitLines("a\n\nb\n"), (L{"a", "", "b"}));
    EXPECT_EQ(SplitTsvPieces("a\t\tb"), (L{"a", "", "b"}));
    EXPECT_EQ(SplitTsvPieces("a\t"), (L{"a"}));
    EXPECT_EQ(SplitTsvPieces("a\t\t"), (L{"a", ""}));
    EXPECT_EQ(SplitTsvPieces("\x83\x09x\tb"), (L{"\x83\x09x", "b"}));  // a trail byte 0x09 is no TAB
    EXPECT_EQ(TsvUnescape("a\\\"b\\\\c\\nd\\x"), "a\"b\\c\r\nd\\x");
    EXPECT_EQ(TsvUnescape("\x95\x5cn"), "\x95\x5cn");  // 表n stays 表n
}

TEST(DBTsv, HeaderAndRecords)
{
    TDBCustomTable t;
    ASSERT_TRUE(t.LoadTsv({"score int\ttitle str 20\tname\tok bool\tp float", "", "12\tHello\\nWorld\tBob\tTRUE\t1.5",
                           "x\t\t\tno", "7"}));
    ASSERT_EQ(t.Fields().Count(), 5u);
    EXPECT_EQ(t.Fields()[0].type, kDBInteger);
    EXPECT_EQ(t.Fields()[1].type, kDBString);
    EXPECT_EQ(t.Fields()[1].width, 21);
    EXPECT_EQ(t.Fields()[2].width, 81);
    EXPECT_EQ(t.Fields()[3].type, kDBFlag);
    EXPECT_EQ(t.Fields()[4].type, kDBReal);
    ASSERT_EQ(t.RecordCount(), 3);
    t.SetRecNo(0);
    std::string title;
    t.GetText("title", title);
    EXPECT_EQ(title, "Hello\r\nWorld");
    bool ok = false;
    t.GetFlag("ok", ok);
    EXPECT_TRUE(ok);
    t.SetRecNo(1);
    int32_t score = 5;
    t.GetInteger("score", score);
    EXPECT_EQ(score, 0);

    for (const char* bad : {"a int\t int", "a int\tA", "a str -1", "a str 2000000", "\tb"}) {
        TDBCustomTable u;
        EXPECT_FALSE(u.LoadTsv({bad, "1"})) << bad;
        EXPECT_EQ(u.Fields().Count(), 0u) << bad;
        EXPECT_EQ(u.RecordCount(), 0) << bad;
    }
}

TEST(DBTsv, RandomFileMatchesPythonsCsvAndCp932)
{
    std::ifstream in(std::string(MOBU_SOURCE_DIR) + "/tests/data/dbs/random_items.tsv", std::ios::binary);
    ASSERT_TRUE(in);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TDBCustomTable t;
    ASSERT_TRUE(t.LoadTsv(script_text::SplitLines(text)));
    ASSERT_EQ(t.Fields().Count(), 4u);
    int checked = 0;
    for (const auto& row : ReadVectors("random_items.expected")) {
        ASSERT_TRUE(t.SetRecNo(std::stoi(row[0])));
        std::string value;
        ASSERT_TRUE(t.GetText(t.Fields()[std::stoul(row[1])].name, value));
        EXPECT_EQ(Hex(value), row.size() > 2 ? row[2] : "") << "record " << row[0] << " field " << row[1];
        ++checked;
    }
    EXPECT_EQ(checked, t.RecordCount() * 4);
}

}  // namespace
}  // namespace mobu
