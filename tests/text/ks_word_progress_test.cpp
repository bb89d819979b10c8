#include <gtest/gtest.h>

#include "text/ks_word.h"

namespace mobu {
namespace {

struct Reveal {
    TKsWord engine;
    TWdPageList pages;
    std::vector<std::string> notes;

    Reveal(const std::string& text, int rate, int fade = 0, int32_t wait = 10)
    {
        engine.FontSize = 10;
        engine.Width = 1000;
        engine.Height = 100;
        engine.TextDelayRate = rate;
        engine.FadeTime = fade;
        engine.OnNotify = [this](TKsWord&, const std::string& text) { notes.push_back(text); };
        engine.SetText({text}, wait);
        engine.Layout(pages);
        engine.ResetDisplay(*pages.at(0));
    }
    TWdPage& Page() { return *pages.at(0); }
    int Visible()
    {
        int n = 0;
        for (auto& row : Page().Rows)
            for (auto* g : row->Glyphs)
                if (g->IsReal() && static_cast<TWdReal*>(g)->Visible) ++n;
        return n;
    }
    // Glyphs visible after each frame of `elapsed` ms.
    std::vector<int> Frames(int count, int64_t elapsed)
    {
        std::vector<int> out;
        for (int i = 0; i < count; ++i) {
            engine.Progress(Page(), elapsed);
            out.push_back(Visible());
        }
        return out;
    }
};

TEST(KsWordProgress, GlyphsPerFrameByRate)
{
    struct Case {
        int rate;
        std::vector<int> visible;  // after each 10 ms frame; the first frame ignores its time
    };
    const Case cases[] = {
        {256, {1, 2, 3, 4, 5, 6}},  // wait 10 as written: one per 10 ms
        {128, {1, 3, 5, 7, 8, 8}},  // half the waits: two per frame
        {512, {1, 1, 2, 2, 3, 3}},  // double: one every other frame
        {0, {8, 8, 8, 8, 8, 8}},    // rate 0: the whole page at once
        {-5, {8, 8, 8, 8, 8, 8}},   // a negative rate counts as 0 for positive waits
    };
    for (const Case& c : cases) {
        Reveal r("abcdefgh", c.rate);
        EXPECT_EQ(r.Frames(6, 10), c.visible) << c.rate;
    }
}

TEST(KsWordProgress, NegativeWaitsAddTheirSizeUnlessTheRateIsNegative)
{
    Reveal r("<WAIT VALUE=-30>abcd", 256);
    EXPECT_EQ(r.Frames(4, 10), (std::vector<int>{1, 1, 1, 2}));
    Reveal negative("<WAIT VALUE=-30>abcd", -1);
    EXPECT_EQ(negative.Frames(1, 10), (std::vector<int>{4}));
}

TEST(KsWordProgress, HugeWaitsNeitherWrapNorLoop)
{
    Reveal r("a<WAIT VALUE=2000000000>bc", 256);
    EXPECT_EQ(r.Frames(3, 10), (std::vector<int>{1, 2, 2}));
    EXPECT_TRUE(r.engine.IsDisplaying(r.Page()));
}

TEST(KsWordProgress, StartDelayFadeAndPause)
{
    Reveal r("ab", 256, 100);  // fade time 100 ms: one frame of start delay
    r.engine.RestartTiming(r.Page());
    r.engine.Progress(r.Page(), 10);
    EXPECT_EQ(r.Visible(), 0);
    r.engine.Progress(r.Page(), 10);  // first glyph: time ignored, opacity 0
    EXPECT_EQ(r.Visible(), 1);
    auto* a = static_cast<TWdReal*>(r.Page().Rows[0]->Glyphs[0]);
    EXPECT_EQ(a->Opacity, 0);
    r.engine.Progress(r.Page(), 50);  // 50 * 256 / 100 = 128
    EXPECT_EQ(a->Opacity, 128);
    r.engine.Paused = 1;
    r.engine.Progress(r.Page(), 60);  // paused: no new glyph, fading goes on
    EXPECT_EQ(r.Visible(), 2);         // b was revealed in the previous frame
    EXPECT_EQ(a->Opacity, 255);
    r.engine.Paused = 0;
    for (int i = 0; i < 5; ++i) r.engine.Progress(r.Page(), 50);
    EXPECT_FALSE(r.engine.IsDisplaying(r.Page()));
    EXPECT_TRUE(r.Page().Done);
}

TEST(KsWordProgress, NegativeFadeTimeIsImmediate)
{
    Reveal r("ab", 0, -50);
    r.engine.Progress(r.Page(), 10);
    EXPECT_EQ(static_cast<TWdReal*>(r.Page().Rows[0]->Glyphs[1])->Opacity, 255);
    EXPECT_FALSE(r.engine.IsDisplaying(r.Page()));
}

TEST(KsWordProgress, NotificationStopsUntilPassedOn)
{
    Reveal r("a<WAIT VALUE=5><EVENT VALUE=one></WAIT><EVENT VALUE=two>bc", 0);
    r.engine.NotifyEnabled = 1;
    r.engine.Progress(r.Page(), 10);
    // a, then the event with its own positive wait stops the loop; a has faded in (fade 0).
    EXPECT_EQ(r.notes, (std::vector<std::string>{"one"}));
    r.engine.Progress(r.Page(), 10);
    EXPECT_EQ(r.notes, (std::vector<std::string>{"one", "two"}));
    // Disabled: events reveal nothing and stop nothing.
    Reveal quiet("a<EVENT VALUE=x>bc", 0);
    quiet.engine.Progress(quiet.Page(), 10);
    EXPECT_EQ(quiet.Visible(), 3);
    EXPECT_TRUE(quiet.notes.empty());
}

TEST(KsWordProgress, OutputAndRevealedText)
{
    Reveal r("ab<BR>c", 256);
    r.engine.Progress(r.Page(), 10);
    EXPECT_EQ(r.Page().OutputText, "a");
    EXPECT_EQ(r.engine.RevealedText(r.Page()), "a");
    r.engine.Progress(r.Page(), 10);
    r.engine.Progress(r.Page(), 10);
    r.engine.Progress(r.Page(), 10);
    EXPECT_EQ(r.engine.RevealedText(r.Page()), "ab\r\nc");
}

TEST(KsWordProgress, PageStateRoundTripAndMismatch)
{
    Reveal r("abcdef", 256);
    r.Frames(3, 10);
    ByteWriter out;
    r.engine.SavePageState(r.Page(), out);
    const std::string bytes = out.Take();
    Reveal back("abcdef", 256);
    ByteReader in(bytes);
    back.engine.LoadPageState(back.Page(), in);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(back.Visible(), 3);
    EXPECT_EQ(back.Page().NextGlyph, 3);
    // The same state on a shorter page does not fit: that page starts again.
    Reveal other("ab", 256);
    ByteReader again(bytes);
    other.engine.LoadPageState(other.Page(), again);
    EXPECT_EQ(other.Visible(), 0);
    EXPECT_EQ(other.Page().NextGlyph, 0);
}

TEST(KsWordProgress, StatesOfSeveralPagesReadBackInOrder)
{
    // A box saves one state per page. A page never shown (its glyphs standing visible as laid
    // out) and a page that no longer fits must not shift the states of the pages after them.
    Reveal never("abcdef", 256);
    never.engine.ShowAll();  // laid out, never shown from its start
    never.Page().NextRow = 0, never.Page().NextGlyph = 0;
    Reveal half("abcdef", 256);
    half.Frames(3, 10);
    ByteWriter out;
    never.engine.SavePageState(never.Page(), out);
    half.engine.SavePageState(half.Page(), out);
    const std::string bytes = out.Take();

    Reveal first("abcdef", 256), second("abcdef", 256);
    ByteReader in(bytes);
    EXPECT_TRUE(first.engine.LoadPageState(first.Page(), in));
    EXPECT_TRUE(second.engine.LoadPageState(second.Page(), in));
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(first.Visible(), 0);
    EXPECT_EQ(second.Visible(), 3);
    EXPECT_EQ(second.Page().NextGlyph, 3);

    // The revealed state read onto a page too short for it: false, so the caller stops.
    Reveal shorter("ab", 256);
    ByteWriter only_half;
    half.engine.SavePageState(half.Page(), only_half);
    const std::string half_bytes = only_half.Take();
    ByteReader again(half_bytes);
    EXPECT_FALSE(shorter.engine.LoadPageState(shorter.Page(), again));
}

}  // namespace
}  // namespace mobu
