// The command classes of script pages, one per command id. Control flow, variables and the
// commands on components act now; the commands that need message text, media or
// transitions read and keep their records, evaluate what their step machines need
// (hold-events flags) and otherwise advance until those subsystems give them something to
// act on.
#pragma once

#include "script/command.h"

namespace mobu {

class TCallManComponents;
class TMobuObject;

// ---- control flow ----
class TComIf : public TCommand {
public:
    using TCommand::TCommand;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};
class TComElseif : public TComIf {
public:
    using TComIf::TComIf;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};
class TComElse : public TCommand {
public:
    using TCommand::TCommand;
    bool ContinuesFrame() const override { return true; }
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};
class TComLabel : public TCommand {
public:
    using TCommand::TCommand;
    bool IsLabel(const std::string& name) const override { return Text(0) == name; }
};
class TComComment : public TComLabel {
public:
    using TComLabel::TComLabel;
    bool IsDisabled() const override { return true; }
};
class TComJump : public TCommand {
public:
    using TCommand::TCommand;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};
class TComCall : public TCommand {
public:
    using TCommand::TCommand;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};
class TComExit : public TCommand {
public:
    using TCommand::TCommand;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};
class TComBreak : public TComExit {
public:
    using TComExit::TComExit;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};
class TComContinue : public TComExit {
public:
    using TComExit::TComExit;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};
class TComWhile : public TCommand {
public:
    using TCommand::TCommand;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};
class TComWhileInit : public TCommand {
public:
    using TCommand::TCommand;
    bool ContinuesFrame() const override { return true; }
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};
class TComWhileLoop : public TComWhileInit {
public:
    using TComWhileInit::TComWhileInit;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};
class TComWait : public TCommand {
public:
    using TCommand::TCommand;
    bool HoldsEvents() const override { return hold_; }
    bool Yields() const override { return true; }
    void Enter(TCallMan& calls) override;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
    void SaveState(ByteWriter& out) const override;
    void LoadState(ByteReader& in) override;
    int32_t Remaining() const { return remaining_; }

private:
    int32_t remaining_ = 0;
    int32_t first_frame_ = 1;
    bool hold_ = false;
};
class TComDoEvent : public TCommand {
public:
    using TCommand::TCommand;
    bool ContinuesFrame() const override { return false; }
    bool Yields() const override { return true; }
};
class TComPCReset : public TCommand {
public:
    using TCommand::TCommand;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};
class TComReset : public TComPCReset {
public:
    using TComPCReset::TComPCReset;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};
class TComTerminate : public TCommand {
public:
    using TCommand::TCommand;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};

// ---- variables and saves ----
class TComCalc : public TCommand {
public:
    using TCommand::TCommand;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};
class TComVarNew : public TCommand {
public:
    using TCommand::TCommand;
    void LoadRecord(ByteReader& in) override;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};
class TComVarDel : public TCommand {
public:
    using TCommand::TCommand;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};
class TComGameSave : public TCommand {
public:
    using TCommand::TCommand;
    bool ContinuesFrame() const override { return false; }
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};
class TComGameLoad : public TCommand {
public:
    using TCommand::TCommand;
    bool ContinuesFrame() const override { return false; }
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};

// ---- commands of components, text, media and transitions ----
// Base of the component-creating commands (the property block): creates the component kind
// of its command id in the component list and applies the properties the page's mask gives
// it, in the creation order.
// A command that acts on components (creates them, moves them between cabinets, reads or
// sets a property, deletes one): it advances and hands itself to the component seam.
class TComOnComponents : public TCommand {
public:
    using TCommand::TCommand;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};
class TComComponent : public TComOnComponents {
public:
    using TComOnComponents::TComOnComponents;

