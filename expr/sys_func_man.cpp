#include "expr/sys_func_man.h"

#include "core/mobu_error.h"
#include "expr/expr_messages.h"
#include "expr/mobu_parser.h"
#include "expr/param_collection.h"
#include "expr/sys_func_call.h"
#include "expr/sys_func_table.h"

namespace mobu {
namespace {

TSysFuncMan* global_manager = nullptr;

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
    return id >= 0 && id < kSysFuncCount && kSysFuncTable[id].values_only && !handlers_[static_cast<size_t>(id)];
}

void TSysFuncMan::Call(TCustomParam& destination, int id, const Arguments& arguments)
{
    if (id < 0 || id >= kSysFuncCount) return;
    if (const Handler& handler = handlers_[static_cast<size_t>(id)]) {
        handler(destination, arguments);
        return;
    }
    const TSysFuncInfo& info = kSysFuncTable[id];
    if (!SysFuncAcceptsArgCount(id, static_cast<int>(arguments.size()))) {
        throw EMobuError(expr_messages::BadArgumentCount(info.name));
    }
    if (!info.body) throw EMobuError(expr_messages::FunctionUnavailable(info.name));
    TSysFuncCall call{*this, destination, arguments, info.name};
    info.body(call);
}

bool TSysFuncMan::RunCalc(const std::string& text)
{
    if (calc_depth_ >= kMaxCalcDepth) throw EMobuError(expr_messages::CalcTooDeep());
    ++calc_depth_;
    bool ran = false;
    try {
        ran = CompileAndRun(*this, text, nullptr, calc_depth_ * kCalcTemporaryStride);
    } catch (...) {
        --calc_depth_;
        throw;
    }
    --calc_depth_;
    return ran;
}

std::vector<std::string> UnavailableFunctionNames(const TSysFuncMan& manager)
{
    std::vector<std::string> names;
    for (int id = 0; id < kSysFuncCount; ++id) {
        if (!kSysFuncTable[id].body && !manager.HasHandler(id)) names.push_back(kSysFuncTable[id].name);
    }
    return names;
}

}  // namespace mobu
