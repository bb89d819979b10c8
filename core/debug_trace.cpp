#include "core/debug_trace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace mobu {

void DebugTrace(const char* label, int32_t value)
{
    static const bool enabled = [] {
        const char* setting = std::getenv("MOBU_TRACE");
        return setting && *setting && std::strcmp(setting, "0") != 0;
    }();
    if (enabled) std::fprintf(stderr, "trace: %s %d\n", label, static_cast<int>(value));
}

}  // namespace mobu