    // The expression slot of a property (null when the page's mask has no bit for it).
    TMobuParser* PropertyExpr(int id) const;
};
class TComControl : public TComComponent {
public:
    using TComComponent::TComComponent;
};
// SaveCabinet and LoadCabinet: park components of the hidden base in a cabinet, and bring
// them back.
class TComCabinet : public TComComponent {
public:
    using TComComponent::TComComponent;
};
class TComGetProp : public TComOnComponents {
public:
    using TComOnComponents::TComOnComponents;
};
class TComSetProp : public TComOnComponents {
public:
    using TComOnComponents::TComOnComponents;
};
class TComObjDel : public TComOnComponents {
public:
    using TComOnComponents::TComOnComponents;
};

// A command that waits for its target and may hold events (TextIns, media stop): with no
// component list there is no target, so it never waits.
class TComWaitTarget : public TCommand {
public:
    TComWaitTarget(TComList* owner, uint8_t id, size_t hold_field, size_t wait_field)
        : TCommand(owner, id), hold_field_(hold_field), wait_field_(wait_field)
    {
    }
    bool HoldsEvents() const override { return hold_; }
    bool Yields() const override { return !target_.empty() && wait_; }
    void Enter(TCallMan& calls) override;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
    void SaveState(ByteWriter& out) const override;
    void LoadState(ByteReader& in) override;

protected:
    std::string target_;  // name of the target component ("" for none)
    bool wait_ = false;
    bool hold_ = false;
    size_t hold_field_;
    size_t wait_field_;
};
// MovieStop: stops or fades out a component that plays; with its wait flag it stays while
// the fading component is registered. The target is kept as a reference, since a sound
// fading out renames itself; the state blob stores its current name.
class TComMovieStop : public TCommand {
public:
    using TCommand::TCommand;
    bool HoldsEvents() const override { return hold_; }
    bool Yields() const override { return (target_ != nullptr || !target_name_.empty()) && wait_; }
    void Enter(TCallMan& calls) override;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
    void SaveState(ByteWriter& out) const override;
    void LoadState(ByteReader& in) override;

private:
    TCallManComponents* components_ = nullptr;
    TMobuObject* target_ = nullptr;
    std::string target_name_;  // a loaded target, found again at the next Exec
    bool wait_ = false;
    bool hold_ = false;
};
// TextIns: puts the command's stored text into a message box; with its wait flag it stays
// while the box is registered and has pages.
class TComTextIns : public TComWaitTarget {
public:
    TComTextIns(TComList* owner, uint8_t id) : TComWaitTarget(owner, id, 4, 3) {}
    void Enter(TCallMan& calls) override;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};
// TextClr: clears a message box.
class TComTextClr : public TCommand {
public:
    using TCommand::TCommand;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};
// ClrHist: clears every history format's history.
class TComClrHist : public TCommand {
public:
    using TCommand::TCommand;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};
// FormatHist: makes the history format (operand 1, from page version 110) and copies the
// layout values of the component named by operand 0 into it.
class TComFormatHist : public TCommand {
public:
    using TCommand::TCommand;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};
// CallHist: shows part of a history in a message box (box, first, count, flag, format).
class TComCallHist : public TCommand {
public:
    using TCommand::TCommand;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};
// ClrRead: empties the read-text list.
class TComClrRead : public TCommand {
public:
    using TCommand::TCommand;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
};
// Flip: shows the hidden screen base, through a transition when one is asked for. The
// first Exec only marks, the second takes the start time, later ones advance the transition
// until its duration has passed; then the bases swap.
class TComFlip : public TCommand {
public:
    using TCommand::TCommand;
    bool HoldsEvents() const override { return hold_; }
    bool Yields() const override { return duration_ > 0; }
    void Enter(TCallMan& calls) override;
    void Exec(TCallMan& calls, TPage*& page, int32_t& pc) override;
    void Abort() override;
    void SaveState(ByteWriter& out) const override;
    void LoadState(ByteReader& in) override;

    // Highest transition id; the low byte of a larger id means no transition.
    static constexpr int kLastTransition = 38;

private:
    bool hold_ = false;
    bool clear_hidden_ = false;
    int32_t duration_ = 0;
    bool finished_ = false;
    int stage_ = 0;  // 0 entered, 1 marked, 2 running
    int32_t start_ms_ = 0;
    TCallManComponents* screens_ = nullptr;  // for Abort, which has no call manager
};

}  // namespace mobu
