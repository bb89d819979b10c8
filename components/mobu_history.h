// The message history: TMobuHistoryFormatManager holds the history formats in creation
// order (the default format "" always exists); each TMobuHistoryFormat owns one
// TMobuNewHistory. A history keeps plain entries (whole pages as a box showed them) or, when
// its engine width is not 0, laid-out groups of entries measured in pixels. Entries refer to
// the TextIns command holding the text; the text itself is never stored.
#pragma once

#include <array>
#include <functional>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "components/message_history_seam.h"
#include "components/mobu_mes_data.h"
#include "core/byte_reader.h"
#include "core/byte_writer.h"

namespace mobu {

class TMobuHistoryFormat;

// One plain entry; the page name is stored empty when it repeats the nearest one before it.
struct THistoryOldData {
    std::string PageName;
    int32_t Command = 0;
    int32_t PageNo = 0;
    std::pair<int32_t, int32_t> Size{0, 0};
};
using THistoryOldDataList = std::vector<THistoryOldData>;
using TMobuHistDataList = std::vector<TMobuHistData>;

// The six layout values of a format (and of a history's engine), in stored order.
struct THistoryLayout {
    int32_t FontHeight = 0, FontBorder = 0, FontShadow = 0, Width = 0, Height = 0, LineSpace = 0;
    void Save(ByteWriter& out) const;
    void Load(ByteReader& in);
};

class TMobuNewHistory {
public:
    explicit TMobuNewHistory(TMobuHistoryFormat& format) : Format(format) {}

    TMobuHistoryFormat& Format;
    THistoryLayout Engine;  // the layout engine's settings; laid-out while Width != 0
    TMobuHistDataList Groups;
    std::pair<int32_t, int32_t> PendingSize{0, 0};
    int32_t PendingPageNo = 0;
    THistoryOldDataList OldEntries;
    std::string PendingBox;
    std::string PendingPage;
    int32_t PendingCommand = 0;
    int32_t PendingFirst = 0;
    int32_t PendingLast = 0;
    std::string PendingFixedValues;
    int32_t MaxCount = 0;

    bool LaidOut() const { return Engine.Width != 0; }
    void Clear();
    // Pixels of all groups (laid-out) or the number of entries (plain).
    int64_t Size() const;
    int32_t GroupCount() const;
    // The effective page name of plain entry `index` (walking back over empty names).
    std::string OldEntryName(size_t index) const;

    void SetPending(const std::string& box, const std::string& page_name, const std::string& fixed_values,
                    int32_t page_no, std::pair<int32_t, int32_t> box_size, int32_t last, int32_t first,
                    int32_t command);
    // Records the pending page of `box`. Plain histories record it here; laid-out ones need
    // the text layout and keep it pending (the script log says so).
    void CommitPending(const std::string& box);

    void SaveToStream(ByteWriter& out) const;
    void LoadFromStream(ByteReader& in, int32_t version);

private:
    void TrimPlain();
};

class TMobuHistoryFormat {
public:
    explicit TMobuHistoryFormat(std::string name) : Name(std::move(name)), History(*this) {}
    std::string Name;
    THistoryLayout Layout;
    TMobuNewHistory History;
};

class TMobuHistoryFormatManager : public TMessageHistoryRecorder {
public:
    TMobuHistoryFormatManager() { Reset(); }

    TMobuHistoryFormat* FindFormat(const std::string& name);
    TMobuHistoryFormat& GetFormat(const std::string& name);
    TMobuHistoryFormat& Default() { return *FindFormat(std::string()); }
    int32_t Count() const { return static_cast<int32_t>(formats_.size()); }
    TMobuHistoryFormat& Item(int32_t index) { return *formats_[static_cast<size_t>(index)]; }

    void SetPending(const std::string& box, const std::string& page_name, const std::string& fixed_values,
                    int32_t page_no, int32_t last, int32_t first, int32_t command) override;
    void CommitPending(const std::string& box) override;
    void ClearAll();
    // Frees every format and makes the default format again.
    void Reset();

    void SaveToStream(ByteWriter& out) const;
    // From 135 every format; before, the formats are reset and the default history alone is
    // read. The whole section is read before anything changes: a damaged one throws and
    // leaves the formats as they were.
    void LoadFromStream(ByteReader& in, int32_t version);

    // The size of the box a pending page was shown in (the message box answers it).
    std::function<std::pair<int32_t, int32_t>(const std::string& box)> BoxSize;

private:
    std::vector<std::unique_ptr<TMobuHistoryFormat>> formats_;
};

// The program's history formats (installed as the message boxes' history recorder).
TMobuHistoryFormatManager& HistoryFormats();

}  // namespace mobu
