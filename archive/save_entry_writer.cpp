#include "archive/save_entry_writer.h"

#include "archive/vr_file_manager.h"
#include "core/cp932_chars.h"
#include "core/script_log.h"

namespace mobu {
namespace {

TSaveEntryWriter& Writer()
{
    static TSaveEntryWriter writer;
    return writer;
}

bool StartsWithText(std::string_view name, std::string_view prefix)
{
    if (name.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

}  // namespace

void SetSaveEntryWriter(TSaveEntryWriter writer) { Writer() = std::move(writer); }

bool IsMemoryFileName(std::string_view name) { return StartsWithText(name, "mem:"); }
bool IsSaveFileName(std::string_view name) { return StartsWithText(name, "save:"); }

bool WriteMemoryFile(const std::string& cp932_name, std::string_view bytes)
{
    TVrFileManager& files = VrFileManager();
    if (files.ArchiveCount() == 0) files.AddArchive("");
    TVrFileCollection& memory = files.Archive(0);
    TVrFile* entry = memory.Find(cp932_name);
    if (!entry || !entry->IsMemory()) {
        if (entry) memory.Delete(cp932_name);
        entry = memory.AddMemoryFile(cp932_name);
    }
    entry->MemData->Data().assign(bytes.begin(), bytes.end());
    if (!IsSaveFileName(cp932_name)) return true;
    if (!Writer()) {
        // The copy for this run is kept, but nothing reached the save file: report it as the
        // failure it is, so a script never believes a "save:" file will outlast the run.
        ReportNotAvailable("save file");
        return false;
    }
    return Writer()(cp932_name, bytes);
}

}  // namespace mobu
