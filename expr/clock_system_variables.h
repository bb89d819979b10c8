// The system variables that need only the clock, on top of the table's basic source:
// "@TickCount" (game clock of the frame loop), "@PCTickCount" (system millisecond timer),
// "@Year" … "@Sec" and "@Week" (local date and time now). The built-in function manager
// installs it; the subsystems that own input, screen and media extend it further.
#pragma once

#include "expr/system_variables.h"

namespace mobu {

class TClockSystemVariables : public TBasicSystemVariables {
public:
    using TBasicSystemVariables::TBasicSystemVariables;
    TSystemValue Read(int index, int32_t element) override;
};

}  // namespace mobu
