// TMobuTimer: posts its notify event at a fixed interval measured on the game clock.
#pragma once

#include <cstdint>
#include <string>

#include "components/mobu_object.h"

namespace mobu {

class TMobuTimer : public TMobuComponent {
public:
    explicit TMobuTimer(TMobuBaseList* owner);

    // Posts the notify event when the interval has passed and none of it is queued; a fired
    // timer with PR_AUTOSCRAP asks for removal once its event has been handled.
    bool Update() override;

    void SaveToStream(ByteWriter& out) override;
    void LoadFromStream(ByteReader& in, int version) override;

    std::string OnNotify;
    int32_t Delay = 0;  // ms; negative: stopped; 0: every update
    bool TimerPaused = false;
    bool AutoScrap = false;
    bool Fired = false;
    int32_t StartTick = 0;  // game clock at the start of the current interval

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;

private:
    // Drops the waiting events and starts the interval anew.
    void Restart();
};

}  // namespace mobu
