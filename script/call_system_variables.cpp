#include "script/call_system_variables.h"

#include "expr/param_collection.h"
#include "script/call_man.h"

namespace mobu {
namespace {

enum : int { kParamCount = 9, kParamStr = 10, kSender = 11 };

}  // namespace

TCallSystemVariables::TCallSystemVariables(TParamCollection& table, TCallMan& calls)
    : table_(table), calls_(calls), previous_(&table.SystemVariables())
{
    table_.SetSystemVariables(this);
}

TCallSystemVariables::~TCallSystemVariables()
{
    if (&table_.SystemVariables() == this) table_.SetSystemVariables(previous_);
}

uint8_t TCallSystemVariables::VarType(int index) { return previous_->VarType(index); }

TCustomParam* TCallSystemVariables::Forward(int index)
{
    if (index == SV_RESULT) return calls_.ResultValue();
    return previous_->Forward(index);
}

int32_t TCallSystemVariables::Count(int index)
{
    if (index == kParamStr) return calls_.CallParamCount();
    return previous_->Count(index);
}

bool TCallSystemVariables::IsArray(int index) { return index == kParamStr || previous_->IsArray(index); }

TSystemValue TCallSystemVariables::Read(int index, int32_t element)
{
    switch (index) {
    case kParamCount: return calls_.CallParamCount();
    case kParamStr: return element < 0 ? std::string() : calls_.CallParam(element);
    case kSender: return calls_.SenderName();
    default: return previous_->Read(index, element);
    }
}

void TCallSystemVariables::Write(int index, int32_t element, const TSystemValue& value)
{
    previous_->Write(index, element, value);
}

}  // namespace mobu
