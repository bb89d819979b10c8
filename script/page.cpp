#include "script/page.h"

#include <algorithm>

#include "core/globals.h"
#include "core/mobu_error.h"
#include "archive/vr_file_manager.h"
#include "platform/message_box.h"
#include "script/page_messages.h"
#include "script/project_parts.h"

namespace mobu {

int32_t TComList::IndexOf(const TCommand* command) const
{
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].get() == command) return static_cast<int32_t>(i);
    }
    return -1;
}

TPage::TPage() : Commands(this) {}
TPage::~TPage() = default;

void TPage::Load(const std::string& name)
{
    LoadFromBytes(name, VrFileManager().ReadFile(name));
}

void TPage::LoadFromBytes(const std::string& name, std::string_view bytes)
{
    PageName = name;
    Commands.Clear();
    for (auto& mask : PropertyMasks) mask.fill(0);
    ByteReader in(bytes, page_messages::DamagedPage(name));

    PageVersion = in.I32();
    if (PageVersion > kNewestPageVersion) return;  // a newer format: nothing we can run
    if (PageVersion < kOldestPageVersion) {
        QuitRequested = true;
        ShowMessageBox(name + "\r\n" + page_messages::RebuildPlease(), page_messages::WarningCaption(),
                       MessageIcon::Warning, MessageButtons::Ok);
        if (ProjectParts().request_close) ProjectParts().request_close();
        return;
    }
    ResultType = in.U8();

    // Mask entries: each replaces the first min(E, 21) bytes of its mask; the rest of a
    // larger entry, and entries past the table, are skipped.
    int32_t entry_count = in.I32();
    int32_t entry_size = in.I32();
    if (entry_count < 0 || entry_size < 0) in.Fail();
    const uint64_t table_bytes = static_cast<uint64_t>(entry_count) * static_cast<uint64_t>(entry_size);
    if (table_bytes > in.Remaining()) in.Fail();
    const size_t table_end = in.Position() + static_cast<size_t>(table_bytes);
    const int32_t kept = std::min<int32_t>(entry_count, kMaskEntryCount);
    const size_t used = std::min<size_t>(static_cast<size_t>(entry_size), kMaskEntrySize);
    for (int32_t k = 0; k < kept; ++k) {
        size_t start = in.Position();
        in.Read(PropertyMasks[static_cast<size_t>(k)].data(), used);
        in.Seek(start + static_cast<size_t>(entry_size));
    }
    // Entries past the table are skipped in one step: a hostile count of empty entries
    // must not make the reader loop for nothing.
    in.Seek(table_end);

    // Every record is at least an id byte and the 10-byte common header.
    size_t command_count = in.Count(11);
    for (size_t i = 0; i < command_count; ++i) {
        uint8_t id = in.U8() & 0x7F;
        std::unique_ptr<TCommand> command = CreateCommand(&Commands, id);
        if (!command) throw EMobuError(page_messages::BadCommand());
        TCommand* added = command.get();
        Commands.Add(std::move(command));
        added->LoadRecord(in);
    }
}

int32_t TPage::FindLabel(const std::string& name) const
{
    for (int32_t i = 0; i < Commands.Count(); ++i) {
        if (Commands.Items(i)->IsLabel(name)) return i;
    }
    return -1;
}

}  // namespace mobu
