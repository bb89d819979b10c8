#include "components/game_save_data.h"

#include <charconv>
#include <chrono>
#include <cstring>

#include "archive/save_entry_writer.h"
#include "archive/save_file.h"
#include "archive/vr_file_manager.h"
#include "components/component_types.h"
#include "components/fesk_collection.h"
#include "components/mobu_base_list.h"
#include "components/mobu_history.h"
#include "components/mobu_mes.h"
#include "components/mobu_read_list.h"
#include "components/save_messages.h"
#include "core/globals.h"
#include "core/mobu_error.h"
#include "core/script_log.h"
#include "expr/param_collection.h"
#include "expr/param_man.h"
#include "expr/save_tables.h"
#include "platform/message_box.h"
#include "platform/real_files.h"
#include "platform/text_encoding.h"
#include "script/call_man.h"
#include "script/project.h"
#include "script/project_call_man.h"

namespace mobu {
namespace {

constexpr char kStatusTag[] = "Status";
constexpr size_t kStatusTagSize = 9;

// The empty table section of a game (version, count, active table name) or of the status.
void WriteEmptyTables(ByteWriter& out, bool status)
{
    out.I32(100);
    out.I32(0);
    if (!status) out.String(std::string());
}

// Whether `name` begins with "save:" (letters without case).
bool IsSaveEntry(const std::string& name) { return IsSaveFileName(name); }

void CopyIntoMemoryArchive(TVrFileCollection& files, const TVrFile& entry)
{
    TVrFileManager& manager = VrFileManager();
    if (manager.ArchiveCount() == 0) manager.AddArchive("");
    TVrFileCollection& memory = manager.Archive(0);
    const std::string name = entry.Name();
    memory.Delete(name);
    TVrFile* copy = memory.AddMemoryFile(name);
    std::string bytes;
    try {
        if (files.ReadEntry(entry, bytes)) {
            copy->MemData->Data() = std::move(bytes);
            return;
        }
    } catch (const std::exception&) {
    }
    // A file that cannot be copied is dropped from memory; the save file keeps it.
    memory.Delete(name);
}

}  // namespace

TGameSaveData::TGameSaveData(TGameSaveParts parts) : parts_(std::move(parts)) {}

TGameSaveData::~TGameSaveData() { SetSaveEntryWriter(nullptr); }

TCallMan* TGameSaveData::CallMan() const { return parts_.call_man ? parts_.call_man() : ProjectCallMan(); }

TParamCollection* TGameSaveData::Variables() const { return parts_.variables ? parts_.variables() : ParamMan; }

std::string TGameSaveData::EntryName(int32_t slot) { return kGameSaveEntryPrefix + std::to_string(slot); }

int32_t TGameSaveData::SlotOfEntryName(const std::string& name)
{
    const size_t prefix = std::strlen(kGameSaveEntryPrefix);
    if (name.size() <= prefix || name.compare(0, prefix, kGameSaveEntryPrefix) != 0) return -1;
    int32_t slot = -1;
    const char* first = name.data() + prefix;
    const char* last = name.data() + name.size();
    auto [end, error] = std::from_chars(first, last, slot);
    if (error != std::errc() || end != last || slot < 0) return -1;
    return slot;
}

std::string TGameSaveData::CaptionOf(const std::string& entry_bytes)
{
    ByteReader in(entry_bytes, save_messages::BadSaveData());
    in.I32();
    return in.String();
}

// ---- status data ----

std::string TGameSaveData::BuildStatusEntry()
{
    ByteWriter out;
    char tag[16];
    std::snprintf(tag, sizeof tag, "%s%.3d", kStatusTag, static_cast<int>(kStatusVersion));
    out.Raw(tag, kStatusTagSize);
    if (TParamCollection* variables = Variables()) variables->SaveStatusVars(out);
    ReadList().SaveToStream(out);
    out.U8(FeskCollection().Dither() ? 1 : 0);
    if (TSaveTables* tables = InstalledSaveTables()) tables->SaveTables(out, true);
    else if (!status_tables_.empty()) out.Raw(status_tables_.data(), status_tables_.size());
    else WriteEmptyTables(out, true);
    return out.Bytes();
}

void TGameSaveData::LoadStatusEntry(const std::string& bytes)
{
    ByteReader in(bytes, save_messages::StatusUnreadable());
    int32_t version = 0;
    if (bytes.size() >= kStatusTagSize && bytes.compare(0, 6, kStatusTag) == 0) {
        const char* digits = bytes.data() + 6;
        int value = 0;
        auto [end, error] = std::from_chars(digits, digits + 3, value);
        version = error == std::errc() && end == digits + 3 ? value : 0;
        in.Skip(kStatusTagSize);
    }
    if (version > kStatusVersion) in.Fail();
    TParamCollection* variables = Variables();
    if (variables) variables->LoadStatusVars(in, version);
    ReadList().LoadFromStream(in, version);
    if (version > 100) FeskCollection().SetDither(in.U8() != 0);
    if (version >= 103) {
        if (TSaveTables* tables = InstalledSaveTables()) tables->LoadTables(in, true);
        else status_tables_ = in.Bytes(in.Remaining());
    }
}

void TGameSaveData::LoadStatus(const std::string& save_file)
{
    save_file_ = save_file;
    RemoveStaleSaveTemporaries(save_file);
    TSaveRecovery recovery = RecoverDamagedSaveFile(save_file);
    if (recovery.damaged) {
        std::string text = recovery.restored ? save_messages::RestoredFromBackup()
                                             : save_messages::DamagedKeptAs() + Utf8ToCp932(recovery.kept_path);
        ReportDiagnostic(text);
        ShowMessageBox(text, save_messages::WarningCaption(), MessageIcon::Warning, MessageButtons::Ok);
    }
    TVrFileCollection files;
    std::string reason;
    if (!ReadSaveFile(save_file, files, &reason)) {
        // Still unreadable (it could not even be moved aside): run without it, never write it.
        status_unreadable_ = true;
        ReportDiagnostic(Utf8ToCp932(save_file) + ": " + reason);
        return;
    }
    if (TVrFile* entry = files.Find(kStatusEntryName)) {
        std::string bytes;
        try {
            if (!files.ReadEntry(*entry, bytes)) throw EMobuError(save_messages::StatusUnreadable());
            LoadStatusEntry(bytes);
        } catch (const std::exception& error) {
            status_unreadable_ = true;
            ReportDiagnostic(std::string(kStatusEntryName) + ": " + error.what());
            ShowMessageBox(save_messages::StatusUnreadable(), save_messages::WarningCaption(), MessageIcon::Warning,
                           MessageButtons::Ok);
        }
    }
    for (int i = 0; i < files.Count(); ++i) {
        if (IsSaveEntry(files.Item(i)->Name())) CopyIntoMemoryArchive(files, *files.Item(i));
    }
    // The built-ins that write "save:" files reach the save file from now on.
    SetSaveEntryWriter([this](const std::string& name, std::string_view bytes) {
        if (save_file_.empty()) return false;
        if (TProject* project = Project()) project->PrepareSaveFolder();
        return ReplaceSaveEntry(save_file_, name, std::string(bytes));
    });
}

void TGameSaveData::SaveStatus(const std::string& save_file)
{
    if (status_unreadable_) return;
    TProject* project = Project();
    if (project && !project->WriteStatusData()) return;
    const std::string bytes = BuildStatusEntry();
    // Written only into a folder that is there, or into the per-user folder that this first
    // write makes; a status that has not changed since the game started makes no folder.
    const std::string folder = RealFolderOf(save_file);
    if (!RealFolderExists(folder)) {
        if (bytes == last_status_) return;
        if (!(project && project->PrepareSaveFolder() && RealFolderExists(folder))) return;
    }
    // Errors of the status write are not reported: the next write tries again.
    if (ReplaceSaveEntry(save_file, kStatusEntryName, bytes)) last_status_ = bytes;
}

void TGameSaveData::SaveStatusIfChanged(const std::string& save_file, uint64_t now_ms)
{
    if (save_file.empty()) return;  // saving is off
    if (!status_clock_started_) {
        status_clock_started_ = true;
        last_status_ms_ = now_ms;
        if (last_status_.empty()) last_status_ = BuildStatusEntry();
        return;
    }
    if (now_ms - last_status_ms_ < kStatusIntervalMs) return;
    last_status_ms_ = now_ms;
    if (BuildStatusEntry() != last_status_) SaveStatus(save_file);
}

std::vector<TSlotCaption> TGameSaveData::ReadSlotCaptions(const std::string& save_file)
{
    std::vector<TSlotCaption> captions;
    TVrFileCollection files;
    if (!ReadSaveFile(save_file, files)) return captions;
    for (int i = 0; i < files.Count(); ++i) {
        const TVrFile& entry = *files.Item(i);
        const int32_t slot = SlotOfEntryName(entry.Name());
        if (slot < 0) continue;
        try {
            std::string bytes;
            if (!files.ReadEntry(entry, bytes)) continue;
            captions.push_back({CaptionOf(bytes), slot});
        } catch (const std::exception&) {
            // One damaged slot does not hide the others.
        }
    }
    return captions;
}

// ---- game entries ----

std::string TGameSaveData::BuildGameEntry(const std::string& caption, const std::string& resume_page,
                                          int32_t resume_index)
{
    TCallMan* calls = CallMan();
    TParamCollection* variables = Variables();
    if (!parts_.list || !calls || !variables) throw EMobuError(save_messages::SaveFailed());
    ByteWriter out;
    out.I32(kGameSaveVersion);
    out.String(caption);
    out.String(resume_page);
    out.I32(resume_index);
    parts_.list->SaveToStream(out);
    HistoryFormats().SaveToStream(out);
    calls->SaveToStream(out);
    variables->SaveGameVars(out);
    if (TSaveTables* tables = InstalledSaveTables()) tables->SaveTables(out, false);
    else if (!game_tables_.empty()) out.Raw(game_tables_.data(), game_tables_.size());
    else WriteEmptyTables(out, false);
    return out.Bytes();
}

void TGameSaveData::LoadGameEntry(const std::string& bytes)
{
    TCallMan* calls = CallMan();
    TParamCollection* variables = Variables();
    ByteReader in(bytes, save_messages::BadSaveData());
    const int32_t version = in.I32();
    if (version < kOldestGameSaveVersion || version > kGameSaveVersion) in.Fail();
    if (!parts_.list || !calls || !variables) in.Fail();
    in.String();  // the caption is not used
    const std::string resume_page = in.String();
    const int32_t resume_index = in.I32();
    parts_.list->LoadFromStream(in, version);
    HistoryFormats().LoadFromStream(in, version);
    calls->LoadFromStream(in, version);
    if (!resume_page.empty()) {
        if (calls->CurrentPage) calls->PushCurrentContext();
        calls->CurrentPage = calls->GetPage(resume_page);
        calls->PC = resume_index > 0 ? resume_index : 0;
        calls->Entered = false;
    }
    // Saves from 113 to 134 keep the default history format's six values among the variables.
    variables->OnLegacyHistorySettings = [](const std::array<int32_t, 6>& values) {
        THistoryLayout& layout = HistoryFormats().Default().Layout;
        layout.FontHeight = values[0];
        layout.FontBorder = values[1];
        layout.FontShadow = values[2];
        layout.Width = values[3];
        layout.Height = values[4];
        layout.LineSpace = values[5];
    };
    variables->LoadGameVars(in, version);
    variables->OnLegacyHistorySettings = nullptr;
    if (version > 122) {
        if (TSaveTables* tables = InstalledSaveTables()) tables->LoadTables(in, false);
        else game_tables_ = in.Bytes(in.Remaining());
    }
    for (int32_t i = 0; i < parts_.list->GetCount(); ++i) {
        TMobuObject* object = parts_.list->GetItem(i);
        if (object->GetCompoType() == LT_MES) static_cast<TMobuMes*>(object)->RestoreAfterLoad();
    }
}

// ---- requests ----

bool TGameSaveData::ReplaceSaveEntry(const std::string& save_file, const std::string& name, const std::string& bytes,
                                     std::string* reason)
{
    return ReplaceSaveEntries(save_file, {TSaveEntryChange{name, bytes, SaveEntryTimeNow()}}, reason);
}

void TGameSaveData::ReportSaveFailure(const std::string& reason)
{
    const std::string text = save_messages::SaveFailed() + "\r\n" + Utf8ToCp932(reason);
    ReportDiagnostic(text);
    ShowMessageBox(text, save_messages::WarningCaption(), MessageIcon::Warning, MessageButtons::Ok);
}

bool TGameSaveData::GameSave(TProject& project, int32_t slot, const std::string& resume_page,
                             const std::string& caption, int32_t resume_index)
{
    if (caption.empty()) return false;
    const std::string save_file = project.SaveFileName();
    if (save_file.empty()) {
        // Saving is off: the save fails visibly and nothing changes.
        ReportSaveFailure(Cp932ToUtf8(project.SavingOffMessage()));
        return false;
    }
    std::vector<TSaveEntryChange> changes;
    const int32_t now = SaveEntryTimeNow();
    try {
        changes.push_back({EntryName(slot), BuildGameEntry(caption, resume_page, resume_index), now});
    } catch (const std::exception& error) {
        ReportSaveFailure(error.what());
        return false;
    }
    // The status data goes into the same write when it may be written.
    std::string status;
    if (!status_unreadable_ && project.WriteStatusData()) {
        status = BuildStatusEntry();
        changes.push_back({kStatusEntryName, status, now});
    }
    std::string reason;
    project.PrepareSaveFolder();  // when it cannot be made, the write below says why
    if (!ReplaceSaveEntries(save_file, changes, &reason)) {
        ReportSaveFailure(reason);
        return false;
    }
    if (!status.empty()) last_status_ = std::move(status);
    // The caption list changes only once the file holds the save.
    auto& captions = project.SlotCaptions();
    bool found = false;
    for (auto& entry : captions) {
        if (entry.slot == slot) {
            entry.caption = caption;
            found = true;
            break;
        }
    }
    if (!found) captions.push_back({caption, slot});
    return true;
}

bool TGameSaveData::GameLoad(const std::string& save_file, int32_t slot, bool& failed)
{
    failed = false;
    TVrFileCollection files;
    if (!RealFileExists(save_file)) return false;
    std::string reason;
    std::string bytes;
    try {
        if (!ReadSaveFile(save_file, files, &reason)) throw EMobuError(reason);
        TVrFile* entry = files.Find(EntryName(slot));
        if (!entry) return false;
        if (!files.ReadEntry(*entry, bytes)) throw EMobuError(save_messages::BadSaveData());
        LoadGameEntry(bytes);
        return true;
    } catch (const std::exception& error) {
        failed = true;
        ReportDiagnostic(EntryName(slot) + ": " + error.what());
        QuitRequested = true;
        ShowMessageBox(save_messages::BadSaveData(), save_messages::WarningCaption(), MessageIcon::Warning,
                       MessageButtons::Ok);
        return false;
    }
}

bool TGameSaveData::ProcessPendingSaveLoad(TProject& project)
{
    bool loaded = false;
    if (project.PendingLoadSlot) {
        const int32_t slot = *project.PendingLoadSlot;
        project.PendingLoadSlot.reset();
        bool failed = false;
        loaded = GameLoad(project.SaveFileName(), slot, failed);
        // A failed load leaves a half-loaded state: it is never saved over a good slot.
        if (failed) project.PendingSave.reset();
    }
    if (project.PendingSave) {
        TProject::TSaveRequest request = *project.PendingSave;
        project.PendingSave.reset();
        GameSave(project, request.slot, request.resume_page, request.caption, request.resume_index);
    }
    const uint64_t now_ms = static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
    SaveStatusIfChanged(project.SaveFileName(), now_ms);
    return loaded;
}

}  // namespace mobu
