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

private:
    TMobuBaseList& list_;
};

}  // namespace mobu
