#include "expr/sys_func_man.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/mobu_error.h"
#include "expr/date_serial.h"
#include "expr/expr_messages.h"
#include "expr/jconvert.h"
#include "expr/literal_parse.h"
#include "expr/mobu_parser.h"
#include "expr/param_collection.h"
#include "expr/param_conversion.h"
#include "expr/param_types.h"
#include "expr/param_values.h"
#include "expr/param_var.h"
#include "expr/script_arith.h"
#include "expr/script_random.h"
#include "expr/script_text.h"
#include "expr/sys_func_table.h"

namespace mobu {
namespace {

namespace arith = script_arith;
using Arguments = TSysFuncMan::Arguments;

TSysFuncMan* global_manager = nullptr;

// Largest digit count of IntToStr and IntToHex.
constexpr int32_t kMaxDigits = 1024;

// The argument as a variable reference (an argument written as a variable name), or none.
TParamVar* Reference(const Arguments& arguments, size_t index)
{
    if (index >= arguments.size()) return nullptr;
    auto* reference = dynamic_cast<TParamVar*>(arguments[index]);
    return reference && reference->Target() ? reference : nullptr;
}

// A variable argument the function cannot do without.
TParamVar& RequiredReference(const Arguments& arguments, size_t index, std::string_view function)
{
    TParamVar* reference = Reference(arguments, index);
    if (!reference) throw EMobuError(expr_messages::VariableNotFound(function));
    return *reference;
}

bool Has(const Arguments& arguments, size_t index) { return index < arguments.size(); }
int32_t Int(const Arguments& arguments, size_t index) { return arguments.at(index)->GetInteger(); }
Real Float(const Arguments& arguments, size_t index) { return arguments.at(index)->GetFloat(); }
bool Flag(const Arguments& arguments, size_t index) { return arguments.at(index)->GetFlag(); }
std::string Str(const Arguments& arguments, size_t index) { return arguments.at(index)->GetString(); }

void CheckTextSize(size_t size)
{
    if (size > TSysFuncMan::kMaxBuiltText) throw EMobuError(expr_messages::SizeTooLarge());
}

void SetReal(TCustomParam& destination, Real value)
{
    arith::CheckFinite(value);
    destination.SetFloat(value);
}

// A real function of the script, with the floating-point conditions checked around it.
template <typename F>
void RealFunction(TCustomParam& destination, F function)
{
    arith::BeginReal();
    volatile Real value = function();
    destination.SetFloat(arith::CheckReal(value));
}

// Writes an integer into a variable argument when the argument is one.
void WriteBack(const Arguments& arguments, size_t index, int32_t value)
{
    if (TParamVar* reference = Reference(arguments, index)) reference->SetInteger(value);
}

// Copies element `from` of `source` into element `to` of `destination`, read as the
// destination's kind.
void CopyElement(TCustomParam& destination, int32_t to, const TCustomParam& source, int32_t from)
{
    switch (destination.VarType()) {
    case PT_INT: destination.SetIntegerAt(to, source.GetIntegerAt(from)); break;
    case PT_FLOAT: destination.SetFloatAt(to, source.GetFloatAt(from)); break;
    case PT_BOOL: destination.SetFlagAt(to, source.GetFlagAt(from)); break;
    case PT_STR: destination.SetStringAt(to, source.GetStringAt(from)); break;
    default: break;
    }
}

// A detached one-dimensional copy of every element of `source`, converted to `type`.
std::unique_ptr<TCustomParam> ConvertedElements(const TCustomParam& source, uint8_t type)
{
    auto copy = NewParamOfType(type);
    if (!copy) throw EMobuError(expr_messages::InternalError());
    int32_t count = source.Count();
    copy->SetDims({std::max(count, 1)});
    for (int32_t i = 0; i < count; ++i) CopyElement(*copy, i, source, i);
    return copy;
}

// Replaces the elements of a one-dimensional array (or scalar) with `elements`; an empty
// list leaves a scalar holding the neutral value.
void StoreElements(TCustomParam& target, const TCustomParam& elements, int32_t count)
{
    if (count <= 0) {
        auto neutral = NewParamOfType(target.VarType());
        target.SetDims({1});
        if (neutral) CopyElement(target, 0, *neutral, 0);
        target.DropDims();
        return;
    }
    target.SetDims({count});
    for (int32_t i = 0; i < count; ++i) CopyElement(target, i, elements, i);
}

void StoreStrings(TCustomParam& target, const std::vector<std::string>& pieces)
{
    if (pieces.empty()) {
        target.DropDims();
        target.SetString("");
        return;
    }
    if (static_cast<int64_t>(pieces.size()) > kMaxArrayElements) throw EMobuError(expr_messages::SizeTooLarge());
    target.SetDims({static_cast<int32_t>(pieces.size())});
    for (size_t i = 0; i < pieces.size(); ++i) target.SetStringAt(static_cast<int32_t>(i), pieces[i]);
}

void Calc(TSysFuncMan& manager, int& depth, TCustomParam& destination, const std::string& text)
{
    if (depth >= TSysFuncMan::kMaxCalcDepth) throw EMobuError(expr_messages::CalcTooDeep());
    ++depth;
    bool ran = false;
    try {
        ran = CompileAndRun(manager, text, nullptr, depth * TSysFuncMan::kCalcTemporaryStride);
    } catch (...) {
        --depth;
        throw;
    }
    --depth;
    destination.SetFlag(ran);
}

}  // namespace

TSysFuncMan* GlobalSysFuncMan() { return global_manager; }
void SetGlobalSysFuncMan(TSysFuncMan* manager) { global_manager = manager; }

TSysFuncMan::TSysFuncMan(TParamCollection& table) : table_(table), system_variables_(table), handlers_(kSysFuncCount)
{
    table_.SetSystemVariables(&system_variables_);
}

TSysFuncMan::~TSysFuncMan()
{
    if (&table_.SystemVariables() == &system_variables_) table_.SetSystemVariables(nullptr);
    if (global_manager == this) global_manager = nullptr;
}

void TSysFuncMan::SetHandler(int id, Handler handler)
{
    if (id >= 0 && id < kSysFuncCount) handlers_[static_cast<size_t>(id)] = std::move(handler);
}

bool TSysFuncMan::HasHandler(int id) const { return id >= 0 && id < kSysFuncCount && handlers_[static_cast<size_t>(id)]; }

bool TSysFuncMan::ReadsValuesOnly(int id) const
{
    // The built-in functions that read their arguments with Int, Float, Flag and Str only.
    static constexpr int kValueFunctions[] = {0,  1,  5,  6,  7,  8,  13, 14, 15, 16, 17, 18, 20, 26, 37, 38,
                                              39, 40, 41, 42, 43, 44, 45, 46, 48, 49, 51, 52, 55, 56, 57, 58,
                                              59, 60, 61, 62, 63, 64, 66, 73, 74, 75, 76, 77, 78, 79, 80, 81,
                                              82, 83, 85, 86, 126, 127, 128, 129, 133, 138, 139, 152, 153};
    static const std::vector<bool> value_functions = [] {
        std::vector<bool> table(kSysFuncCount, false);
        for (int function : kValueFunctions) table[static_cast<size_t>(function)] = true;
        return table;
    }();
    return id >= 0 && id < kSysFuncCount && value_functions[static_cast<size_t>(id)] && !handlers_[static_cast<size_t>(id)];
}

void TSysFuncMan::Call(TCustomParam& destination, int id, const Arguments& arguments)
{
    if (id < 0 || id >= kSysFuncCount) return;
    if (const Handler& handler = handlers_[static_cast<size_t>(id)]) {
        handler(destination, arguments);
        return;
    }
    CallBuiltIn(destination, id, arguments);
}

void TSysFuncMan::CallBuiltIn(TCustomParam& d, int id, const Arguments& args)
{
    const TSysFuncInfo& info = kSysFuncTable[static_cast<size_t>(id)];
    if (!SysFuncAcceptsArgCount(id, static_cast<int>(args.size()))) throw EMobuError(expr_messages::BadArgumentCount(info.name));
    switch (id) {
    case 0: {  // IntToStr
        int32_t digits = Has(args, 1) ? Int(args, 1) : 0;
        if (digits > kMaxDigits) throw EMobuError(expr_messages::SizeTooLarge());
        d.SetString(script_text::FormatDecimal(Int(args, 0), std::max(digits, 0)));
        break;
    }
    case 1: {  // IntToHex
        int32_t digits = Int(args, 1);
        if (digits > kMaxDigits) throw EMobuError(expr_messages::SizeTooLarge());
        d.SetString(script_text::FormatHex(Int(args, 0), std::max(digits, 0)));
        break;
    }
    case 4: {  // GetArraySize
        TParamVar& var = RequiredReference(args, 0, "GetArraySize");
        if (Has(args, 1)) {
            // In 64 bits: a dimension number near INT_MIN must not overflow.
            const int64_t dim = static_cast<int64_t>(var.DimCount()) - 1 - Int(args, 1);
            d.SetInteger(dim < 0 || dim > INT32_MAX ? var.DimSize(-1) : var.DimSize(static_cast<int32_t>(dim)));
        } else {
            d.SetInteger(var.Count());
        }
        break;
    }
    case 5: d.SetInteger(static_cast<int32_t>(std::min<size_t>(Str(args, 0).size(), INT32_MAX))); break;  // Length
    case 6: d.SetInteger(JLength(Str(args, 0))); break;                                                     // JLength
    case 7: {  // Copy
        std::string s = Str(args, 0);
        d.SetString(script_text::Copy(s, Int(args, 1), Has(args, 2) ? Int(args, 2) : INT32_MAX));
        break;
    }
    case 8: {  // JCopy
        std::string s = Str(args, 0);
        d.SetString(JCopy(s, Int(args, 1), Has(args, 2) ? Int(args, 2) : static_cast<int32_t>(s.size())));
        break;
    }
    case 9: {  // Delete
        std::string s = Str(args, 0);
        script_text::Delete(s, Int(args, 1), Has(args, 2) ? Int(args, 2) : INT32_MAX);
        if (TParamVar* var = Reference(args, 0)) var->SetString(s);
        break;
    }
    case 10: {  // JDelete
        std::string s = Str(args, 0);
        JDelete(s, Int(args, 1), Has(args, 2) ? Int(args, 2) : JLength(s));
        if (TParamVar* var = Reference(args, 0)) var->SetString(s);
        break;
    }
    case 11: {  // Insert
        std::string sub = Str(args, 0), s = Str(args, 1);
        CheckTextSize(sub.size() + s.size());
        script_text::Insert(sub, s, Int(args, 2));
        if (TParamVar* var = Reference(args, 1)) var->SetString(s);
        break;
    }
    case 12: {  // JInsert
        std::string sub = Str(args, 0), s = Str(args, 1);
        CheckTextSize(sub.size() + s.size());
        JInsert(sub, s, Int(args, 2));
        if (TParamVar* var = Reference(args, 1)) var->SetString(s);
        break;
    }
    case 13: d.SetInteger(script_text::CompareStr(Str(args, 0), Str(args, 1))); break;   // CompareStr
    case 14: d.SetInteger(script_text::CompareText(Str(args, 0), Str(args, 1))); break;  // CompareText
    case 15: d.SetInteger(script_text::Pos(Str(args, 0), Str(args, 1))); break;          // Pos
    case 16: d.SetInteger(JPos(Str(args, 0), Str(args, 1))); break;                      // JPos
    case 17: d.SetString(script_text::Trim(Str(args, 0))); break;                        // Trim
    case 18: d.SetString(JTrim(Str(args, 0))); break;                                    // JTrim
    case 20: d.SetFlag(!Flag(args, 0)); break;                                           // Not
    case 21: {  // SetArray
        TParamVar& var = RequiredReference(args, 0, "SetArray");
        std::vector<int32_t> sizes;
        for (size_t k = 1; k < args.size(); ++k) sizes.push_back(Int(args, k));
        var.SetDims(sizes);
        break;
    }
    case 22: {  // FillMem
        TParamVar& var = RequiredReference(args, 0, "FillMem");
        switch (var.VarType()) {
        case PT_INT: var.FillInteger(Int(args, 1)); break;
        case PT_FLOAT: var.FillFloat(arith::CheckFinite(Float(args, 1))); break;
        case PT_BOOL: var.FillFlag(Flag(args, 1)); break;
        case PT_STR: var.FillString(Str(args, 1)); break;
        default: break;
        }
        break;
    }
    case 23: {  // CopyMem
        TParamVar& target = RequiredReference(args, 0, "CopyMem");
        TParamVar& source = RequiredReference(args, 1, "CopyMem");
        target.CopyFrom(source);
        break;
    }
    case 26: d.SetInteger(ScriptRandom(Int(args, 0))); break;  // Random
    case 28: {  // ArrayToString
        const TCustomParam& var = *args[0];
        std::string separator = Has(args, 1) ? Str(args, 1) : std::string("\r\n");
        std::string joined;
        for (int32_t i = 0; i < var.Count(); ++i) {
            if (i) joined += separator;
            joined += var.GetStringAt(i);
            CheckTextSize(joined.size());
        }
        d.SetString(joined);
        break;
    }
    case 29: {  // StringToArray
        std::string s = Str(args, 0);
        std::vector<std::string> pieces = Has(args, 2) ? script_text::SplitByDelimiters(s, Str(args, 2)) : script_text::SplitLines(s);
        if (TParamVar* var = Reference(args, 1)) StoreStrings(*var, pieces);
        break;
    }
    case 30: {  // IndexOfStr
        bool case_sensitive = Has(args, 2) ? Flag(args, 2) : true;
        bool partial = Has(args, 3) ? Flag(args, 3) : false;
        d.SetInteger(args[0]->IndexOfText(Str(args, 1), case_sensitive, partial));
        break;
    }
    case 31: {  // SortStr
        TParamVar* var = Reference(args, 0);
        if (!var) break;
        bool descending = Has(args, 1) && Flag(args, 1);
        bool numeric = Has(args, 2) && Flag(args, 2);
        int32_t count = var->Count();
        if (numeric) {
            std::vector<Real> values;
            for (int32_t i = 0; i < count; ++i) values.push_back(var->GetFloatAt(i));
            std::stable_sort(values.begin(), values.end(), [&](Real x, Real y) { return descending ? y < x : x < y; });
            for (int32_t i = 0; i < count; ++i) var->SetFloatAt(i, values[static_cast<size_t>(i)]);
        } else {
            std::vector<std::string> values;
            for (int32_t i = 0; i < count; ++i) values.push_back(var->GetStringAt(i));
            std::stable_sort(values.begin(), values.end(), [&](const std::string& x, const std::string& y) {
                return descending ? script_text::CompareLocale(y, x) < 0 : script_text::CompareLocale(x, y) < 0;
            });
            for (int32_t i = 0; i < count; ++i) var->SetStringAt(i, values[static_cast<size_t>(i)]);
        }
        break;
    }
    case 37: d.SetInteger(arith::TruncToInt(Float(args, 0))); break;  // Int
    case 38: SetReal(d, Float(args, 0)); break;                         // Float
    case 39: RealFunction(d, [&] { return std::sin(Float(args, 0)); }); break;
    case 40: RealFunction(d, [&] { return std::cos(Float(args, 0)); }); break;
    case 41: RealFunction(d, [&] { return std::tan(Float(args, 0)); }); break;
    case 42: RealFunction(d, [&] { return std::asin(Float(args, 0)); }); break;
    case 43: RealFunction(d, [&] { return std::acos(Float(args, 0)); }); break;
    case 44: RealFunction(d, [&] { return std::atan(Float(args, 0)); }); break;
    case 45: RealFunction(d, [&] { return std::atan2(Float(args, 0), Float(args, 1)); }); break;
    case 46: RealFunction(d, [&] { return std::hypot(Float(args, 0), Float(args, 1)); }); break;
    case 48: d.SetInteger(arith::Abs(Int(args, 0))); break;                      // Abs
    case 49: RealFunction(d, [&] { return std::fabs(Float(args, 0)); }); break;  // Fabs
    case 50: d.SetFlag(table_.Find(Str(args, 0)) != nullptr); break;            // VarExists
    case 51: SetReal(d, date_serial::EncodeDate(Int(args, 0), Int(args, 1), Int(args, 2))); break;
    case 52: SetReal(d, date_serial::EncodeTime(Int(args, 0), Int(args, 1), Int(args, 2))); break;
    case 53: {  // DecodeDate
        date_serial::TDateParts parts = date_serial::DecodeDate(Float(args, 0));
        WriteBack(args, 1, parts.Year);
        WriteBack(args, 2, parts.Month);
        WriteBack(args, 3, parts.Day);
        break;
    }
    case 54: {  // DecodeTime
        date_serial::TTimeParts parts = date_serial::DecodeTime(Float(args, 0));
        WriteBack(args, 1, parts.Hour);
        WriteBack(args, 2, parts.Minute);
        WriteBack(args, 3, parts.Second);
        break;
    }
    case 55: d.SetInteger(date_serial::DecodeDate(Float(args, 0)).Year); break;
    case 56: d.SetInteger(date_serial::DecodeDate(Float(args, 0)).Month); break;
    case 57: d.SetInteger(date_serial::DecodeDate(Float(args, 0)).Day); break;
    case 58: d.SetInteger(date_serial::DecodeTime(Float(args, 0)).Hour); break;
    case 59: d.SetInteger(date_serial::DecodeTime(Float(args, 0)).Minute); break;
    case 60: d.SetInteger(date_serial::DecodeTime(Float(args, 0)).Second); break;
    case 61: d.SetInteger(date_serial::DayOfWeek(Float(args, 0))); break;
    case 62: {  // GetWeekStr
        static const char* const kNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
        d.SetString(kNames[date_serial::DayOfWeek(Float(args, 0)) - 1]);
        break;
    }
    case 63: {  // GetWeekJStr
        static const char8_t* const kNames[7] = {u8"日", u8"月", u8"火", u8"水", u8"木", u8"金", u8"土"};
        d.SetString(SysText(kNames[date_serial::DayOfWeek(Float(args, 0)) - 1]));
        break;
    }
    case 64: d.SetString(script_text::FixStr(Str(args, 0))); break;  // FixStr
    case 66:                                                         // AddArray
    case 67: {                                                       // InsertArray
        TParamVar* target = Reference(args, 0);
        const TCustomParam& source = *args[id == 66 ? 1 : 2];
        if (!target) break;
        int32_t count = target->Count();
        if (target->DimCount() >= 2 || source.DimCount() >= 2) {
            d.SetInteger(count);
            break;
        }
        int32_t position = id == 66 ? count : std::clamp(Int(args, 1), 0, count);
        auto added = ConvertedElements(source, target->VarType());
        auto kept = ConvertedElements(*target, target->VarType());
        int32_t added_count = source.Count();
        if (static_cast<int64_t>(count) + added_count > kMaxArrayElements) throw EMobuError(expr_messages::SizeTooLarge());
        int32_t total = count + added_count;
        target->SetDims({total});
        for (int32_t i = 0; i < added_count; ++i) CopyElement(*target, position + i, *added, i);
        for (int32_t i = position; i < count; ++i) CopyElement(*target, i + added_count, *kept, i);
        d.SetInteger(total);
        break;
    }
    case 68: {  // DeleteArray
        TParamVar* target = Reference(args, 0);
        if (!target) break;
        int32_t count = target->Count();
        if (target->DimCount() >= 2) {
            d.SetInteger(count);
            break;
        }
        int32_t position = std::clamp(Int(args, 1), 0, std::max(count - 1, 0));
        int32_t removed = std::clamp(Int(args, 2), 0, count - position);
        if (removed > 0) {
            auto kept = ConvertedElements(*target, target->VarType());
            auto remaining = NewParamOfType(target->VarType());
            int32_t left = count - removed;
            remaining->SetDims({std::max(left, 1)});
            for (int32_t i = 0, j = 0; i < count; ++i) {
                if (i < position || i >= position + removed) CopyElement(*remaining, j++, *kept, i);
            }
            StoreElements(*target, *remaining, left);
        }
        d.SetInteger(target->Count());
        break;
    }
    case 70: {  // CopyArray
        TParamVar* target = Reference(args, 0);
        if (target) {
            auto source = ConvertedElements(*args[1], target->VarType());
            std::vector<int32_t> sizes;
            for (int32_t k = 0; k < args[1]->DimCount(); ++k) sizes.push_back(args[1]->DimSize(k));
            target->SetDims(sizes);
            for (int32_t i = 0; i < args[1]->Count(); ++i) CopyElement(*target, i, *source, i);
        }
        d.SetFlag(true);
        break;
    }
    case 73: d.SetString(script_text::LowerCase(Str(args, 0))); break;  // LowerCase
    case 74: d.SetString(script_text::UpperCase(Str(args, 0))); break;  // UpperCase
    case 75: d.SetString(script_text::ExtractFilePath(Str(args, 0))); break;
    case 76: d.SetString(script_text::ExtractFileName(Str(args, 0))); break;
    case 77: d.SetString(script_text::ExtractFileExt(Str(args, 0))); break;
    case 78: d.SetFlag(script_text::IsPathDelimiter(Str(args, 0), Int(args, 1))); break;
    case 79: d.SetString(script_text::AddBackSlash(Str(args, 0))); break;
    case 80: d.SetString(script_text::ChangeFileExt(Str(args, 0), Str(args, 1))); break;
    case 81: d.SetFlag(script_text::IsDelimiter(Str(args, 0), Str(args, 1), Int(args, 2))); break;
    case 82: {  // StringOfChar
        std::string s = Str(args, 0);
        int32_t n = Int(args, 1);
        if (n > 0 && !s.empty()) CheckTextSize(s.size() * static_cast<size_t>(n));
        std::string out;
        for (int32_t i = 0; i < n && !s.empty(); ++i) out += s;
        d.SetString(out);
        break;
    }
    case 83: {  // StringReplace
        bool all = Has(args, 3) && Flag(args, 3);
        bool ignore_case = Has(args, 4) && Flag(args, 4);
        std::string replaced = script_text::StringReplace(Str(args, 0), Str(args, 1), Str(args, 2), all, ignore_case,
                                                          kMaxBuiltText);
        d.SetString(replaced);
        break;
    }
    case 84: {  // AssignTemp
        std::string name = Str(args, 0);
        bool found = table_.Find(name) != nullptr;
        if (found) table_.TempTargetName = name;
        d.SetFlag(found);
        break;
    }
    case 85: d.SetString(HanToZen(Str(args, 0))); break;
    case 86: d.SetString(ZenToHan(Str(args, 0))); break;
    case 126: d.SetInteger(std::min(Int(args, 0), Int(args, 1))); break;
    case 127: d.SetInteger(std::max(Int(args, 0), Int(args, 1))); break;
    case 128: SetReal(d, std::fmin(Float(args, 0), Float(args, 1))); break;
    case 129: SetReal(d, std::fmax(Float(args, 0), Float(args, 1))); break;
    case 130: d.SetInteger(args[0]->VarType()); break;  // GetVarType
    case 133: {                                         // AddDelimiter
        std::string s = Str(args, 1);
        d.SetString(s.empty() ? std::string() : s + Str(args, 0));
        break;
    }
    case 136: Calc(*this, calc_depth_, d, Str(args, 0)); break;
    case 138: {  // StrToIntDef
        int32_t value = 0;
        d.SetInteger(TryTextToInteger(Str(args, 0), value) ? value : Int(args, 1));
        break;
    }
    case 139: {  // StrToFloatDef
        Real value = 0;
        SetReal(d, TryTextToReal(Str(args, 0), value) ? value : Float(args, 1));
        break;
    }
    case 152: d.SetString(std::string(1, static_cast<char>(Int(args, 0) & 0xFF))); break;  // Chr
    case 153: {                                                                          // Ord
        std::string s = Str(args, 0);
        d.SetInteger(s.empty() ? 0 : static_cast<unsigned char>(s[0]));
        break;
    }
    case 155: {  // PushVar
        std::vector<std::string> names;
        for (size_t k = 0; k < args.size(); ++k) names.push_back(Str(args, k));
        table_.PushVars(names);
        d.SetFlag(true);
        break;
    }
    case 156:  // PopVar
        table_.PopVars();
        d.SetFlag(true);
        break;
    default:
        throw EMobuError(expr_messages::FunctionUnavailable(info.name));
    }
}

std::vector<std::string> UnavailableFunctionNames(const TSysFuncMan& manager)
{
    static const int kBuiltIn[] = {0,  1,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 20, 21, 22,
                                   23, 26, 28, 29, 30, 31, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 48, 49, 50, 51,
                                   52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 66, 67, 68, 70, 73, 74, 75,
                                   76, 77, 78, 79, 80, 81, 82, 83, 84, 85, 86, 126, 127, 128, 129, 130, 133, 136, 138, 139,
                                   152, 153, 155, 156};
    std::vector<std::string> names;
    for (int id = 0; id < kSysFuncCount; ++id) {
        if (manager.HasHandler(id) || std::find(std::begin(kBuiltIn), std::end(kBuiltIn), id) != std::end(kBuiltIn)) continue;
        names.push_back(kSysFuncTable[static_cast<size_t>(id)].name);
    }
    return names;
}

}  // namespace mobu
