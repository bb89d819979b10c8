// Revealing a page over the frames, its display state and its saved form.
#include <algorithm>

#include "core/mobu_error.h"
#include "text/ks_word.h"

namespace mobu {

namespace {

constexpr int64_t kBudgetLimit = int64_t{1} << 62;

int64_t Saturate(int64_t value) { return std::clamp(value, -kBudgetLimit, kBudgetLimit); }

int32_t WaitOf(const TWdGlyph& glyph)
{
    if (glyph.IsReal()) return static_cast<const TWdReal&>(glyph).Wait;
    if (glyph.Kind == TWdKind::Event) return static_cast<const TWdOpeEvent&>(glyph).Wait;
    return 0;
}

void AppendCharText(const TWdGlyph& glyph, std::string& out)
{
    if (glyph.IsChar()) {
        const uint16_t code = static_cast<const TWdChar&>(glyph).Code;
        if (code > 0xFF) out.push_back(static_cast<char>(code >> 8));
        out.push_back(static_cast<char>(code & 0xFF));
    } else if (glyph.Kind == TWdKind::Img) {
        out.push_back('*');
    }
}

// The glyph a (row, glyph) position names, nullptr past the end.
const TWdGlyph* GlyphAtPosition(const TWdPage& page, int32_t row, int32_t glyph)
{
    if (row < 0 || row >= static_cast<int32_t>(page.Rows.size())) return nullptr;
    const auto& glyphs = page.Rows[static_cast<size_t>(row)]->Glyphs;
    if (glyph < 0 || glyph >= static_cast<int32_t>(glyphs.size())) return nullptr;
    return glyphs[static_cast<size_t>(glyph)];
}

}  // namespace

void TKsWord::RestartTiming(TWdPage& page)
{
    page.Budget = 0;
    page.FadeAccumulator = 0;
    page.StartDelay = FadeTime > 0 ? 1 : 0;
}

void TKsWord::ResetDisplay(TWdPage& page)
{
    page.NextRow = 0;
    page.NextGlyph = 0;
    page.Budget = 0;
    page.FadeAccumulator = 0;
    RestartTiming(page);
    page.Done = false;
    page.Started = false;
    page.Fading.clear();
    page.Animated.clear();
    page.PendingNotify.clear();
    page.HasPendingNotify = false;
    for (auto& row : page.Rows)
        for (TWdGlyph* glyph : row->Glyphs)
            if (glyph->IsReal()) {
                auto& real = static_cast<TWdReal&>(*glyph);
                real.Visible = false;
                real.Opacity = 0;
            }
}

void TKsWord::Progress(TWdPage& page, int64_t elapsed)
{
    page.OutputText.clear();
    changed_.clear();
    if (page.StartDelay > 0) {
        --page.StartDelay;
        return;
    }
    elapsed = std::max<int64_t>(0, elapsed);
    if (page.GlyphsRemain() && !Paused && !page.HasPendingNotify) {
        if (!page.Started) {
            page.Started = true;
            page.Budget = 0;
            page.FadeAccumulator = 0;
            elapsed = 0;
        }
        page.Budget = Saturate(page.Budget - elapsed);
        while (page.GlyphsRemain() && page.Budget <= 0) {
            TWdRow& row = *page.Rows[static_cast<size_t>(page.NextRow)];
            if (int64_t{row.Y} - page.Scroll > Height) break;
            if (row.Glyphs.empty()) {
                ++page.NextRow;
                page.NextGlyph = 0;
                continue;
            }
            TWdGlyph& glyph = *row.Glyphs[static_cast<size_t>(page.NextGlyph)];
            if (glyph.IsReal()) {
                auto& real = static_cast<TWdReal&>(glyph);
                real.Visible = true;
                real.Opacity = 0;
                page.Fading.push_back(&real);
            }
            const int64_t wait = WaitOf(glyph);
            if (wait >= 0) page.Budget = Saturate(page.Budget + wait * std::max(0, TextDelayRate) / 256);
            else if (TextDelayRate >= 0) page.Budget = Saturate(page.Budget - wait);
            if (++page.NextGlyph >= static_cast<int32_t>(row.Glyphs.size())) {
                ++page.NextRow;
                page.NextGlyph = 0;
            }
            CaretX = static_cast<int32_t>(
                std::clamp<int64_t>(int64_t{row.X} + glyph.X + glyph.Width, INT32_MIN, INT32_MAX));
            CaretY = row.Y;
            CaretHeight = row.Height;
            AppendCharText(glyph, page.OutputText);
            if (glyph.Kind == TWdKind::Event && NotifyEnabled) {
                const auto& event = static_cast<const TWdOpeEvent&>(glyph);
                if (page.HasPendingNotify) page.PendingNotify.push_back('\t');
                page.PendingNotify += event.Value;
                page.HasPendingNotify = true;
                const TWdGlyph* next = GlyphAtPosition(page, page.NextRow, page.NextGlyph);
                if (wait > 0 || next == nullptr || next->Kind != TWdKind::Event) break;
            }
        }
    }

    // Fade-in: the opacity step is the elapsed time over the fade time, in 1/256 units.
    int64_t step = 255;
    if (FadeTime > 0) {
        page.FadeAccumulator = Saturate(page.FadeAccumulator + elapsed * 256);
        step = page.FadeAccumulator / FadeTime;
        page.FadeAccumulator %= FadeTime;
    } else {
        page.FadeAccumulator = 0;
    }
    auto fading = page.Fading.begin();
    while (fading != page.Fading.end()) {
        TWdReal& real = **fading;
        real.Opacity = static_cast<int32_t>(std::min<int64_t>(255, real.Opacity + step));
        if (!real.DrawnArea.IsEmpty()) {
            // Target coordinates: the text origin, less the scroll without paging.
            const int64_t dy = int64_t{OriginY} - (Paging ? 0 : page.Scroll);
            auto cut = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN / 2, INT32_MAX / 2)); };
            changed_.push_back(TRect{cut(int64_t{real.DrawnArea.Left} + OriginX), cut(real.DrawnArea.Top + dy),
                                     cut(int64_t{real.DrawnArea.Right} + OriginX), cut(real.DrawnArea.Bottom + dy)});
        }
        if (real.Opacity > 254) {
            real.Opacity = 255;
            fading = page.Fading.erase(fading);
        } else {
            ++fading;
        }
    }

    if (page.HasPendingNotify && page.Fading.empty()) {
        const std::string pending = std::move(page.PendingNotify);
        page.PendingNotify.clear();
        page.HasPendingNotify = false;
        size_t start = 0;
        while (true) {
            const size_t tab = pending.find('\t', start);
            if (OnNotify) OnNotify(*this, pending.substr(start, tab == std::string::npos ? tab : tab - start));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
    }
    if (!page.GlyphsRemain() && page.Fading.empty()) page.Done = true;
}

