// Glyph rendering: 1,000 distinct kanji at 24 pixels, cold (cache emptied before every
// pass) and cached, against FreeType's own gray rendering (FT_Render_Glyph) of the same
// glyphs from the same font at the same em size. Both time the same steps per glyph: the
// code page 932 code to Unicode, the character's glyph index in the font, loading and
// rendering.
#include <benchmark/benchmark.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <vector>

#include "platform/font_lookup.h"
#include "platform/text_encoding.h"
#include "text/font_pixel_manager.h"
#include "text/glyph_renderer.h"

namespace {

using namespace mobu;

const std::string& Gothic()
{
    static const std::string name = SysText(u8"ＭＳ ゴシック");
    return name;
}

// 1,000 distinct level-1 kanji (rows 0x88..0x93, trail bytes 0x40..0xFC without 0x7F).
const std::vector<uint16_t>& Kanji()
{
    static const std::vector<uint16_t> codes = [] {
        std::vector<uint16_t> out;
        for (int lead = 0x89; lead <= 0x98 && out.size() < 1000; ++lead)
            for (int trail = 0x40; trail <= 0xFC && out.size() < 1000; ++trail)
                if (trail != 0x7F) out.push_back(static_cast<uint16_t>(lead << 8 | trail));
        return out;
    }();
    return codes;
}

void BM_GlyphCold(benchmark::State& state)
{
    TFontPixelManager manager;
    manager.SetAntialias(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        manager.Clear();
        for (uint16_t code : Kanji()) benchmark::DoNotOptimize(manager.GetGlyph(code, Gothic(), 0, 24));
    }
    state.SetItemsProcessed(state.iterations() * Kanji().size());
}
BENCHMARK(BM_GlyphCold)->Arg(3)->Arg(2)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_GlyphCached(benchmark::State& state)
{
    // 250 of the kanji fit the 256-glyph cache: every lookup after the first pass hits.
    TFontPixelManager manager;
    std::vector<uint16_t> codes(Kanji().begin(), Kanji().begin() + 250);
    for (uint16_t code : codes) manager.GetGlyph(code, Gothic(), 0, 24);
    for (auto _ : state) {
        for (int pass = 0; pass < 4; ++pass)
            for (uint16_t code : codes) benchmark::DoNotOptimize(manager.GetGlyph(code, Gothic(), 0, 24));
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_GlyphCached)->Unit(benchmark::kMillisecond);

void BM_FreeTypeRenderGray(benchmark::State& state)
{
    FT_Library library;
    FT_Init_FreeType(&library);
    std::optional<TFontFile> file = LookupFont(Gothic());
    FT_Face face;
    if (!file || FT_New_Face(library, file->path.c_str(), file->index, &face) != 0) {
        state.SkipWithError("no font");
        return;
    }
    TGlyphRenderer renderer;
    renderer.SelectFont(Gothic(), 24, 0);
    FT_Set_Pixel_Sizes(face, 0, renderer.Metrics().ppem);
    for (auto _ : state) {
        for (uint16_t code : Kanji()) {
            FT_Load_Glyph(face, FT_Get_Char_Index(face, CharCodeToUnicode(code)), FT_LOAD_NO_BITMAP);
            FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL);
            benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
        }
    }
    state.SetItemsProcessed(state.iterations() * Kanji().size());
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}
BENCHMARK(BM_FreeTypeRenderGray)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
