// Commands on variables and the game-save requests.
#include "core/mobu_error.h"
#include "core/script_log.h"
#include "expr/mobu_parser.h"
#include "expr/param_collection.h"
#include "expr/param_types.h"
#include "script/call_man.h"
#include "script/commands.h"
#include "script/page_messages.h"

namespace mobu {

void TComCalc::Exec(TCallMan& calls, TPage*&, int32_t& pc)
{
    ++pc;
    Evaluate(calls, Expr(0));
}

void TComVarNew::LoadRecord(ByteReader& in)
{
    TCommand::LoadRecord(in);
    const int32_t type = Number(1);
    if (type < PT_INT || type > PT_STR) throw EMobuError(page_messages::BadVariableType());
}

void TComVarNew::Exec(TCallMan& calls, TPage*&, int32_t& pc)
{
    ++pc;
    const std::string& name = Text(0);
    if (name.empty()) throw EMobuError(page_messages::NoVariableName());
    TParamCollection* table = calls.Table();
    if (!table) return;
    const int32_t scope = Number(3);
    if (scope < 0 || scope > 3) throw EMobuError(page_messages::BadVariableType());
    TMobuParser* initial = Expr(2);
    table->Declare(name, static_cast<uint8_t>(Number(1)), static_cast<TVarScope>(scope),
                   [&calls, initial]() { return Evaluate(calls, initial); });
}

void TComVarDel::Exec(TCallMan& calls, TPage*&, int32_t& pc)
{
    ++pc;
    TParamCollection* table = calls.Table();
    if (!table) return;
    if (TParamCollectionItem* item = table->Find(Text(0))) table->Delete(item);
}

void TComGameSave::Exec(TCallMan& calls, TPage*&, int32_t& pc)
{
    ++pc;
    const int32_t slot = EvalInteger(calls, Expr(0), 0);
    const std::string caption = EvalString(calls, Expr(3), {});
    const int32_t index = Fields()[2].present ? Number(2) : 0;
    if (calls.RequestSave) calls.RequestSave(slot, Text(1), index, caption);
    else ReportNotAvailable();
}

void TComGameLoad::Exec(TCallMan& calls, TPage*&, int32_t& pc)
{
    ++pc;
    const int32_t slot = EvalInteger(calls, Expr(0), 0);
    if (calls.RequestLoad) calls.RequestLoad(slot);
    else ReportNotAvailable();
}

}  // namespace mobu
