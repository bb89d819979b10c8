// The stored glyph list "KsWord" on arbitrary bytes: damaged lists are refused cleanly; what
// is read is laid out, revealed, saved and read back.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/byte_reader.h"
#include "core/mobu_error.h"
#include "text/ks_word.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    mobu::TKsWord engine;
    try {
        mobu::ByteReader in(bytes);
        engine.LoadGlyphs(in);
    } catch (const mobu::EMobuError&) {
        return 0;
    }
    engine.Width = 200;
    engine.Height = 60;
    engine.TextDelayRate = 256;
    engine.FixedValueList = {"who=x\x01y"};
    engine.ExpandVars(0, -1, true);
    mobu::TWdPageList pages;
    engine.Layout(pages);
    for (auto& page : pages) {
        engine.ResetDisplay(*page);
        for (int frame = 0; frame < 4; ++frame) engine.Progress(*page, 16);
        engine.RevealedText(*page);
        engine.CaptureFixedValues(*page);
        mobu::ByteWriter state;
        engine.SavePageState(*page, state);
        const std::string saved = state.Take();
        mobu::ByteReader back(saved);
        try {
            engine.LoadPageState(*page, back);
        } catch (const mobu::EMobuError&) {
        }
    }
    engine.CollapseVars(0, -1);
    mobu::ByteWriter out;
    engine.SaveGlyphs(out);
    return 0;
}
