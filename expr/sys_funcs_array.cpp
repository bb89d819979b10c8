// Built-in functions of arrays: sizes, filling, copying, joining, splitting, searching,
// sorting, inserting and deleting elements.
#include <algorithm>
#include <climits>
#include <memory>
#include <optional>
#include <vector>

#include "core/mobu_error.h"
#include "expr/expr_messages.h"
#include "expr/param_types.h"
#include "expr/param_values.h"
#include "expr/param_var.h"
#include "expr/script_arith.h"
#include "expr/script_text.h"
#include "expr/sys_func_call.h"
#include "expr/sys_funcs.h"

namespace mobu::sys_funcs {
namespace {

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


// Inserts the elements of `source` into the one-dimensional array `target` at the position
// read from argument `position_argument` (clamped), or at the end when there is none; the
// result is the new element count. Arrays of two or more dimensions stay as they are.
void InsertElements(TSysFuncCall& c, TParamVar& target, const TCustomParam& source, std::optional<size_t> position_argument)
{
    int32_t count = target.Count();
    if (target.DimCount() >= 2 || source.DimCount() >= 2) {
        c.result.SetInteger(count);
        return;
    }
    int32_t position = position_argument ? std::clamp(c.Int(*position_argument), 0, count) : count;
    auto added = ConvertedElements(source, target.VarType());
    auto kept = ConvertedElements(target, target.VarType());
    int32_t added_count = source.Count();
    if (static_cast<int64_t>(count) + added_count > kMaxArrayElements) throw EMobuError(expr_messages::SizeTooLarge());
    int32_t total = count + added_count;
    target.SetDims({total});
    for (int32_t i = 0; i < added_count; ++i) CopyElement(target, position + i, *added, i);
    for (int32_t i = position; i < count; ++i) CopyElement(target, i + added_count, *kept, i);
    c.result.SetInteger(total);
}

}  // namespace

void GetArraySize(TSysFuncCall& c)
{
    TParamVar& var = c.RequiredReference(0);
    if (c.Has(1)) {
        // In 64 bits: a dimension number near INT_MIN must not overflow.
        const int64_t dim = static_cast<int64_t>(var.DimCount()) - 1 - c.Int(1);
        c.result.SetInteger(dim < 0 || dim > INT32_MAX ? var.DimSize(-1) : var.DimSize(static_cast<int32_t>(dim)));
    } else {
        c.result.SetInteger(var.Count());
    }
}

void SetArray(TSysFuncCall& c)
{
    TParamVar& var = c.RequiredReference(0);
    std::vector<int32_t> sizes;
    for (size_t k = 1; k < c.arguments.size(); ++k) sizes.push_back(c.Int(k));
    var.SetDims(sizes);
}

void FillMem(TSysFuncCall& c)
{
    TParamVar& var = c.RequiredReference(0);
    switch (var.VarType()) {
    case PT_INT: var.FillInteger(c.Int(1)); break;
    case PT_FLOAT: var.FillFloat(script_arith::CheckFinite(c.Float(1))); break;
    case PT_BOOL: var.FillFlag(c.Flag(1)); break;
    case PT_STR: var.FillString(c.Str(1)); break;
    default: break;
    }
}

void CopyMem(TSysFuncCall& c)
{
    TParamVar& target = c.RequiredReference(0);
    TParamVar& source = c.RequiredReference(1);
    target.CopyFrom(source);
}

void ArrayToString(TSysFuncCall& c)
{
    const TCustomParam& var = *c.arguments[0];
    std::string separator = c.Has(1) ? c.Str(1) : std::string("\r\n");
    std::string joined;
    for (int32_t i = 0; i < var.Count(); ++i) {
        if (i) joined += separator;
        joined += var.GetStringAt(i);
        CheckTextSize(joined.size());
    }
    c.result.SetString(joined);
}

void StringToArray(TSysFuncCall& c)
{
    std::string s = c.Str(0);
    std::vector<std::string> pieces =
        c.Has(2) ? script_text::SplitByDelimiters(s, c.Str(2)) : script_text::SplitLines(s);
    if (TParamVar* var = c.Reference(1)) StoreStringArray(*var, pieces);
}

void IndexOfStr(TSysFuncCall& c)
{
    bool case_sensitive = c.Has(2) ? c.Flag(2) : true;
    bool partial = c.Has(3) ? c.Flag(3) : false;
    c.result.SetInteger(c.arguments[0]->IndexOfText(c.Str(1), case_sensitive, partial));
}

void SortStr(TSysFuncCall& c)
{
    TParamVar* var = c.Reference(0);
    if (!var) return;
    bool descending = c.Has(1) && c.Flag(1);
    bool numeric = c.Has(2) && c.Flag(2);
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
}

void AddArray(TSysFuncCall& c)
{
    if (TParamVar* target = c.Reference(0)) InsertElements(c, *target, *c.arguments[1], std::nullopt);
}

void InsertArray(TSysFuncCall& c)
{
    if (TParamVar* target = c.Reference(0)) InsertElements(c, *target, *c.arguments[2], 1);
}

void DeleteArray(TSysFuncCall& c)
{
    TParamVar* target = c.Reference(0);
    if (!target) return;
    int32_t count = target->Count();
    if (target->DimCount() >= 2) {
        c.result.SetInteger(count);
        return;
    }
    int32_t position = std::clamp(c.Int(1), 0, std::max(count - 1, 0));
    int32_t removed = std::clamp(c.Int(2), 0, count - position);
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
    c.result.SetInteger(target->Count());
}

void CopyArray(TSysFuncCall& c)
{
    if (TParamVar* target = c.Reference(0)) {
        const TCustomParam& from = *c.arguments[1];
        auto source = ConvertedElements(from, target->VarType());
        std::vector<int32_t> sizes;
        for (int32_t k = 0; k < from.DimCount(); ++k) sizes.push_back(from.DimSize(k));
        target->SetDims(sizes);
        for (int32_t i = 0; i < from.Count(); ++i) CopyElement(*target, i, *source, i);
    }
    c.result.SetFlag(true);
}

}  // namespace mobu::sys_funcs
