// Story text, three costs, each beside its peer in the same run:
//  1. converting and laying out a 200 KB story into the pages of a 640 × 160 box, against
//     libunibreak computing the line-break opportunities (UAX #14) of the same text in UTF-8;
//  2. rendering a page of 400 distinct kanji at 24 pixels with a 2-pixel outline, with the
//     glyph cache emptied first (cold) and full (warm), against FreeType loading and
//     rendering the same glyphs in gray;
//  3. one revealing frame of a 1280 × 720 scene with a 1200 × 240 message box (the update
//     pass reveals the next glyphs, the draw pass redraws the changed rectangles, the copy
//     presents them), against a full redraw of the same scene.
#include <benchmark/benchmark.h>

#include <ft2build.h>
#include FT_FREETYPE_H

extern "C" {
#include <linebreak.h>
}

#include <optional>
#include <string>
#include <vector>

#include "app/component_screen_bases.h"
#include "components/mobu_base_list.h"
#include "components/mobu_mes.h"
#include "core/globals.h"
#include "platform/font_lookup.h"
#include "platform/frame_buffer.h"
#include "platform/text_encoding.h"
#include "text/font_pixel_manager.h"
#include "text/glyph_renderer.h"
#include "text/ks_word.h"

namespace {

using namespace mobu;

const std::string& Gothic()
{
    static const std::string name = SysText(u8"ＭＳ ゴシック");
    return name;
}

// A story of about 200 KB (code page 932): paragraphs of Japanese prose with punctuation,
// brackets and a few Latin words, one paragraph a line.
const std::vector<std::string>& StoryLines()
{
    static const std::vector<std::string> lines = [] {
        const std::u8string_view paragraphs[] = {
            u8"駅のホームに、夕方の風が吹いていた。「……来ないな」と彼は呟いた。時計の針は、もう七時を回っている。",
            u8"遠くで誰かが呼んでいる。声をたどると、古い待合室に灯りがともっていた。中では駅員が、温かいお茶をいれて待っていた。",
            u8"The last train was late again, and the platform lights flickered in the rain. 彼女は傘を閉じて、空を見上げた。",
            u8"しばらくして、遠くに列車の灯りが見えた。最終列車は、少しだけ遅れてやってきた。（本当に、来てくれたんだ）",
        };
        std::vector<std::string> out;
        size_t bytes = 0;
        for (size_t i = 0; bytes < 200 * 1024; ++i) {
            out.push_back(SysText(paragraphs[i % 4]));
            bytes += out.back().size();
        }
        return out;
    }();
    return lines;
}

void BM_StoryConvertAndLayout(benchmark::State& state)
{
    for (auto _ : state) {
        TKsWord engine;
        engine.FontSize = 24;
        engine.Width = 640;
        engine.Height = 160;
        engine.SetText(StoryLines(), 50);
        TWdPageList pages;
        engine.Layout(pages);
        benchmark::DoNotOptimize(pages.size());
    }
    state.SetBytesProcessed(state.iterations() * 200 * 1024);
}
BENCHMARK(BM_StoryConvertAndLayout)->Unit(benchmark::kMillisecond);

void BM_LibunibreakBreaks(benchmark::State& state)
{
    init_linebreak();
    std::string utf8;
    for (const std::string& line : StoryLines()) utf8 += Cp932ToUtf8(line) + "\n";
    std::vector<char> breaks(utf8.size());
    for (auto _ : state) {
        set_linebreaks_utf8(reinterpret_cast<const utf8_t*>(utf8.data()), utf8.size(), "ja", breaks.data());
        benchmark::DoNotOptimize(breaks.data());
    }
    state.SetBytesProcessed(state.iterations() * 200 * 1024);
}
BENCHMARK(BM_LibunibreakBreaks)->Unit(benchmark::kMillisecond);

// 400 distinct level-1 kanji.
std::vector<uint16_t> Kanji400()
{
    std::vector<uint16_t> out;
    for (int lead = 0x89; lead <= 0x98 && out.size() < 400; ++lead)
        for (int trail = 0x40; trail <= 0xFC && out.size() < 400; ++trail)
            if (trail != 0x7F) out.push_back(static_cast<uint16_t>(lead << 8 | trail));
    return out;
}

// A 20 × 20 page of the 400 kanji, outlined by 2 pixels, laid out and shown whole.
struct TKanjiPage {
    TKsWord engine;
    TWdPageList pages;

