#include "components/history_commands.h"

#include "components/component_types.h"
#include "components/mobu_base_list.h"
#include "components/mobu_mes.h"
#include "components/property_ids.h"

namespace mobu {

void FormatHistory(TMobuBaseList& list, const std::string& format, const std::string& component)
{
    THistoryLayout& layout = HistoryFormats().GetFormat(format).Layout;
    TMobuObject* object = component.empty() ? nullptr : list.FindComponent(component);
    if (!object) {
        layout = THistoryLayout{};
        return;
    }
    layout.FontHeight = object->GetProp(PR_FONTHEIGHT).AsInt();
    layout.FontBorder = object->GetProp(PR_FONTBORDER).AsInt();
    layout.FontShadow = object->GetProp(PR_FONTSHADOW).AsInt();
    layout.Width = object->GetProp(PR_WIDTH).AsInt();
    layout.Height = object->GetProp(PR_HEIGHT).AsInt();
    layout.LineSpace = object->GetProp(PR_LINESPACE).AsInt();
}

int32_t SelectHistoryRange(const TMobuHistDataList& groups, int64_t first, int64_t count, TMobuHistData& refs)
{
    refs.Clear();
    const int64_t last = first + count;
    // 1. The first group whose running end passes `first`.
    int64_t before = 0;
    size_t g0 = 0;
    while (g0 < groups.size() && before + groups[g0].TotalHeight <= first) before += groups[g0++].TotalHeight;
    if (g0 == groups.size()) return 0;
    // 2. The entry of that group whose running end passes `first` (else its last entry).
    const TMobuHistData& start_group = groups[g0];
    if (start_group.Entries.empty()) return 0;
    size_t e0 = 0;
    int64_t entry_start = before;
    while (e0 + 1 < start_group.Entries.size() && entry_start + start_group.Entries[e0].Height <= first) {
        entry_start += start_group.Entries[e0++].Height;
    }
    const int64_t offset = entry_start - first;
    // 3. The group where the range ends (the last one when the history ends first).
    size_t g1 = g0;
    int64_t end = before + groups[g0].TotalHeight;
    int64_t before_g1 = before;
    while (end < last && g1 + 1 < groups.size()) {
        before_g1 = end;
        end += groups[++g1].TotalHeight;
    }
    // 4. The entry of that group whose running end reaches the range's end (else its last).
    const TMobuHistData& end_group = groups[g1];
    size_t e1 = 0;
    int64_t running = before_g1;
    while (e1 < end_group.Entries.size()) {
        running += end_group.Entries[e1].Height;
        if (running >= last) break;
        ++e1;
    }
    if (e1 >= end_group.Entries.size()) e1 = end_group.Entries.empty() ? 0 : end_group.Entries.size() - 1;
    // 5. Every entry from (g0, e0) through (g1, e1), with its effective page name.
    for (size_t g = g0; g <= g1; ++g) {
        const TMobuHistData& group = groups[g];
        const size_t from = g == g0 ? e0 : 0;
        const size_t to = g == g1 ? e1 + 1 : group.Entries.size();
        for (size_t e = from; e < to && e < group.Entries.size(); ++e) {
            const auto& entry = group.Entries[e];
            refs.Add(group.PageNameAt(e), entry.Command, entry.First, entry.Last, entry.Height, entry.FixedValues);
        }
    }
    return static_cast<int32_t>(offset);
}

bool ShowHistory(TMobuBaseList& list, const std::string& box, int32_t first, int32_t count, bool flag,
                 const std::string& format)
{
    TMobuObject* object = box.empty() ? nullptr : list.FindComponent(box);
    if (!object || object->GetCompoType() != LT_MES) return false;
    auto* mes = static_cast<TMobuMes*>(object);
    TMobuHistoryFormat* found = HistoryFormats().FindFormat(format);
    if (!found) return false;
    TMobuNewHistory& history = found->History;
    const int64_t start = first < 0 ? 0 : first;
    int64_t length = count;
    const int64_t size = history.Size();
    if (size < start + length) length = size - start;
    if (length <= 0) return false;
    mes->HistoryFlag = flag ? 1 : 0;
    mes->TrackMode = 2;
    if (!history.LaidOut()) {
        mes->MesData.ClearPlain();
        for (int64_t i = start; i < start + length && i < history.GroupCount(); ++i) {
            const THistoryOldData& entry = history.OldEntries[static_cast<size_t>(i)];
            mes->MesData.AddPlainEntry(history.OldEntryName(static_cast<size_t>(i)), entry.Command, entry.Size,
                                       entry.PageNo);
        }
        mes->SetProp(PR_OFFSETY, TPropValue::Int(0));
    } else {
        mes->HistoryOffset = SelectHistoryRange(history.Groups, start, length, mes->MesData.Refs);
    }
    mes->ReloadPages(true, true);
    mes->PageIndex = -1;
    mes->SelectPage(0);
    return true;
}

}  // namespace mobu
