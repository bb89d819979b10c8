// The diagnostic trace hook of start-up and shutdown. Every step calls it with a fixed
// label; it writes "trace: LABEL VALUE" to standard error only when the environment
// variable MOBU_TRACE is set to something other than "" or "0".
#pragma once

#include <cstdint>

namespace mobu {

void DebugTrace(const char* label, int32_t value = 0);

}  // namespace mobu
