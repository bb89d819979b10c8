// Commands of message text, media and transitions. They keep their records and the state
// their step machines save; until text, media and transitions exist they have no target,
// advance at once and log that they did nothing.
#include "core/script_log.h"
#include "expr/mobu_parser.h"
#include "script/call_man.h"
#include "script/commands.h"

namespace mobu {

void TComWaitTarget::Enter(TCallMan& calls)
{
    hold_ = hold_field_ < Fields().size() && Fields()[hold_field_].present ? EvalFlag(calls, Expr(hold_field_), false)
                                                                            : false;
    // No component list answers for the target yet: no target, no wait.
    target_.clear();
    wait_ = false;
    (void)wait_field_;
}

void TComWaitTarget::Exec(TCallMan&, TPage*&, int32_t& pc)
{
    ++pc;
    ReportNotAvailable();
}

void TComWaitTarget::SaveState(ByteWriter& out) const
{
    WriteStateTag(out);
    out.String(target_);
    out.Flag(wait_);
    out.Flag(hold_);
}

void TComWaitTarget::LoadState(ByteReader& in)
{
    int32_t version = ReadStateTag(in);
    target_ = in.String();
    wait_ = in.Flag();
    if (version >= 100) hold_ = in.Flag();
}

void TComFlip::Enter(TCallMan& calls)
{
    const auto& fields = Fields();
    hold_ = fields[9].present ? EvalFlag(calls, Expr(9), false) : false;
    clear_hidden_ = EvalFlag(calls, Expr(5), false);
}

void TComFlip::Exec(TCallMan&, TPage*&, int32_t& pc)
{
    ++pc;
    ReportNotAvailable();
}

void TComFlip::SaveState(ByteWriter& out) const
{
    WriteStateTag(out);
    out.Flag(hold_);
    out.Flag(clear_hidden_);
}

void TComFlip::LoadState(ByteReader& in)
{
    ReadStateTag(in);
    hold_ = in.Flag();
    clear_hidden_ = in.Flag();
}

}  // namespace mobu