bool TKsWord::IsDisplaying(const TWdPage& page) const
{
    if (!page.Fading.empty()) return true;
    if (!page.GlyphsRemain()) return false;
    if (Paging) return !Paused;
    const TWdRow& row = *page.Rows[static_cast<size_t>(page.NextRow)];
    return row.Bottom() - page.Scroll <= Height;
}

std::string TKsWord::RevealedText(const TWdPage& page) const
{
    // The glyphs before the reveal position, characters while their opacity is above 0.
    std::string text;
    for (size_t r = 0; r < page.Rows.size(); ++r) {
        const auto& glyphs = page.Rows[r]->Glyphs;
        for (size_t g = 0; g < glyphs.size(); ++g) {
            if (static_cast<int32_t>(r) > page.NextRow ||
                (static_cast<int32_t>(r) == page.NextRow && static_cast<int32_t>(g) >= page.NextGlyph))
                return text;
            const TWdGlyph* glyph = glyphs[g];
            if (glyph->IsReal()) {
                const auto& real = static_cast<const TWdReal&>(*glyph);
                if (!real.Visible || real.Opacity <= 0) return text;
                if (glyph->IsChar()) AppendCharText(*glyph, text);
            } else if (glyph->IsReturn()) {
                text += "\r\n";
            }
        }
    }
    return text;
}

