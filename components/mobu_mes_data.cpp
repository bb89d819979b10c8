#include "components/mobu_mes_data.h"

#include <algorithm>

#include "core/cp932_chars.h"

namespace mobu {

namespace {

std::vector<std::string> SplitFixedValues(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// Moves the rows of `from` into `into`, each moved down by `y`; gives the bottom of the last.
int64_t MoveRows(TWdPage& from, TWdPage& into, int64_t y)
{
    int64_t bottom = y;
    for (auto& row : from.Rows) {
        row->Y = static_cast<int32_t>(std::clamp<int64_t>(int64_t{row->Y} + y, INT32_MIN, INT32_MAX));
        bottom = row->Bottom();
        into.Rows.push_back(std::move(row));
    }
    from.Rows.clear();
    into.ContentHeight = static_cast<int32_t>(std::clamp<int64_t>(std::max<int64_t>(into.ContentHeight, bottom), 0, INT32_MAX));
    into.Height = into.ContentHeight;
    return bottom;
}

}  // namespace

void TMobuHistData::Add(const std::string& page_name, int32_t command, int32_t first, int32_t last, int32_t height,
                        const std::string& fixed_values)
{
    const std::string stored = !Entries.empty() && JSameText(PageNameAt(Entries.size() - 1), page_name) ? "" : page_name;
    Entries.push_back(Entry{stored, command, first, last, height, fixed_values});
    TotalHeight += height;
}

std::string TMobuHistData::PageNameAt(size_t index) const
{
    for (size_t i = std::min(index + 1, Entries.size()); i-- > 0;)
        if (!Entries[i].PageName.empty()) return Entries[i].PageName;
    return {};
}

void TMobuHistData::SaveToStream(ByteWriter& out) const
{
    out.I32(static_cast<int32_t>(Entries.size()));
    for (const auto& e : Entries) {
        out.String(e.PageName);
        out.I32(e.Command);
        out.I32(e.First);
        out.I32(e.Last);
        out.I32(e.Height);
        out.String(e.FixedValues);
    }
    out.I32(TotalHeight);
}

void TMobuHistData::LoadFromStream(ByteReader& in, bool with_fixed_values)
{
    Clear();
    const size_t count = in.Count(20);
    for (size_t i = 0; i < count; ++i) {
        Entry e;
        e.PageName = in.String();
        e.Command = in.I32();
        e.First = in.I32();
        e.Last = in.I32();
        e.Height = in.I32();
        if (with_fixed_values) e.FixedValues = in.String();
        Entries.push_back(std::move(e));
    }
    TotalHeight = in.I32();
}

void TMobuNewMesData::ClearPlain()
{
    PlainPages.clear();
    PlainCommands.clear();
    PlainPageNumbers.clear();
    PlainSizes.clear();
}

void TMobuNewMesData::AddPlainEntry(const std::string& page_name, int32_t command, std::pair<int32_t, int32_t> size,
                                    int32_t page_no)
{
    PlainPages.push_back(page_name);
    PlainCommands.push_back(command);
    PlainSizes.push_back(size);
    PlainPageNumbers.push_back(page_no);
}

void TMobuNewMesData::BuildPages(TKsWord& engine, TWdPageList& pages, bool history_glyphs, bool stack, int32_t offset)
{
    engine.Clear();
    if (Refs.Entries.empty()) {
        // The plain list: each entry's page of its message, stacked on one page. Variable
        // glyphs are expanded without the history-only ones here.
        if (PlainPages.empty()) return;
        // Each entry is laid out at its own saved size; the box's text area comes back after.
        const int32_t width = engine.Width, height = engine.Height;
        if (PlainPages.size() == 1 && PlainPageNumbers[0] < 0) {
            // One entry without a page number: its whole message, all of its pages.
            if (!TMesDataCacheList::PageExists(PlainPages[0])) return;
            if (TKsWord* word = Cache.GetWord(PlainPages[0], PlainCommands[0])) {
                engine.CopyGlyphs(*word, 0, -1);
                engine.Width = PlainSizes[0].first;
                engine.Height = PlainSizes[0].second;
                engine.ExpandVars(0, -1, false);
                engine.Layout(pages);
            }
            engine.Width = width, engine.Height = height;
            return;
        }
        auto single = std::make_unique<TWdPage>();
        int64_t b = 0;
        for (size_t i = 0; i < PlainPages.size(); ++i) {
            if (!TMesDataCacheList::PageExists(PlainPages[i])) break;
            TKsWord* word = Cache.GetWord(PlainPages[i], PlainCommands[i]);
            if (word == nullptr) continue;
            const int n = engine.GlyphCount();
            engine.CopyGlyphs(*word, 0, -1);
            engine.Width = PlainSizes[i].first;
            engine.Height = PlainSizes[i].second;
            engine.ExpandVars(n, -1, false);
            TWdPageList scratch;
            engine.Layout(scratch, n, -1);
            engine.DecorationOffset = engine.Decorations().Count();
            const int32_t page_no = PlainPageNumbers[i];
            // A page number outside the laid-out pages skips the entry.
            if (page_no < 0 || static_cast<size_t>(page_no) >= scratch.size()) continue;
            const int64_t bottom = MoveRows(*scratch[static_cast<size_t>(page_no)], *single, b);
            b = stack ? bottom + engine.LineSpace : b + PlainSizes[i].second;
        }
        engine.Width = width, engine.Height = height;
        pages.push_back(std::move(single));
        return;
    }
    if (Refs.Entries.size() == 1 && Refs.TotalHeight == 0) {
        const auto& ref = Refs.Entries[0];
        const std::string name = Refs.PageNameAt(0);
        if (!TMesDataCacheList::PageExists(name)) return;
        TKsWord* word = Cache.GetWord(name, ref.Command);
        if (word == nullptr) return;
        const int first = word->CharIndex(ref.First);
        const int last = ref.Last < 0 ? -1 : word->CharIndex(ref.Last);
        engine.CopyGlyphs(*word, first, last);
        engine.FixedValueList = SplitFixedValues(ref.FixedValues);
        engine.ExpandVars(0, -1, history_glyphs);
        engine.Layout(pages, 0, -1);
        return;
    }
    auto single = std::make_unique<TWdPage>();
    int64_t y = offset;
    for (size_t i = 0; i < Refs.Entries.size(); ++i) {
        const auto& ref = Refs.Entries[i];
        const std::string name = Refs.PageNameAt(i);
        if (!TMesDataCacheList::PageExists(name)) break;
        TKsWord* word = Cache.GetWord(name, ref.Command);
        if (word == nullptr) continue;
        const int n = engine.GlyphCount();
        engine.CopyGlyphs(*word, word->CharIndex(ref.First), ref.Last < 0 ? -1 : word->CharIndex(ref.Last));
        engine.FixedValueList = SplitFixedValues(ref.FixedValues);
        engine.ExpandVars(n, -1, history_glyphs);
        TWdPageList scratch;
        engine.Layout(scratch, n, -1);
        engine.DecorationOffset = engine.Decorations().Count();
        if (scratch.empty()) continue;
        const int64_t bottom = MoveRows(*scratch[0], *single, y);
        y = bottom + engine.LineSpace;
    }
    pages.push_back(std::move(single));
}

void TMobuNewMesData::SavePlain(ByteWriter& out) const
{
    const int32_t n = static_cast<int32_t>(PlainPages.size());
    out.I32(n);
    for (const auto& p : PlainPages) out.String(p);
    for (int32_t c : PlainCommands) out.I32(c);
    for (int32_t p : PlainPageNumbers) out.I32(p);
    for (const auto& s : PlainSizes) {
        out.I32(s.first);
        out.I32(s.second);
    }
}

void TMobuNewMesData::LoadPlain(ByteReader& in)
{
    ClearPlain();
    const size_t n = in.Count(4 + 4 + 4 + 8);
    for (size_t i = 0; i < n; ++i) PlainPages.push_back(in.String());
    for (size_t i = 0; i < n; ++i) PlainCommands.push_back(in.I32());
    for (size_t i = 0; i < n; ++i) PlainPageNumbers.push_back(in.I32());
    for (size_t i = 0; i < n; ++i) {
        const int32_t w = in.I32();
        PlainSizes.emplace_back(w, in.I32());
    }
}

}  // namespace mobu
