// Which pages of which script messages the player has read: per script page name (compared
// without regard to case) the pairs (TextIns command index, page number), and the pending
// mark of the page a tracked message box shows now. One list for the whole program.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/byte_reader.h"
#include "core/byte_writer.h"

namespace mobu {

class TMobuRead {
public:
    std::string Name;
    std::vector<int32_t> Commands;
    std::vector<int32_t> PageNumbers;
    bool Holds(int32_t command, int32_t page_no) const;
};

class TMobuReadList {
public:
    std::string PendingPage;
    int32_t PendingCommand = 0;
    int32_t PendingPageNo = 0;
    std::string PendingBox;

    void SetPending(const std::string& box, const std::string& page, int32_t page_no, int32_t command);
    // Marks the pending page read when `box` set it; clears the pending page.
    void Commit(const std::string& box);
    bool IsRead(const std::string& page, int32_t command, int32_t page_no) const;
    void Clear();
    int Count() const { return static_cast<int>(items_.size()); }

    void SaveToStream(ByteWriter& out) const;
    // Clears the list first; reads nothing below version 100.
    void LoadFromStream(ByteReader& in, int version);

private:
    TMobuRead* Find(const std::string& name);
    const TMobuRead* Find(const std::string& name) const;
    std::vector<TMobuRead> items_;
};

// The program's read list.
TMobuReadList& ReadList();

}  // namespace mobu
