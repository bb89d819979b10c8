#include "expr/dbs/db_functions.h"

#include <cmath>
#include <limits>

#include "archive/vr_file_manager.h"
#include "core/mobu_error.h"
#include "expr/custom_param.h"
#include "expr/dbs/db_manager.h"
#include "expr/dbs/db_tsv.h"
#include "expr/script_text.h"
#include "expr/param_types.h"
#include "expr/param_var.h"
#include "expr/sys_func_man.h"
#include "expr/sys_func_table.h"

namespace mobu {
namespace {

using Arguments = TSysFuncMan::Arguments;

// One running call: the arguments as the database reads them.
struct TDBCall {
    TDBManager& db;
    TCustomParam& result;
    const Arguments& args;

    bool Has(size_t i) const { return i < args.size() && args[i] != nullptr; }
    std::string Str(size_t i) const { return Has(i) ? args[i]->GetString() : std::string(); }
    bool Flag(size_t i) const { return Has(i) && args[i]->GetFlag(); }
    // An integer argument; a real one is cut toward zero and saturated, never raising.
    int32_t Int(size_t i) const
    {
        if (!Has(i)) return 0;
        if (args[i]->VarType() == PT_FLOAT) {
            const Real value = args[i]->GetFloat();
            if (std::isnan(value)) return 0;
            if (value >= 2147483647.0L) return std::numeric_limits<int32_t>::max();
            if (value <= -2147483648.0L) return std::numeric_limits<int32_t>::min();
            return static_cast<int32_t>(value);
        }
        return args[i]->GetInteger();
    }
    Real Float(size_t i) const { return Has(i) ? args[i]->GetFloat() : 0; }