    TKanjiPage()
    {
        std::string text;
        for (uint16_t code : Kanji400()) {
            text.push_back(static_cast<char>(code >> 8));
            text.push_back(static_cast<char>(code & 0xFF));
        }
        engine.FontName = Gothic();
        engine.FontSize = 24;
        engine.OutlineWidth = 2;
        engine.OutlineColor = 0x202080;
        engine.FontColor = 0xFFFFFF;
        engine.Width = 20 * 32;
        engine.Height = 20 * 48;
        engine.SetText({text}, 0);
        engine.Layout(pages);
        engine.ShowAll();
    }
};

void BM_KanjiPageRenderCold(benchmark::State& state)
{
    TKanjiPage page;
    if (page.pages.size() != 1) {
        state.SkipWithError("the 400 kanji did not fit one page");
        return;
    }
    for (auto _ : state) {
        FontPixelManager().Clear();
        page.engine.Render(*page.pages[0], true);
    }
    state.SetItemsProcessed(state.iterations() * 400);
}
BENCHMARK(BM_KanjiPageRenderCold)->Unit(benchmark::kMillisecond);

void BM_KanjiPageRenderWarm(benchmark::State& state)
{
    TKanjiPage page;
    FontPixelManager().Clear();
    page.engine.Render(*page.pages[0], true);
    for (auto _ : state) page.engine.Render(*page.pages[0], true);
    state.SetItemsProcessed(state.iterations() * 400);
}
BENCHMARK(BM_KanjiPageRenderWarm)->Unit(benchmark::kMillisecond);

void BM_FreeTypeKanjiGray(benchmark::State& state)
{
    FT_Library library;
    FT_Init_FreeType(&library);
    std::optional<TFontFile> file = LookupFont(Gothic());
    FT_Face face;
    if (!file || FT_New_Face(library, file->path.c_str(), file->index, &face) != 0) {
        state.SkipWithError("no font");
        FT_Done_FreeType(library);
        return;
    }
    TGlyphRenderer renderer;
    renderer.SelectFont(Gothic(), 24, 0);
    FT_Set_Pixel_Sizes(face, 0, renderer.Metrics().ppem);
    const std::vector<uint16_t> kanji = Kanji400();
    for (auto _ : state) {
        for (uint16_t code : kanji) {
            FT_Load_Glyph(face, FT_Get_Char_Index(face, CharCodeToUnicode(code)), FT_LOAD_NO_BITMAP);
            FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL);
            benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
        }
    }
    state.SetItemsProcessed(state.iterations() * 400);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}
BENCHMARK(BM_FreeTypeKanjiGray)->Unit(benchmark::kMillisecond);

// A 1280 × 720 scene: a background, a translucent message window and a 1200 × 240 message
// box revealing a long page glyph by glyph: a rate of 80/256 of the 50 ms base reveals a
// glyph about every 16 ms frame.
struct TRevealScene {
    TComponentScreenBases screens;
    FrameBuffer frame;
    TMobuMes* box = nullptr;

    TRevealScene()
    {
        screens.SetSize(1280, 720);
        TMobuBaseList& list = screens.List();
        list.GetBase(0)->Color = 0x604020;
        TMobuControl* window = list.CreateComponent(LT_BOX)->AsControl();
        window->SetBounds(20, 460, 1240, 250);
        window->SetColor(0);
        window->SetProp(PR_ALPHA, TPropValue::Int(170));
        window->SetPriority(1);
        box = dynamic_cast<TMobuMes*>(list.CreateComponent(LT_MES));
        box->SetBounds(40, 465, 1200, 240);
        box->SetProp(PR_WIDTH, TPropValue::Int(1200));
        box->SetProp(PR_HEIGHT, TPropValue::Int(240));
        box->SetProp(PR_FONTHEIGHT, TPropValue::Int(24));
        box->SetProp(PR_FONTCOLOR, TPropValue::Int(0xFFFFFF));
        box->SetProp(PR_DELAY, TPropValue::Int(0));
        box->SetPriority(2);
        FrameDeltaMs = 16;
        Restart();
    }
    void Restart()
    {
        std::string text;
        for (int i = 0; i < 3; ++i) text += StoryLines()[static_cast<size_t>(i)];
        box->SetProp(PR_TEXT, TPropValue::Text(text));
        box->SetProp(PR_TEXTDELAY, TPropValue::Int(80));
        screens.List().MarkAllDirty();
        Frame();
    }
    size_t Revealed() { return box->GetProp(PR_TEXT).text.size(); }
    void Frame()
    {
        screens.Animate();
        screens.Render(frame);
        frame.all_dirty = false;
        frame.dirty.clear();
    }
};

void BM_RevealFrame(benchmark::State& state)
{
    TRevealScene scene;
    // The page must still be revealing after ten frames, or there is nothing to measure.
    for (int i = 0; i < 10; ++i) scene.Frame();
    const size_t shown = scene.Revealed();
    if (shown == 0 || shown > 40) {
        state.SkipWithError("the page does not reveal glyph by glyph");
        return;
    }
    scene.Restart();
    int frames = 0;
    for (auto _ : state) {
        scene.Frame();
        if (++frames == 100) {  // before the page ends: start it again, untimed
            state.PauseTiming();
            scene.Restart();
            frames = 0;
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_RevealFrame)->Unit(benchmark::kMicrosecond);

void BM_FullRedrawFrame(benchmark::State& state)
{
    TRevealScene scene;
    for (int i = 0; i < 60; ++i) scene.Frame();
    for (auto _ : state) {
        scene.screens.List().MarkAllDirty();
        scene.Frame();
    }
}
BENCHMARK(BM_FullRedrawFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
