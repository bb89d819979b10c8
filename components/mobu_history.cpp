#include "components/mobu_history.h"

#include "core/name_case.h"
#include "core/script_log.h"

namespace mobu {
namespace {

// Bytes of the smallest stored plain entry (empty name, command, page number, size).
constexpr size_t kOldEntryBytes = 4 + 4 + 4 + 8;
// Bytes of the smallest stored group (entry count and total height).
constexpr size_t kGroupBytes = 8;
// Bytes of the smallest stored format (name, six values and the smallest history).
constexpr size_t kFormatBytes = 4 + 24 + 4 + 4 + 4 + 4 + 8 + 4;

}  // namespace

void THistoryLayout::Save(ByteWriter& out) const
{
    for (int32_t value : {FontHeight, FontBorder, FontShadow, Width, Height, LineSpace}) out.I32(value);
}

void THistoryLayout::Load(ByteReader& in)
{
    for (int32_t* value : {&FontHeight, &FontBorder, &FontShadow, &Width, &Height, &LineSpace}) *value = in.I32();
}

void TMobuNewHistory::Clear()
{
    Groups.clear();
    OldEntries.clear();
    PendingPage.clear();
    PendingFixedValues.clear();
}

int64_t TMobuNewHistory::Size() const
{
    if (!LaidOut()) return static_cast<int64_t>(OldEntries.size());
    int64_t total = 0;
    for (const auto& group : Groups) total += group.TotalHeight;
    return total;
}

int32_t TMobuNewHistory::GroupCount() const
{
    return static_cast<int32_t>(LaidOut() ? Groups.size() : OldEntries.size());
}

std::string TMobuNewHistory::OldEntryName(size_t index) const
{
    for (size_t i = index + 1; i-- > 0;) {
        if (i < OldEntries.size() && !OldEntries[i].PageName.empty()) return OldEntries[i].PageName;
    }
    return {};
}

void TMobuNewHistory::SetPending(const std::string& box, const std::string& page_name,
                                 const std::string& fixed_values, int32_t page_no,
                                 std::pair<int32_t, int32_t> box_size, int32_t last, int32_t first, int32_t command)
{
    PendingPage = page_name;
    PendingCommand = command;
    PendingFirst = first;
    PendingLast = last;
    PendingBox = box;
    PendingFixedValues = fixed_values;
    if (Format.Layout.FontHeight == 0) {
        PendingSize = box_size;
        PendingPageNo = page_no;
    }
    // Once a laid-out history holds a group, its engine keeps the settings it was laid out with.
    if (Groups.empty()) Engine = Format.Layout;
}

void TMobuNewHistory::CommitPending(const std::string& box)
{
    if (PendingPage.empty() || PendingBox != box) return;
    if (LaidOut()) {
        // Laying pages out again in the format's own width needs the text layout of the
        // history, which is not built yet: the page stays pending.
        ReportNotAvailable("FormatHist layout");
        return;
    }
    THistoryOldData entry;
    const std::string last_name = OldEntries.empty() ? std::string() : OldEntryName(OldEntries.size() - 1);
    entry.PageName = !last_name.empty() && SameCp932Name(last_name, PendingPage) ? std::string() : PendingPage;
    entry.Command = PendingCommand;
    entry.PageNo = PendingPageNo;
    entry.Size = PendingSize;
    OldEntries.push_back(std::move(entry));
    TrimPlain();
    PendingPage.clear();
}

void TMobuNewHistory::TrimPlain()
{
    while (MaxCount > 0 && static_cast<size_t>(MaxCount) < OldEntries.size()) {
        // The next entry takes the name of the one removed when it had none of its own.
        if (OldEntries.size() > 1 && OldEntries[1].PageName.empty()) OldEntries[1].PageName = OldEntryName(0);
        OldEntries.erase(OldEntries.begin());
    }
}

void TMobuNewHistory::SaveToStream(ByteWriter& out) const
{
    out.I32(static_cast<int32_t>(OldEntries.size()));
    for (const auto& entry : OldEntries) {
        out.String(entry.PageName);
        out.I32(entry.Command);
        out.I32(entry.PageNo);
        out.I32(entry.Size.first);
        out.I32(entry.Size.second);
    }
    out.String(PendingPage);
    out.I32(PendingCommand);
    out.I32(PendingPageNo);
    out.I32(PendingSize.first);
    out.I32(PendingSize.second);
    out.String(PendingBox);
    out.I32(MaxCount);
    Engine.Save(out);
    out.I32(PendingFirst);
    out.I32(PendingLast);
    out.I32(static_cast<int32_t>(Groups.size()));
    for (const auto& group : Groups) group.SaveToStream(out);
    out.String(PendingFixedValues);
}

void TMobuNewHistory::LoadFromStream(ByteReader& in, int32_t version)
{
    if (version < 113) in.String();  // a string old saves carry first, not used
    THistoryOldDataList entries;
    if (version > 112) {
        const size_t count = in.Count(kOldEntryBytes);
        entries.resize(count);
        for (auto& entry : entries) {
            entry.PageName = in.String();
            entry.Command = in.I32();
            entry.PageNo = in.I32();
            entry.Size.first = in.I32();
            entry.Size.second = in.I32();
        }
    } else {
        // Four arrays one after the other: names, commands, page numbers, sizes.
        const size_t count = in.Count(kOldEntryBytes);
        entries.resize(count);
        for (auto& entry : entries) entry.PageName = in.String();
        for (auto& entry : entries) entry.Command = in.I32();
        for (auto& entry : entries) entry.PageNo = in.I32();
        for (auto& entry : entries) {
            entry.Size.first = in.I32();
            entry.Size.second = in.I32();
        }
    }
    std::string pending_page = in.String();
    const int32_t pending_command = in.I32();
    const int32_t pending_page_no = in.I32();
    std::pair<int32_t, int32_t> pending_size;
    pending_size.first = in.I32();
    pending_size.second = in.I32();
    std::string pending_box = in.String();
    int32_t max_count = 0, first = 0, last = 0;
    THistoryLayout engine;
    TMobuHistDataList groups;
    if (version > 112) {
        max_count = in.I32();
        engine.Load(in);
        first = in.I32();
        last = in.I32();
        const size_t count = in.Count(kGroupBytes);
        groups.resize(count);
        for (auto& group : groups) group.LoadFromStream(in, version > 123);
    }
    std::string fixed_values = version > 123 ? in.String() : std::string();

    OldEntries = std::move(entries);
    PendingPage = std::move(pending_page);
    PendingCommand = pending_command;
    PendingPageNo = pending_page_no;
    PendingSize = pending_size;
    PendingBox = std::move(pending_box);
    MaxCount = max_count;
    Engine = engine;
    PendingFirst = first;
    PendingLast = last;
    Groups = std::move(groups);
    PendingFixedValues = std::move(fixed_values);
}

TMobuHistoryFormat* TMobuHistoryFormatManager::FindFormat(const std::string& name)
{
    for (auto& format : formats_) {
        if (format->Name == name) return format.get();
    }
    return nullptr;
}

TMobuHistoryFormat& TMobuHistoryFormatManager::GetFormat(const std::string& name)
{
    if (TMobuHistoryFormat* format = FindFormat(name)) return *format;
    formats_.push_back(std::make_unique<TMobuHistoryFormat>(name));
    return *formats_.back();
}

void TMobuHistoryFormatManager::SetPending(const std::string& box, const std::string& page_name,
                                           const std::string& fixed_values, int32_t page_no, int32_t last,
                                           int32_t first, int32_t command)
{
    const std::pair<int32_t, int32_t> size = BoxSize ? BoxSize(box) : std::pair<int32_t, int32_t>{0, 0};
    for (auto& format : formats_) {
        format->History.SetPending(box, page_name, fixed_values, page_no, size, last, first, command);
    }
}

void TMobuHistoryFormatManager::CommitPending(const std::string& box)
{
    for (auto& format : formats_) format->History.CommitPending(box);
}

void TMobuHistoryFormatManager::ClearAll()
{
    for (auto& format : formats_) format->History.Clear();
}

void TMobuHistoryFormatManager::Reset()
{
    formats_.clear();
    formats_.push_back(std::make_unique<TMobuHistoryFormat>(std::string()));
}

void TMobuHistoryFormatManager::SaveToStream(ByteWriter& out) const
{
    out.I32(static_cast<int32_t>(formats_.size()));
    for (const auto& format : formats_) {
        out.String(format->Name);
        format->Layout.Save(out);
        format->History.SaveToStream(out);
    }
}

void TMobuHistoryFormatManager::LoadFromStream(ByteReader& in, int32_t version)
{
    std::vector<std::unique_ptr<TMobuHistoryFormat>> formats;
    if (version >= 135) {
        const size_t count = in.Count(kFormatBytes);
        for (size_t i = 0; i < count; ++i) {
            auto format = std::make_unique<TMobuHistoryFormat>(in.String());
            format->Layout.Load(in);
            format->History.LoadFromStream(in, version);
            formats.push_back(std::move(format));
        }
        // The default format always exists.
        bool has_default = false;
        for (const auto& format : formats) has_default = has_default || format->Name.empty();
        if (!has_default) formats.insert(formats.begin(), std::make_unique<TMobuHistoryFormat>(std::string()));
    } else {
        formats.push_back(std::make_unique<TMobuHistoryFormat>(std::string()));
        formats.front()->History.LoadFromStream(in, version);
    }
    formats_ = std::move(formats);
}

TMobuHistoryFormatManager& HistoryFormats()
{
    static TMobuHistoryFormatManager manager;
    return manager;
}

}  // namespace mobu
