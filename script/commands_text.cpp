// Commands of message text: TextIns, TextClr and ClrRead act on message boxes and the read
// list through the component list the interpreter runs with.
#include "core/script_log.h"
#include "expr/mobu_parser.h"
#include "script/call_man.h"
#include "script/call_man_host.h"
#include "script/commands.h"
#include "script/page.h"

namespace mobu {

void TComTextIns::Enter(TCallMan& calls)
{
    hold_ = hold_field_ < Fields().size() && Fields()[hold_field_].present ? EvalFlag(calls, Expr(hold_field_), false)
                                                                            : false;
    target_.clear();
    wait_ = false;
    const std::string box = EvalString(calls, Expr(1));
    const bool tracked = EvalFlag(calls, Expr(2), false);
    const std::string page_name = Owner() != nullptr && Owner()->Page() != nullptr ? Owner()->Page()->PageName : "";
    if (Text(0).empty() || box.empty()) return;
    if (!calls.Components().LoadScriptMessage(box, page_name, Index(), tracked)) return;
    target_ = box;
    wait_ = EvalFlag(calls, Expr(wait_field_), false);
}

void TComTextIns::Exec(TCallMan& calls, TPage*&, int32_t& pc)
{
    // Stay while the box is still registered, the wait flag is set and it has pages.
    if (!target_.empty() && wait_ && calls.Components().MessagePageCount(target_) > 0) return;
    ++pc;
}

void TComTextClr::Exec(TCallMan& calls, TPage*&, int32_t& pc)
{
    calls.Components().ClearMessageText(EvalString(calls, Expr(0)));
    ++pc;
}

void TComClrRead::Exec(TCallMan& calls, TPage*&, int32_t& pc)
{
    if (!calls.Components().ClearReadList()) ReportNotAvailable();
    ++pc;
}

void TComClrHist::Exec(TCallMan& calls, TPage*&, int32_t& pc)
{
    if (!calls.Components().ClearHistory()) ReportNotAvailable();
    ++pc;
}

void TComFormatHist::Exec(TCallMan& calls, TPage*&, int32_t& pc)
{
    const std::string component = EvalString(calls, Expr(0));
    const std::string format = Fields().size() > 1 && Fields()[1].present ? EvalString(calls, Expr(1)) : std::string();
    if (!calls.Components().FormatHistory(format, component)) ReportNotAvailable();
    ++pc;
}

void TComCallHist::Exec(TCallMan& calls, TPage*&, int32_t& pc)
{
    ++pc;
    const std::string box = EvalString(calls, Expr(0));
    bool has_first = false;
    const int32_t first = EvalInteger(calls, Expr(1), 0, &has_first);
    if (!has_first) return;
    const int32_t count = EvalInteger(calls, Expr(2), 1);
    const bool flag = EvalFlag(calls, Expr(3), false);
    const std::string format = Fields().size() > 4 && Fields()[4].present ? EvalString(calls, Expr(4)) : std::string();
    if (!calls.Components().CallHistory(box, first, count, flag, format)) ReportNotAvailable();
}

}  // namespace mobu
