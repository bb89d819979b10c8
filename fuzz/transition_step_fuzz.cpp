// Screen transitions with arbitrary settings: the id (any byte), both parameters, reverse,
// target sizes 0-64, and durations and positions over the whole 32-bit range. Each input
// steps one transition a few times (the sanitizer build catches any access outside the
// pictures; a hang shows as the fuzzer's time-out).
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "expr/script_random.h"
#include "graphics/dibx.h"
#include "graphics/wipes/wipe_table.h"

namespace {

int32_t Take(const uint8_t*& data, size_t& size)
{
    uint32_t value = 0;
    const size_t n = size < 4 ? size : 4;
    std::memcpy(&value, data, n);
    data += n, size -= n;
    return static_cast<int32_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace mobu;
    if (size < 4) return 0;
    const int id = data[0];
    const int width = data[1] % 65, height = data[2] % 65;
    const bool reverse = data[3] & 1;
    data += 4, size -= 4;
    const int32_t param0 = Take(data, size), param1 = Take(data, size), duration = Take(data, size);
    SeedScriptRandom(static_cast<uint64_t>(static_cast<uint32_t>(param0)));
    TDIBX target, from, to;
    target.SetSize(width, height, 32);
    from.SetSize(width, height, 32);
    to.SetSize(width, height, 32);
    from.Clear(0x00336699);
    to.Clear(0x00CC9966);
    target.Clear(0x00010203);
    auto wipe = CreateWipe(id, &target, &from, &to);
    if (!wipe) return 0;
    wipe->SetParam(0, param0);
    wipe->SetParam(1, param1);
    wipe->SetReverse(reverse ? 1 : 0);
    wipe->Duration = duration;
    wipe->Prepare();
    for (int step = 0; step < 4 && size > 0; ++step) {
        wipe->Position = Take(data, size);
        wipe->Step();
    }
    return 0;
}