    // The argument as a value of its own kind.
    TDBValue Value(size_t i) const
    {
        const TCustomParam& a = *args[i];
        switch (a.VarType()) {
        case PT_FLOAT: return TDBValue::OfReal(a.GetFloat());
        case PT_BOOL: return TDBValue::OfFlag(a.GetFlag());
        case PT_STR: return TDBValue::OfText(a.GetString());
        default: return TDBValue::OfInteger(a.GetInteger());
        }
    }
    static bool IsArray(const TCustomParam& a) { return a.DimCount() > 0; }
    // Field names: a text or an array of texts; none when the argument is missing.
    std::vector<std::string> Names(size_t i) const
    {
        std::vector<std::string> out;
        if (!Has(i)) return out;
        const TCustomParam& a = *args[i];
        if (!IsArray(a)) return {a.GetString()};
        for (int32_t k = 0; k < a.Count(); ++k) out.push_back(a.GetStringAt(k));
        return out;
    }
    // Values to match, each of the argument's kind.
    std::vector<TDBValue> Values(size_t i) const
    {
        std::vector<TDBValue> out;
        if (!Has(i)) return out;
        const TCustomParam& a = *args[i];
        if (!IsArray(a)) return {Value(i)};
        for (int32_t k = 0; k < a.Count(); ++k) {
            switch (a.VarType()) {
            case PT_FLOAT: out.push_back(TDBValue::OfReal(a.GetFloatAt(k))); break;
            case PT_BOOL: out.push_back(TDBValue::OfFlag(a.GetFlagAt(k))); break;
            case PT_STR: out.push_back(TDBValue::OfText(a.GetStringAt(k))); break;
            default: out.push_back(TDBValue::OfInteger(a.GetIntegerAt(k))); break;
            }
        }
        return out;
    }
    std::vector<bool> Flags(size_t i) const
    {
        std::vector<bool> out;
        if (!Has(i)) return out;
        const TCustomParam& a = *args[i];
        if (!IsArray(a)) return {a.GetFlag()};
        for (int32_t k = 0; k < a.Count(); ++k) out.push_back(a.GetFlagAt(k));
        return out;
    }
    // The named table, or the active one when the argument is missing.
    TDBTable* NamedOrActive(size_t i) const { return Has(i) ? db.Find(Str(i)) : db.Active(); }
    // The records of `table` matching the arguments from `first` on: fields, values, ignore
    // case, partial.
    std::vector<int32_t> Matches(const TDBTable& table, size_t first) const
    {
        return table.Find(Names(first), Values(first + 1), Flag(first + 2), Flag(first + 3));
    }
};

// Real results: NaN reads as 0.0, infinities as the largest finite reals.
Real FiniteReal(Real value)
{
    if (std::isnan(value)) return 0;
    if (std::isinf(value)) return value < 0 ? -std::numeric_limits<Real>::max() : std::numeric_limits<Real>::max();
    return value;
}

using Body = void (*)(TDBCall& c);

void CreateTable(TDBCall& c)
{
    const bool status = c.Flag(1);
    c.result.SetFlag(c.db.CreateTable(c.Str(0), status, status));
}

void SetActive(TDBCall& c) { c.result.SetFlag(c.db.SetActive(c.Str(0))); }

void AddField(TDBCall& c)
{
    TDBTable* table = c.db.Active();
    const int32_t type = c.Int(1);
    const int64_t length = c.Has(2) ? c.Int(2) : kDBDefaultStringLength;
    c.result.SetFlag(table && type >= 1 && type <= 4 && table->AddField(c.Str(0), static_cast<uint8_t>(type), length));
}

void SetRecNo(TDBCall& c)
{
    TDBTable* table = c.db.Active();
    c.result.SetFlag(table && table->SetRecNo(c.Int(0)));
}

void Insert(TDBCall& c)
{
    TDBTable* table = c.db.Active();
    if (!table || !table->Append()) {
        c.result.SetFlag(false);
        return;
    }
    std::vector<TDBValue> values;
    values.reserve(c.args.size());
    for (size_t i = 0; i < c.args.size(); ++i) values.push_back(c.Value(i));
    table->SetInOrder(values);
    c.result.SetFlag(true);
}

void Delete(TDBCall& c)
{
    TDBTable* table = c.db.Active();
    c.result.SetFlag(table && table->DeleteCurrent());
}

void GetInt(TDBCall& c)
{
    int32_t value = 0;
    if (TDBTable* table = c.db.Active()) table->GetInteger(c.Str(0), value);
    c.result.SetInteger(value);
}

void GetFloat(TDBCall& c)
{
    Real value = 0;
    if (TDBTable* table = c.db.Active()) table->GetReal(c.Str(0), value);
    c.result.SetFloat(FiniteReal(value));
}

void GetBool(TDBCall& c)
{
    bool value = false;
    if (TDBTable* table = c.db.Active()) table->GetFlag(c.Str(0), value);
    c.result.SetFlag(value);
}

void GetStr(TDBCall& c)
{
    std::string value;
    if (TDBTable* table = c.db.Active()) table->GetText(c.Str(0), value);
    c.result.SetString(value);
}

template <uint8_t Kind>
TDBValue ValueAs(const TDBCall& c, size_t i)
{
    if constexpr (Kind == kDBInteger) return TDBValue::OfInteger(c.Int(i));
    if constexpr (Kind == kDBReal) return TDBValue::OfReal(c.Float(i));
    if constexpr (Kind == kDBFlag) return TDBValue::OfFlag(c.Flag(i));
    return TDBValue::OfText(c.Str(i));
}

template <uint8_t Kind>
void SetField(TDBCall& c)
{
    TDBTable* table = c.db.Active();
    c.result.SetFlag(table && table->Set(c.Str(0), ValueAs<Kind>(c, 1)));
}

void RecordCount(TDBCall& c)
{
    const TDBTable* table = c.NamedOrActive(0);
    c.result.SetInteger(table ? table->RecordCount() : -1);
}

void FindFirst(TDBCall& c)
{
    TDBTable* table = c.db.Active();
    c.result.SetFlag(table && table->First());
}

void FindLast(TDBCall& c)
{
    TDBTable* table = c.db.Active();
    c.result.SetFlag(table && table->Last());
}

void FindNext(TDBCall& c)
{
    TDBTable* table = c.db.Active();
    c.result.SetFlag(table && table->Next());
}

void FindPrior(TDBCall& c)
{
    TDBTable* table = c.db.Active();
    c.result.SetFlag(table && table->Prior());
}

void Locate(TDBCall& c)
{
    TDBTable* table = c.db.Active();
    if (!table) {
        c.result.SetFlag(false);
        return;
    }
    const std::vector<int32_t> found = c.Matches(*table, 0);
    if (!found.empty()) table->SetRecNo(found.front());
    c.result.SetFlag(!found.empty());
}

void LoadTsvFile(TDBCall& c)
{
    c.result.SetFlag(false);
    TDBTable* table = c.db.Active();
    const std::string path = c.Str(0);
    if (!table || path.empty()) return;
    std::string text;
    try {
        TVrFileManager& files = VrFileManager();
        if (!files.Exists(path)) return;
        text = files.ReadFile(path);
    } catch (const EMobuError&) {
        return;
    }
    c.result.SetFlag(table->LoadTsv(script_text::SplitLines(text)));
}

// The first record of the named table matching the arguments 1-4, or -1.
int32_t DirectRecord(const TDBCall& c, TDBTable*& table)
{
    table = c.db.Find(c.Str(0));
    if (!table) return -1;
    const std::vector<int32_t> found = c.Matches(*table, 1);
    return found.empty() ? -1 : found.front();
}

template <uint8_t Kind>
void DirectGet(TDBCall& c)
{
    TDBTable* table = nullptr;
    const int32_t record = DirectRecord(c, table);
    const TDBField* field = table ? table->Fields().Find(c.Str(5)) : nullptr;
    const bool found = record >= 0 && field;
    if constexpr (Kind == kDBInteger) {
        c.result.SetInteger(found ? DBReadInteger(*field, table->Record(record)) : c.Int(6));
    } else if constexpr (Kind == kDBReal) {
        c.result.SetFloat(FiniteReal(found ? DBReadReal(*field, table->Record(record)) : c.Float(6)));
    } else if constexpr (Kind == kDBFlag) {
        c.result.SetFlag(found ? DBReadFlag(*field, table->Record(record)) : c.Flag(6));
    } else {
        c.result.SetString(found ? DBReadText(*field, table->Record(record)) : c.Str(6));
    }
}

template <uint8_t Kind>
void DirectSet(TDBCall& c)
{
    TDBTable* table = nullptr;
    const int32_t record = DirectRecord(c, table);
    const TDBField* field = table ? table->Fields().Find(c.Str(5)) : nullptr;
    if (record < 0 || !field) {
        c.result.SetFlag(false);
        return;
    }
    DBWriteValue(*field, table->Record(record), ValueAs<Kind>(c, 6));
    c.result.SetFlag(true);
}

void CopyTable(TDBCall& c)
{
    TDBTable* source = c.db.Active();
    TDBTable* destination = c.db.Find(c.Str(0));
    if (!source || !destination || destination == source) {
        c.result.SetFlag(false);
        return;
    }
    const std::vector<int32_t> found = c.Matches(*source, 1);
    destination->CopyFieldsFrom(*source);
    c.result.SetFlag(TDBManager::CopyRecordsTo(*source, *destination, found));
}

void DeleteTable(TDBCall& c)
{
    if (const TDBTable* table = c.NamedOrActive(0)) c.db.DeleteTable(table->Name());
    c.result.SetFlag(false);
}

void InsertTable(TDBCall& c)
{
    TDBTable* destination = c.db.Active();
    const TDBTable* source = c.db.Find(c.Str(0));
    if (!destination || !source || !destination->Fields().SameAs(source->Fields())) {
        c.result.SetFlag(false);
        return;
    }
    c.result.SetFlag(TDBManager::InsertRecordsFrom(*destination, *source, c.Matches(*source, 1)));
}

void Copy(TDBCall& c)
{
    const TDBTable* source = c.db.Active();
    TDBTable* destination = c.db.Find(c.Str(0));
    if (!source || !destination || source->RecNo() < 0) {
        c.result.SetFlag(false);
        return;
    }
    c.result.SetFlag(TDBManager::CopyRecordsTo(*source, *destination, {source->RecNo()}));
}

void ClearTable(TDBCall& c)
{
    c.db.Clear();
    c.result.SetFlag(true);
}

void Sort(TDBCall& c)
{
    TDBTable* table = c.db.Active();
    if (table) table->Sort(c.Names(0), c.Flags(1));
    c.result.SetFlag(table != nullptr);
}

void GetActive(TDBCall& c) { c.result.SetString(c.db.Active() ? c.db.Active()->Name() : std::string()); }

// Answers for the active table whatever name is given: games rely on that.
void GetRecNo(TDBCall& c) { c.result.SetInteger(c.db.Active() ? c.db.Active()->RecNo() : -1); }

void ClearRecord(TDBCall& c)
{
    TDBTable* table = c.NamedOrActive(0);
    if (table) table->ClearRecords();
    c.result.SetFlag(table != nullptr);
}

void GetTableCount(TDBCall& c) { c.result.SetInteger(static_cast<int32_t>(c.db.Count())); }

void GetTable(TDBCall& c)
{
    const int32_t index = c.Int(0);
    if (index < 0 || static_cast<size_t>(index) >= c.db.Count()) {
        c.result.SetFlag(false);
        return;
    }
    const TDBTable& table = c.db.Table(static_cast<size_t>(index));
    auto reference = [&](size_t i) -> TParamVar* {
        if (!c.Has(i)) return nullptr;
        auto* var = dynamic_cast<TParamVar*>(c.args[i]);
        return var && var->Target() ? var : nullptr;
    };
    if (TParamVar* name = reference(1)) name->SetString(table.Name());
    if (TParamVar* status = reference(2)) status->SetFlag(table.Status());
    c.result.SetFlag(true);
}

struct TDBFunction {
    const char* name;
    Body body;
};

constexpr TDBFunction kFunctions[] = {
    {"DBCreateTable", CreateTable},
    {"DBSetActive", SetActive},
    {"DBAddField", AddField},
    {"DBSetRecNo", SetRecNo},
    {"DBInsert", Insert},
    {"DBDelete", Delete},
    {"DBGetInt", GetInt},
    {"DBSetInt", SetField<kDBInteger>},
    {"DBGetFloat", GetFloat},
    {"DBSetFloat", SetField<kDBReal>},
    {"DBGetBool", GetBool},
    {"DBSetBool", SetField<kDBFlag>},
    {"DBGetStr", GetStr},
    {"DBSetStr", SetField<kDBString>},
    {"DBRecordCount", RecordCount},
    {"DBFindFirst", FindFirst},
    {"DBFindLast", FindLast},
    {"DBFindNext", FindNext},
    {"DBFindPrior", FindPrior},
    {"DBLocate", Locate},
    {"DBLoadTsvFile", LoadTsvFile},
    {"DBDirectGetInt", DirectGet<kDBInteger>},
    {"DBDirectSetInt", DirectSet<kDBInteger>},
    {"DBDirectGetFloat", DirectGet<kDBReal>},
    {"DBDirectSetFloat", DirectSet<kDBReal>},
    {"DBDirectGetBool", DirectGet<kDBFlag>},
    {"DBDirectSetBool", DirectSet<kDBFlag>},
    {"DBDirectGetStr", DirectGet<kDBString>},
    {"DBDirectSetStr", DirectSet<kDBString>},
    {"DBCopyTable", CopyTable},
    {"DBDeleteTable", DeleteTable},
    {"DBInsertTable", InsertTable},
    {"DBCopy", Copy},
    {"DBClearTable", ClearTable},
    {"DBSort", Sort},
    {"DBGetActive", GetActive},
    {"DBGetRecNo", GetRecNo},
    {"DBClearRecord", ClearRecord},
    {"DBGetTableCount", GetTableCount},
    {"DBGetTable", GetTable},
};
static_assert(std::size(kFunctions) == 40);

}  // namespace

void InstallDBFunctions(TSysFuncMan& functions, TDBManager& database)
{
    for (const TDBFunction& function : kFunctions) {
        const int id = FindSysFunc(function.name);
        const Body body = function.body;
        functions.SetHandler(id, [&database, body, id](TCustomParam& result, const Arguments& arguments) {
            // The compiler checks the counts; a stream that passes other counts gets no result.
            if (!SysFuncAcceptsArgCount(id, static_cast<int>(arguments.size()))) return;
            TDBCall call{database, result, arguments};
            body(call);
        });
    }
}

}  // namespace mobu