void TKsWord::CaptureFixedValues(TWdPage& page)
{
    std::string lines;
    std::vector<std::string> captured;
    const TWdOpeVar* var = nullptr;
    std::string value;
    auto finish = [&] {
        if (var == nullptr) return;
        lines += var->Name + "=" + value + "\r\n";
        captured.push_back(var->Name);
        var = nullptr;
    };
    auto listed = [&](const std::string& name) {
        const std::string prefix = name + "=";
        for (const auto& line : FixedValueList)
            if (line.compare(0, prefix.size(), prefix) == 0) return true;
        return false;
    };
    for (const auto& row : page.Rows)
        for (const TWdGlyph* glyph : row->Glyphs) {
            if (glyph->IsExpansion()) {
                if (var == nullptr) continue;
                if (glyph->IsReturn()) value.push_back('\x01');
                else AppendCharText(*glyph, value);
                continue;
            }
            if (glyph->Kind == TWdKind::Space) continue;
            finish();
            if (glyph->IsVariable()) {
                const auto& v = static_cast<const TWdOpeVar&>(*glyph);
                if (listed(v.Name) && std::find(captured.begin(), captured.end(), v.Name) == captured.end()) {
                    var = &v;
                    value.clear();
                }
            }
        }
    finish();
    page.FixedValues = lines;
}

void TKsWord::SavePageState(const TWdPage& page, ByteWriter& out) const
{
    out.I32(page.Scroll);
    out.I32(page.NextRow);
    out.I32(page.NextGlyph);
    out.Flag(page.Done);
    out.String(page.PendingNotify);
    // Exactly the glyphs the reader counts from the position: a page never shown writes none,
    // even though its glyphs stand visible until it is first shown.
    for (const TWdReal* real : GlyphsBefore(page, page.NextRow, page.NextGlyph)) {
        const bool fading = std::find(page.Fading.begin(), page.Fading.end(), real) != page.Fading.end();
        out.I32(fading || !real->Visible ? (fading ? 255 : 0) : real->Opacity);
    }
}

std::vector<TWdReal*> TKsWord::GlyphsBefore(const TWdPage& page, int32_t next_row, int32_t next_glyph)
{
    std::vector<TWdReal*> before;
    const auto rows = static_cast<int32_t>(page.Rows.size());
    for (int32_t r = 0; r < rows && r <= next_row; ++r) {
        const auto& glyphs = page.Rows[static_cast<size_t>(r)]->Glyphs;
        const int32_t limit = r < next_row ? static_cast<int32_t>(glyphs.size()) : std::min<int32_t>(next_glyph, static_cast<int32_t>(glyphs.size()));
        for (int32_t g = 0; g < limit; ++g)
            if (glyphs[static_cast<size_t>(g)]->IsReal()) before.push_back(static_cast<TWdReal*>(glyphs[static_cast<size_t>(g)]));
    }
    return before;
}

bool TKsWord::LoadPageState(TWdPage& page, ByteReader& in)
{
    const int32_t scroll = in.I32();
    const int32_t next_row = in.I32();
    const int32_t next_glyph = in.I32();
    const bool done = in.Flag();
    std::string pending = in.String();
    const int32_t rows = static_cast<int32_t>(page.Rows.size());
    bool fits = next_row >= 0 && next_row <= rows && next_glyph >= 0 &&
                (next_row == rows ? next_glyph == 0
                                  : next_glyph < static_cast<int32_t>(page.Rows[static_cast<size_t>(next_row)]->Glyphs.size()));
    ResetDisplay(page);
    page.Scroll = scroll;
    if (!fits) return false;  // a state that does not fit this page: shown from its start
    // The glyphs before the saved position were revealed; each has its opacity stored.
    const std::vector<TWdReal*> visible = GlyphsBefore(page, next_row, next_glyph);
    std::vector<int32_t> opacities;
    opacities.reserve(std::min(visible.size(), in.Remaining() / 4));
    for (size_t i = 0; i < visible.size(); ++i) {
        const int32_t opacity = in.I32();
        if (opacity < 0 || opacity > 255) return false;
        opacities.push_back(opacity);
    }
    for (size_t i = 0; i < visible.size(); ++i) {
        visible[i]->Visible = true;
        visible[i]->Opacity = opacities[i];
    }
    page.NextRow = next_row;
    page.NextGlyph = next_glyph;
    page.Done = done;
    page.Started = next_row > 0 || next_glyph > 0;
    page.PendingNotify = std::move(pending);
    page.HasPendingNotify = !page.PendingNotify.empty();
    return true;
}

}  // namespace mobu
