#include "components/history_functions.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "components/mobu_history.h"
#include "expr/custom_param.h"
#include "expr/param_collection.h"
#include "expr/param_var.h"
#include "expr/sys_func_call.h"
#include "expr/sys_func_man.h"
#include "script/project.h"

namespace mobu {
namespace {

// Ids of the functions in the built-in table.
constexpr int kGetSaveCaption = 27;
constexpr int kListSaveCaption = 134;
constexpr int kGetHistoryCount = 142;
constexpr int kGetHistoryMaxCount = 143;
constexpr int kSetHistoryMaxCount = 144;

using Arguments = TSysFuncMan::Arguments;

// A history size as the script sees it: a pixel total past 2^31 - 1 stays at the largest value.
int32_t ScriptSize(int64_t size)
{
    return static_cast<int32_t>(std::min<int64_t>(size, std::numeric_limits<int32_t>::max()));
}

void GetHistoryCount(TCustomParam& result, const Arguments& a)
{
    TMobuHistoryFormat* format = a.empty() ? nullptr : HistoryFormats().FindFormat(a[0]->GetString());
    result.SetInteger(format ? ScriptSize(format->History.Size()) : -1);
}

void GetHistoryMaxCount(TCustomParam& result, const Arguments& a)
{
    TMobuHistoryFormat* format = a.empty() ? nullptr : HistoryFormats().FindFormat(a[0]->GetString());
    result.SetInteger(format ? format->History.MaxCount : -1);
}

void SetHistoryMaxCount(TCustomParam& result, const Arguments& a)
{
    TMobuHistoryFormat* format = a.size() < 2 ? nullptr : HistoryFormats().FindFormat(a[0]->GetString());
    if (format) format->History.MaxCount = a[1]->GetInteger();
    result.SetFlag(format != nullptr);
}

void GetSaveCaption(TCustomParam& result, const Arguments& a)
{
    std::string caption;
    if (TProject* project = Project(); project && !a.empty()) {
        const int32_t slot = a[0]->GetInteger();
        for (const auto& entry : project->SlotCaptions()) {
            if (entry.slot == slot) {
                caption = entry.caption;
                break;
            }
        }
    }
    result.SetString(caption);
}

void ListSaveCaption(TCustomParam& result, const Arguments& a)
{
    std::vector<std::string> captions;
    std::vector<int32_t> slots;
    if (TProject* project = Project()) {
        for (const auto& entry : project->SlotCaptions()) {
            captions.push_back(entry.caption);
            slots.push_back(entry.slot);
        }
    }
    auto* caption_var = a.size() > 0 ? dynamic_cast<TParamVar*>(a[0]) : nullptr;
    if (caption_var && caption_var->Target()) StoreStringArray(*caption_var, captions);
    auto* slot_var = a.size() > 1 ? dynamic_cast<TParamVar*>(a[1]) : nullptr;
    if (slot_var && slot_var->Target()) {
        if (slots.empty()) {
            slot_var->DropDims();
            slot_var->SetInteger(0);
        } else {
            slot_var->SetDims({static_cast<int32_t>(slots.size())});
            for (size_t i = 0; i < slots.size(); ++i) slot_var->SetIntegerAt(static_cast<int32_t>(i), slots[i]);
        }
    }
    result.SetInteger(static_cast<int32_t>(captions.size()));
}

}  // namespace

void InstallHistoryFunctions(TSysFuncMan& functions)
{
    functions.SetHandler(kGetSaveCaption, GetSaveCaption);
    functions.SetHandler(kListSaveCaption, ListSaveCaption);
    functions.SetHandler(kGetHistoryCount, GetHistoryCount);
    functions.SetHandler(kGetHistoryMaxCount, GetHistoryMaxCount);
    functions.SetHandler(kSetHistoryMaxCount, SetHistoryMaxCount);
}

void RemoveHistoryFunctions(TSysFuncMan& functions)
{
    for (int id : {kGetSaveCaption, kListSaveCaption, kGetHistoryCount, kGetHistoryMaxCount, kSetHistoryMaxCount}) {
        functions.SetHandler(id, nullptr);
    }
}

THistorySystemVariables::THistorySystemVariables(TParamCollection& table)
    : table_(table), previous_(&table.SystemVariables())
{
    table_.SetSystemVariables(this);
}

THistorySystemVariables::~THistorySystemVariables()
{
    if (&table_.SystemVariables() == this) table_.SetSystemVariables(previous_);
}

TSystemValue THistorySystemVariables::Read(int index, int32_t element)
{
    switch (index) {
    case SV_HISTORYCOUNT: return ScriptSize(HistoryFormats().Default().History.Size());
    case SV_HISTORYMAXCOUNT: return HistoryFormats().Default().History.MaxCount;
    default: return previous_->Read(index, element);
    }
}

void THistorySystemVariables::Write(int index, int32_t element, const TSystemValue& value)
{
    if (index == SV_HISTORYMAXCOUNT) {
        if (const int32_t* number = std::get_if<int32_t>(&value)) HistoryFormats().Default().History.MaxCount = *number;
        return;
    }
    if (index == SV_HISTORYCOUNT) return;  // read only
    previous_->Write(index, element, value);
}

}  // namespace mobu
