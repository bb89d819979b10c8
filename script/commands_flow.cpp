// Control-flow commands: blocks, loops, jumps, calls, returns, waits and resets.
#include <algorithm>
#include <cstdint>
#include <utility>

#include "core/globals.h"
#include "expr/mobu_parser.h"
#include "expr/param_collection.h"
#include "expr/param_values.h"
#include "script/call_man.h"
#include "script/commands.h"
#include "script/page.h"

namespace mobu {

void TComIf::Exec(TCallMan& calls, TPage*& page, int32_t& pc)
{
    ++pc;
    if (IsTrue(calls, Expr(0))) return;
    // Skip the taken-not block: deeper commands are its body, a shallower one ends the
    // chain, an Elseif at this depth is tried, an Else is entered.
    while (page && pc < page->Count()) {
        TCommand* command = page->Command(pc);
        if (command->Depth > Depth) {
            ++pc;
            continue;
        }
        if (command->Depth < Depth) return;
        if (command->CommandId() == CI_ELSEIF) {
            ++pc;
            if (IsTrue(calls, command->Fields()[0].expr.get())) return;
            continue;
        }
        if (command->CommandId() == CI_ELSE) ++pc;
        return;
    }
}

namespace {

// Elseif and Else are reached only by running off the end of a taken block: skip the
// branches that follow.
void SkipBranch(const TCommand& self, TPage* page, int32_t& pc)
{
    ++pc;
    while (page && pc < page->Count() && page->Command(pc)->Depth > self.Depth) ++pc;
}

}  // namespace

void TComElseif::Exec(TCallMan&, TPage*& page, int32_t& pc) { SkipBranch(*this, page, pc); }
void TComElse::Exec(TCallMan&, TPage*& page, int32_t& pc) { SkipBranch(*this, page, pc); }

void TComJump::Exec(TCallMan& calls, TPage*& page, int32_t& pc)
{
    ++pc;
    if (!IsTrue(calls, Expr(2))) return;
    const std::string target_page = Text(0);
    const int32_t target = Number(1);
    if (!calls.EnsureAvailable(target_page)) return;
    page = calls.GetPage(target_page);
    pc = target;
}

void TComCall::Exec(TCallMan& calls, TPage*& page, int32_t& pc)
{
    ++pc;
    if (!IsTrue(calls, Expr(3))) return;
    const std::string target_page = Text(0);
    if (!calls.EnsureAvailable(target_page)) return;
    std::vector<std::string> arguments;
    for (const auto& argument : Fields()[4].list) {
        bool present = false;
        std::string text = EvalString(calls, argument.get(), {}, &present);
        if (present) arguments.push_back(std::move(text));
    }
    if (!calls.CheckDepth()) {
        page = nullptr;
        return;
    }
    const std::string caller = page ? page->PageName : std::string();
    const int32_t return_pc = pc;
    TStack& frame = calls.Stack.Push();
    frame.PageName = caller;
    frame.PC = return_pc;
    frame.ResultVar = Text(2);
    frame.KeepRunning = calls.KeepRunning;
    frame.Sender = calls.Sender;
    frame.CallParams = calls.CallParams;
    std::vector<std::string> caller_params = std::exchange(calls.CallParams, std::move(arguments));
    TPage* callee = nullptr;
    try {
        callee = calls.GetPage(target_page);
    } catch (...) {
        // A page that cannot be loaded is not called at all: its frame goes again, so the
        // caller goes on once after the Call (not a second time when its page ends), with
        // its own parameters and no result assigned.
        calls.Stack.Pop();
        calls.CallParams = std::move(caller_params);
        throw;
    }
    page = callee;
    pc = Number(1);
    calls.Stack.Top().ResultValue = NewParamOfType(page->ResultType);
}

void TComExit::Exec(TCallMan& calls, TPage*& page, int32_t& pc)
{
    if (IsTrue(calls, Expr(0))) page = nullptr;
    else ++pc;
}

void TComBreak::Exec(TCallMan& calls, TPage*& page, int32_t& pc)
{
    if (!IsTrue(calls, Expr(0))) {
        ++pc;
        return;
    }
    if (Number(1) < 0) page = nullptr;
    else pc = Number(1);
}

void TComContinue::Exec(TCallMan& calls, TPage*& page, int32_t& pc)
{
    ++pc;
    if (!IsTrue(calls, Expr(0))) return;
    if (Number(1) < 0) page = nullptr;
    else pc = Number(1);
}

void TComWhile::Exec(TCallMan& calls, TPage*&, int32_t& pc)
{
    ++pc;
    if (!IsTrue(calls, Expr(0))) pc = Number(1);
}

void TComWhileInit::Exec(TCallMan& calls, TPage*&, int32_t& pc)
{
    ++pc;
    Evaluate(calls, Expr(0));
}

void TComWhileLoop::Exec(TCallMan& calls, TPage*&, int32_t& pc)
{
    pc = Number(1);
    Evaluate(calls, Expr(0));
}

void TComWait::Enter(TCallMan& calls)
{
    remaining_ = EvalInteger(calls, Expr(1), 0);
    first_frame_ = 1;
    hold_ = Fields()[2].present ? EvalFlag(calls, Expr(2), false) : false;
}

void TComWait::Exec(TCallMan& calls, TPage*&, int32_t& pc)
{
    bool present = false;
    bool condition = EvalFlag(calls, Expr(0), false, &present);
    if (present && !condition) {
        ++pc;
        return;
    }
    if (remaining_ != 0) {
        if (first_frame_) {
            first_frame_ = 0;
        } else {
            // In 64 bits, kept within int32: a time near INT32_MIN must end the wait, not wrap
            // round to nearly 25 days.
            const int64_t left = static_cast<int64_t>(remaining_) - FrameDeltaMs;
            remaining_ = static_cast<int32_t>(std::clamp<int64_t>(left, INT32_MIN, INT32_MAX));
            if (remaining_ <= 0) {
                ++pc;
                return;
            }
        }
    }
    calls.KeepRunning = false;
}

void TComWait::SaveState(ByteWriter& out) const
{
    WriteStateTag(out);
    out.I32(remaining_);
    out.I32(first_frame_);
    out.Flag(hold_);
}

void TComWait::LoadState(ByteReader& in)
{
    int32_t version = ReadStateTag(in);
    remaining_ = in.I32();
    first_frame_ = in.I32();
    if (version >= 100) hold_ = in.Flag();
}

void TComPCReset::Exec(TCallMan& calls, TPage*& page, int32_t& pc)
{
    const std::string target_page = Text(0);
    const int32_t target = Number(1);
    TParamCollection* table = calls.Table();
    TStackList& stack = calls.Stack;
    if (table) table->DeleteOwned(stack.Count());
    if (Number(2) != 0) {
        // Restart the whole script: every frame's variables go, and entered commands of the
        // main script (a flip under way) are finished at once.
        for (int32_t k = stack.Count() - 1; k >= 0; --k) {
            if (table) table->DeleteOwned(k);
            TStack& frame = stack.Item(k);
            if (frame.Sender == nullptr && frame.Entered) {
                TPage* frame_page = calls.GetPage(frame.PageName);
                if (frame.PC >= 0 && frame.PC < frame_page->Count()) frame_page->Command(frame.PC)->Abort();
            }
        }
        calls.StartPage(target_page);
        page = calls.CurrentPage;
        pc = target;
        calls.Components().ClearEvents();
        return;
    }
    int32_t lowest = -1;
    for (int32_t k = 0; k < stack.Count(); ++k) {
        if (stack.Item(k).Sender != nullptr) {
            lowest = k;
            break;
        }
    }
    if (lowest < 0) lowest = calls.SenderName().empty() ? -1 : stack.Count();
    int32_t found = -1;
    for (int32_t k = lowest - 1; k >= 0; --k) {
        if (stack.Item(k).Sender == nullptr) {
            found = k;
            break;
        }
    }
    if (found >= 0) {
        // The interrupted main script resumes at the target when the handler returns.
        if (table) table->DeleteOwned(found);
        TStack& frame = stack.Item(found);
        frame.PageName = target_page;
        frame.PC = target;
        frame.Entered = false;
        frame.ResultVar.clear();
        frame.CallParams.clear();
        frame.State.reset();
        ++pc;
    } else {
        page = calls.GetPage(target_page);
        pc = target;
    }
    calls.Components().RemoveRunningEvents();
}

void TComReset::Exec(TCallMan& calls, TPage*& page, int32_t& pc)
{
    const std::string target_page = Text(0);
    const int32_t target = Number(1);
    calls.Components().ResetList();
    if (TParamCollection* table = calls.Table()) table->ResetVars();
    for (const auto& hook : calls.ResetHooks) hook();
    calls.StartPage(target_page);
    page = calls.CurrentPage;
    pc = target;
}

void TComTerminate::Exec(TCallMan& calls, TPage*&, int32_t& pc)
{
    ++pc;
    QuitRequested = true;
    if (calls.RequestClose) calls.RequestClose();
}

}  // namespace mobu
