#include "components/mobu_read_list.h"

#include <algorithm>

#include "core/cp932_chars.h"

namespace mobu {

bool TMobuRead::Holds(int32_t command, int32_t page_no) const
{
    for (size_t i = 0; i < Commands.size(); ++i)
        if (Commands[i] == command && PageNumbers[i] == page_no) return true;
    return false;
}

TMobuRead* TMobuReadList::Find(const std::string& name)
{
    for (auto& item : items_)
        if (JSameText(item.Name, name)) return &item;
    return nullptr;
}

const TMobuRead* TMobuReadList::Find(const std::string& name) const
{
    return const_cast<TMobuReadList*>(this)->Find(name);
}

void TMobuReadList::SetPending(const std::string& box, const std::string& page, int32_t page_no, int32_t command)
{
    PendingBox = box;
    PendingPage = page;
    PendingPageNo = page_no;
    PendingCommand = command;
}

void TMobuReadList::Commit(const std::string& box)
{
    if (PendingPage.empty() || PendingBox != box) return;
    TMobuRead* item = Find(PendingPage);
    if (item == nullptr) {
        items_.push_back(TMobuRead{PendingPage, {}, {}});
        item = &items_.back();
    }
    if (!item->Holds(PendingCommand, PendingPageNo)) {
        item->Commands.push_back(PendingCommand);
        item->PageNumbers.push_back(PendingPageNo);
    }
    PendingPage.clear();
}

bool TMobuReadList::IsRead(const std::string& page, int32_t command, int32_t page_no) const
{
    const TMobuRead* item = Find(page);
    return item != nullptr && item->Holds(command, page_no);
}

void TMobuReadList::Clear()
{
    items_.clear();
}

void TMobuReadList::SaveToStream(ByteWriter& out) const
{
    out.I32(static_cast<int32_t>(items_.size()));
    for (const auto& item : items_) {
        out.String(item.Name);
        out.I32(static_cast<int32_t>(item.Commands.size()));
        for (int32_t c : item.Commands) out.I32(c);
        for (int32_t p : item.PageNumbers) out.I32(p);
    }
    out.String(PendingPage);
    out.I32(PendingCommand);
    out.I32(PendingPageNo);
    out.String(PendingBox);
}

void TMobuReadList::LoadFromStream(ByteReader& in, int version)
{
    Clear();
    PendingPage.clear();
    PendingBox.clear();
    if (version < 100) return;
    std::vector<TMobuRead> items;
    const size_t count = in.Count(8);
    for (size_t i = 0; i < count; ++i) {
        TMobuRead item;
        item.Name = in.String();
        const size_t pairs = in.Count(8);
        item.Commands.resize(pairs);
        item.PageNumbers.resize(pairs);
        for (auto& c : item.Commands) c = in.I32();
        for (auto& p : item.PageNumbers) p = in.I32();
        items.push_back(std::move(item));
    }
    std::string pending_page = in.String();
    const int32_t pending_command = in.I32();
    const int32_t pending_page_no = in.I32();
    std::string pending_box = in.String();
    items_ = std::move(items);
    PendingPage = std::move(pending_page);
    PendingCommand = pending_command;
    PendingPageNo = pending_page_no;
    PendingBox = std::move(pending_box);
}

TMobuReadList& ReadList()
{
    static TMobuReadList list;
    return list;
}

}  // namespace mobu
