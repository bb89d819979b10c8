// What the interpreter needs from the component list: the event queue, component lookup
// by name and the registrations that keep non-owning references honest, and the list
// reset of the Reset command, and the commands that act on components. The component model
// implements it and the main window installs it; until then the call manager runs with an
// empty queue and no components.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mobu {

class TCallMan;
class TCommand;
class TMobuBaseList;
class TMobuObject;

class TCallManComponents {
public:
    virtual ~TCallManComponents() = default;

    // A record of the event queue as the interpreter sees it.
    struct TEvent {
        std::string handler;  // event string: page, optionally ':' and a label
        TMobuObject* sender = nullptr;
        std::vector<std::string> params;
    };

    // Index of the oldest record whose level is 0, or -1.
    virtual int32_t OldestWaitingEvent() { return -1; }
    virtual TEvent EventAt(int32_t) { return {}; }
    virtual void SetEventLevel(int32_t, int32_t) {}
    // Removes every record of that level.
    virtual void RemoveEventsOfLevel(int32_t) {}
    // Removes every record whose level is not 0.
    virtual void RemoveRunningEvents() {}
    // Removes every record.
    virtual void ClearEvents() {}

    // Whether the component is still registered in the component list.
    virtual bool IsRegistered(const TMobuObject*) { return false; }
    virtual std::string NameOf(const TMobuObject*) { return {}; }
    // The component of that name (an empty name gives none here).
    virtual TMobuObject* FindComponent(const std::string&) { return nullptr; }
    // The Reset command: every component and event removed, two new screen bases.
    virtual void ResetList() {}
    // The component list itself; none when the interpreter runs without one.
    virtual TMobuBaseList* List() { return nullptr; }
    // Carries out a command that creates, changes or deletes components (the creating
    // commands, SaveCabinet, LoadCabinet, GetProp, SetProp, ObjDel). Without a component
    // list there is nothing to act on.
    virtual void RunComponentCommand(TCallMan&, const TCommand&) {}

    // ---- the message history (without a component list there is none) ----
    // ClrHist: clears every format's history; false without a history.
    virtual bool ClearHistory() { return false; }
    // FormatHist: the format (made when missing) takes its six layout values from the named
    // component, or all 0 when there is none; false without a history.
    virtual bool FormatHistory(const std::string&, const std::string&) { return false; }
    // CallHist: shows `count` units from `first` of the format's history in the message box
    // named `box`; false without a history.
    virtual bool CallHistory(const std::string&, int32_t, int32_t, bool, const std::string&) { return false; }

    // ---- message boxes (without a component list there are none) ----
    // Puts the stored text of TextIns command `command` of page `page` into the message box
    // named `box`; false when there is no such box.
    virtual bool LoadScriptMessage(const std::string&, const std::string&, int32_t, bool) { return false; }
    // The page count of the message box named `box`; -1 when there is no such box.
    virtual int32_t MessagePageCount(const std::string&) { return -1; }
    // TextClr: clears the message box named `box`; false when there is no such box.
    virtual bool ClearMessageText(const std::string&) { return false; }
    // ClrRead: empties the read-text list; false without one.
    virtual bool ClearReadList() { return false; }

    // ---- the Flip command (without a component list there are no screens to flip) ----
    // Brings the frame up to date and puts a copy of the active base's picture, as large as
    // the screen, into the active base as a component under a reserved name.
    virtual void TakeFlipSnapshot() {}
    // Moves to the other base, from the last child of the active base to the first, every
    // child (the snapshot excepted) whose name is selected: with mode 1 a name that equals a
    // line of `lines`, with mode 0 one that equals none; other modes select nothing.
    virtual void MoveFlipSelection(const std::vector<std::string>&, int) {}
    // Starts the transition of `id` from the shown base to the hidden one.
    virtual void StartFlip(int, bool, int32_t) {}
    virtual void SetFlipParam(int, int32_t) {}
    virtual void SetFlipMaskName(const std::string&) {}
    virtual int32_t FlipDuration() { return 0; }
    virtual void AdvanceFlip(int32_t) {}
    // Shows the other base, removes the snapshot and, when `clear_hidden`, every component
    // of the now hidden base (cabinets too unless `keep_cabinets`).
    virtual void FinishFlip(bool, bool) {}

    // ---- media (without a component list nothing plays) ----
    // MovieStop: the named component that reports a play state stops: with `fade_ms` above 0
    // it fades out (when its file exists and it plays; else nothing happens), otherwise it
    // stops and goes at once. The component that fades out, which the command may wait for,
    // or none.
    virtual TMobuObject* StopMedia(const std::string&, int32_t) { return nullptr; }
};

}  // namespace mobu
