// Reads arbitrary bytes as an HTTP component's response text (EUC-JP to Shift_JIS, then the
// line split): never a read past the end, a crash or a hang.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "components/http_response_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text = mobu::HttpResponseText(std::string_view(reinterpret_cast<const char*>(data), size));
    // Two bytes of output at most for each byte read.
    if (text.size() > 2 * size) __builtin_trap();
    return 0;
}
