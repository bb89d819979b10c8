// Tagged story text on arbitrary bytes: converted and laid out at sizes taken from the
// first bytes, then revealed for a few frames.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/mobu_error.h"
#include "text/ks_word.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4) return 0;
    mobu::TKsWord engine;
    engine.Width = data[0] * 4;
    engine.Height = data[1] * 2;
    engine.FontSize = data[2] % 64;
    engine.Paging = data[3] & 1;
    engine.TextDelayRate = (data[3] >> 1) * 8 - 64;
    engine.NotifyEnabled = 1;
    const std::string text(reinterpret_cast<const char*>(data + 4), size - 4);
    try {
        engine.SetText({text}, 10);
    } catch (const mobu::EMobuError&) {
        return 0;
    }
    engine.ExpandVars(0, -1, false);
    mobu::TWdPageList pages;
    engine.Layout(pages);
    for (auto& page : pages) {
        engine.ResetDisplay(*page);
        for (int frame = 0; frame < 3; ++frame) engine.Progress(*page, 33);
        engine.IsDisplaying(*page);
    }
    return 0;
}
