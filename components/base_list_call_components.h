// The component list as the interpreter sees it: its event queue, name lookup and
// registrations, and the list reset of the Reset command.
#pragma once

#include "components/mobu_base_list.h"
#include "script/call_man_host.h"

namespace mobu {

class TBaseListCallComponents : public TCallManComponents {
public:
    explicit TBaseListCallComponents(TMobuBaseList& list) : list_(list) {}

    int32_t OldestWaitingEvent() override { return list_.Events().OldestWaiting(); }
    TEvent EventAt(int32_t index) override;
    void SetEventLevel(int32_t index, int32_t level) override { list_.Events().SetLevel(index, level); }
    void RemoveEventsOfLevel(int32_t level) override { list_.Events().RemoveLevel(level); }
    void RemoveRunningEvents() override { list_.Events().RemoveRunning(); }
    void ClearEvents() override { list_.Events().Clear(); }

    bool IsRegistered(const TMobuObject* object) override { return list_.IsRegistered(object); }
    std::string NameOf(const TMobuObject* object) override;
    TMobuObject* FindComponent(const std::string& name) override;
    void ResetList() override;
    TMobuBaseList* List() override { return &list_; }
    void RunComponentCommand(TCallMan& calls, const TCommand& command) override;

    bool LoadScriptMessage(const std::string& box, const std::string& page, int32_t command, bool tracked) override;
    int32_t MessagePageCount(const std::string& box) override;
    bool ClearMessageText(const std::string& box) override;
    bool ClearReadList() override;
    bool ClearHistory() override;
    bool FormatHistory(const std::string& format, const std::string& component) override;
    bool CallHistory(const std::string& box, int32_t first, int32_t count, bool flag,
                     const std::string& format) override;

    void TakeFlipSnapshot() override;
    void MoveFlipSelection(const std::vector<std::string>& lines, int mode) override;
    void StartFlip(int id, bool reverse, int32_t duration) override;
    void SetFlipParam(int index, int32_t value) override { list_.SetTransitionParam(index, value); }
    void SetFlipMaskName(const std::string& name) override { list_.SetTransitionMaskName(name); }
    int32_t FlipDuration() override { return list_.TransitionDuration(); }
    void AdvanceFlip(int32_t elapsed) override { list_.SetTransitionPosition(elapsed); }
    void FinishFlip(bool clear_hidden, bool keep_cabinets) override;

    TMobuObject* StopMedia(const std::string& name, int32_t fade_ms) override;

private:
    TMobuBaseList& list_;
};

}  // namespace mobu
