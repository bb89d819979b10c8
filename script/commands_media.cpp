// Commands of message text, media and transitions. They keep their records and the state
// their step machines save. Flip runs its transition on the screen bases; the others have
// no target until text and media exist, advance at once and log that they did nothing.
#include <algorithm>
#include <string>
#include <vector>

#include "core/globals.h"
#include "core/script_log.h"
#include "expr/mobu_parser.h"
#include "script/call_man_host.h"
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

void TComMovieStop::Enter(TCallMan& calls)
{
    components_ = &calls.Components();
    hold_ = Fields().size() > 3 && Fields()[3].present ? EvalFlag(calls, Expr(3), false) : false;
    target_name_.clear();
    const std::string name = EvalString(calls, Expr(0));
    const int32_t fade = EvalInteger(calls, Expr(1), 0);
    target_ = name.empty() ? nullptr : components_->StopMedia(name, fade);
    wait_ = EvalFlag(calls, Expr(2), false);
}

void TComMovieStop::Exec(TCallMan& calls, TPage*&, int32_t& pc)
{
    components_ = &calls.Components();
    if (!target_ && !target_name_.empty()) target_ = components_->FindComponent(target_name_);
    target_name_.clear();
    // Stay while the fading component is still registered (and the command waits for it).
    if (target_ && wait_ && components_->IsRegistered(target_)) return;
    target_ = nullptr;
    ++pc;
}

void TComMovieStop::SaveState(ByteWriter& out) const
{
    WriteStateTag(out);
    const bool alive = target_ && components_ && components_->IsRegistered(target_);
    out.String(alive ? components_->NameOf(target_) : target_name_);
    out.Flag(wait_);
    out.Flag(hold_);
}

void TComMovieStop::LoadState(ByteReader& in)
{
    const int32_t version = ReadStateTag(in);
    target_ = nullptr;
    target_name_ = in.String();
    wait_ = in.Flag();
    hold_ = version >= 100 ? in.Flag() : false;
}

namespace {

// The lines of a name list (CR LF or LF breaks).
void AppendLines(const std::string& text, std::vector<std::string>& lines)
{
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!(line.empty() && end == text.size())) lines.push_back(std::move(line));
        start = end + 1;
    }
}

}  // namespace

void TComFlip::Enter(TCallMan& calls)
{
    const auto& fields = Fields();
    screens_ = &calls.Components();
    int id = EvalInteger(calls, Expr(0), 0) & 0xFF;
    if (id > kLastTransition) id = 0;
    bool duration_given = false;
    const int32_t raw_duration = EvalInteger(calls, Expr(1), 1, &duration_given);
    duration_ = std::max<int32_t>(raw_duration, 1);
    const bool reverse = EvalFlag(calls, Expr(2), false);
    hold_ = fields[9].present ? EvalFlag(calls, Expr(9), false) : false;
    clear_hidden_ = EvalFlag(calls, Expr(5), false);
    std::vector<std::string> lines;
    for (const auto& expr : fields[4].list) {
        bool present = false;
        const std::string text = EvalString(calls, expr.get(), {}, &present);
        if (present) AppendLines(text, lines);
    }
    finished_ = false;
    stage_ = 0;
    start_ms_ = 0;
    bool mode_given = false;
    const int32_t mode = EvalInteger(calls, Expr(3), 0, &mode_given) & 0xFF;
    if (mode_given) {
        if (duration_given && raw_duration > 0) screens_->TakeFlipSnapshot();
        else finished_ = true;
        screens_->MoveFlipSelection(lines, mode);
    }
    if (finished_) return;
    screens_->StartFlip(id, reverse, duration_);
    for (int index = 0; index < 2; ++index) {
        bool present = false;
        const int32_t value = EvalInteger(calls, Expr(6 + static_cast<size_t>(index)), 0, &present);
        if (present) screens_->SetFlipParam(index, value);
    }
    if (fields[8].present) {
        bool present = false;
        const std::string mask = EvalString(calls, Expr(8), {}, &present);
        if (present) screens_->SetFlipMaskName(mask);
    }
}

void TComFlip::Exec(TCallMan& calls, TPage*&, int32_t& pc)
{
    TCallManComponents& screens = calls.Components();
    screens_ = &screens;  // also after a loaded game, whose flip was not entered here
    if (!finished_) {
        if (stage_ == 0) {
            stage_ = 1;
            return;
        }
        if (stage_ == 1) {
            stage_ = 2;
            start_ms_ = GameClockMs;
            return;
        }
        // The clock wraps at 32 bits: the elapsed time is the unsigned difference.
        const uint32_t elapsed = static_cast<uint32_t>(GameClockMs) - static_cast<uint32_t>(start_ms_);
        const int32_t duration = screens.FlipDuration();
        if (elapsed < static_cast<uint32_t>(std::max(duration, 0))) {
            screens.AdvanceFlip(static_cast<int32_t>(elapsed));
            return;
        }
    }
    ++pc;
    screens.FinishFlip(clear_hidden_, true);
}

void TComFlip::Abort()
{
    if (screens_) screens_->FinishFlip(clear_hidden_, false);
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
