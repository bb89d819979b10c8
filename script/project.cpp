#include "script/project.h"

#include <algorithm>

#include "core/globals.h"
#include "core/mobu_error.h"
#include "archive/vr_file_manager.h"
#include "platform/durable_files.h"
#include "core/script_log.h"
#include "platform/message_box.h"
#include "platform/real_files.h"
#include "core/cp932_chars.h"
#include "script/install_data.h"
#include "script/project_messages.h"
#include "script/save_location.h"

namespace mobu {
namespace {

TProject* current_project = nullptr;

const char kProjectFileName[] = "mobu.mpb";
const char kOriginalProjectFileName[] = "/original_mobu.mpb";
const char kInstallFileName[] = "install.dat";
const char kGameArchiveName[] = "game.dat";

// Extension of a virtual path including its dot, lower-cased ("" when none).
std::string LowerExtension(const std::string& name)
{
    size_t dot = std::string::npos;
    for (size_t i = 0; i < name.size();) {
        size_t length = Cp932CharLength(name, i);
        if (length == 1 && name[i] == '.') dot = i;
        if (length == 1 && (name[i] == '\\' || name[i] == '/')) dot = std::string::npos;
        i += length;
    }
    return dot == std::string::npos ? std::string() : Cp932Lower(name.substr(dot));
}

// The install data in the root of a disk, when the disk holds both it and a game archive.
struct TDiskFiles {
    std::string archive;  // real path of the disk's game archive
    TInstallData install;
};

std::optional<TDiskFiles> ReadGameDisk(const std::string& root)
{
    std::optional<std::string> archive = FindRealSibling(root, kGameArchiveName);
    std::optional<std::string> install = FindRealSibling(root, kInstallFileName);
    if (!archive || !install) return std::nullopt;
    try {
        return TDiskFiles{*archive, ReadInstallDataFile(*install)};
    } catch (const EMobuError&) {
        return std::nullopt;  // an unreadable disk is not the disk we look for
    }
}

// Roots of the game disks: the CD roots the file manager knew at start, and the ones
// mounted since (a disk inserted later may be mounted at a new place).
std::vector<std::string> CurrentCdRoots()
{
    std::vector<std::string> roots = VrFileManager().CdRoots();
    for (auto& root : CdRootsFromMounts()) {
        if (std::find(roots.begin(), roots.end(), root) == roots.end()) roots.push_back(std::move(root));
    }
    return roots;
}

// The archive of the disk with this title and disk index (-1: any index) in a CD root.
std::optional<std::string> FindGameDisk(const std::vector<std::string>& roots, const std::string& title,
                                        int32_t disk_index)
{
    for (const auto& root : roots) {
        std::optional<TDiskFiles> disk = ReadGameDisk(root);
        if (disk && disk->install.title == title && (disk_index < 0 || disk->install.disk_index == disk_index)) {
            return disk->archive;
        }
    }
    return std::nullopt;
}

}  // namespace

TProject* Project() { return current_project; }

std::string FormatDiskPrompt(const std::string& prompt, int32_t disk)
{
    std::string out;
    for (size_t i = 0; i < prompt.size();) {
        size_t length = Cp932CharLength(prompt, i);
        if (length == 1 && prompt[i] == '%' && i + 1 < prompt.size()) {
            if (prompt[i + 1] == 'd') {
                out += std::to_string(disk);
                i += 2;
                continue;
            }
            if (prompt[i + 1] == '%') {
                out += '%';
                i += 2;
                continue;
            }
        }
        out.append(prompt, i, length);
        i += length;
    }
    return out;
}

TProject::TProject(TProjectStartup startup)
    : startup_(std::move(startup)),
      title_(DefaultTitle()),
      streamed_extensions_("wav.wma.ogg"),
      disk_prompt_(DefaultDiskPrompt()),
      exit_prompt_(DefaultExitPrompt())
{
    current_project = this;
}

TProject::~TProject()
{
    if (call_man_ && !exit_page_.empty()) {
        try {
            call_man_->StartPage(exit_page_);
            QuitRequested = false;
            call_man_->Run();
        } catch (...) {
            // The exit page runs once as the program closes; when it is missing, damaged or
            // fails, the program closes all the same and the status data is still written.
        }
        QuitRequested = true;
    }
    // Status data that was never loaded is not written: writing it would replace the
    // player's stored status with an empty one.
    if (save_data_ && status_loaded_) {
        try {
            save_data_->SaveStatus(SaveFileName());
        } catch (...) {
            // Nothing can be reported while the program closes.
        }
    }
    call_man_.reset();
    save_data_.reset();
    slot_captions_.clear();
    disk_map_.Clear();
    if (current_project == this) current_project = nullptr;
}

void TProject::Create()
{
    QuitRequested = true;
    try {
        if (startup_.arguments.empty() && !CheckInstall()) return;

        std::string bytes;
        try {
            bytes = VrFileManager().ReadFile(kProjectFileName);
        } catch (const EMobuError&) {
            return;  // no project anywhere: the program ends without a message
        }
        if (bytes.empty()) {
            ShowMessageBox(NoProjectMessage(), WarningCaption(), MessageIcon::Warning, MessageButtons::Ok);
            return;
        }
        TProjectSetting setting = TProjectSetting::Parse(bytes);
        CopySettings(setting);

        if (first_disk_required_) {
            while (!FindFirstDisk()) {
                if (!ProjectParts().interactive) return;
                if (ShowMessageBox(InsertFirstDiskMessage(), title_, MessageIcon::Information,
                                   MessageButtons::OkCancel) == MessageResult::Cancel) {
                    return;
                }
            }
        }

        const std::string save_file = SaveFileName();
        if (ProjectParts().make_save_data) save_data_ = ProjectParts().make_save_data();
        // With saving off there is no status data to read or write and no slot to list.
        if (save_data_ && !save_file.empty()) {
            save_data_->LoadStatus(save_file);
            status_loaded_ = true;
        }
        CreatePredefinedVariables(setting.variables);
        QuitRequested = false;

        if (save_data_ && !save_file.empty()) slot_captions_ = save_data_->ReadSlotCaptions(save_file);
        ReplaceDiskMapFromOriginal();
        StartStartPage();
    } catch (...) {
        QuitRequested = true;
        throw;
    }
}

void TProject::CopySettings(const TProjectSetting& setting)
{
    title_ = setting.title;
    screen_width_ = setting.screen_width;
    screen_height_ = setting.screen_height;
    full_screen_width_ = setting.full_screen_width;
    full_screen_height_ = setting.full_screen_height;
    start_page_ = setting.start_page;
    exit_page_ = setting.exit_page;
    registry_key_name_ = setting.registry_key_name;
    ident_code_ = setting.ident_code;
    write_status_data_ = setting.write_status_data;
    throttle_frames_ = setting.throttle_frames;
    streamed_extensions_ = setting.streamed_extensions;
    pause_when_inactive_ = setting.pause_when_inactive;
    first_disk_required_ = setting.first_disk_required;
    show_toolbar_ = setting.show_toolbar;
    disk_prompt_ = setting.disk_prompt;
    exit_prompt_ = setting.exit_prompt;
    disk_map_ = setting.disk_map;
}

void TProject::CreatePredefinedVariables(const std::vector<TPredefinedVariable>& variables)
{
    TProjectVariables* table = ProjectParts().variables ? ProjectParts().variables() : nullptr;
    if (table == nullptr) return;
    for (const auto& variable : variables) {
        // A variable restored from the status data keeps its stored value.
        if (!table->Exists(variable.name)) table->CreateStatusVariable(variable);
    }
}

void TProject::ReplaceDiskMapFromOriginal()
{
    // The name carries a leading "/": an archive may hold an entry of exactly that name,
    // while a real file of the game folder is found under the name without it (virtual
    // paths never start at the file system's root).
    TVrFileManager& files = VrFileManager();
    for (const char* name : {kOriginalProjectFileName, kOriginalProjectFileName + 1}) {
        if (!files.Exists(name)) continue;
        disk_map_ = TProjectSetting::Parse(files.ReadFile(name)).disk_map;
        return;
    }
}

void TProject::StartStartPage()
{
    if (ProjectParts().make_call_man) call_man_ = ProjectParts().make_call_man();
    if (start_page_.empty() || !VrFileManager().Exists(start_page_)) {
        ShowMessageBox(NoStartPageMessage(), WarningCaption(), MessageIcon::Warning, MessageButtons::Ok);
        QuitRequested = true;
        return;
    }
    if (call_man_) call_man_->StartPage(start_page_);
}

void TProject::Run()
{
    if (call_man_) call_man_->Run();
}

bool TProject::ProcessPendingSaveLoad()
{
    return save_data_ ? save_data_->ProcessPendingSaveLoad(*this) : false;
}

std::string TProject::SaveFileName()
{
    // Computed once: the place cannot change while the game runs, and every computation
    // probes the folder with a file.
    if (!save_file_name_) {
        TSaveLocation location = LocateSaveLocation({startup_.arguments, startup_.executable_path, title_});
        save_file_name_ = location.file;
        save_folder_to_create_ = location.folder_to_create;
        if (location.file.empty()) {
            // Neither the game's folder nor the user's takes the file (read-only media and a
            // read-only home): the game runs, saving is off, and the player is told once.
            saving_off_message_ = location.failure;
            ReportDiagnostic(saving_off_message_);
            ShowMessageBox(saving_off_message_, WarningCaption(), MessageIcon::Warning, MessageButtons::Ok);
        }
    }
    return *save_file_name_;
}

bool TProject::PrepareSaveFolder()
{
    const std::string save_file = SaveFileName();
    if (save_file.empty()) return false;
    TSaveLocation location{save_file, {}, save_folder_to_create_};
    if (!CreateSaveFolder(location)) return false;
    save_folder_to_create_ = false;
    return true;
}

bool TProject::EnsureAvailable(const std::string& name)
{
    if (name.empty()) return false;
    try {
        if (VrFileManager().Exists(name)) return true;
    } catch (const EMobuError&) {
        return false;  // a path the file manager refuses is never available
    }
    int32_t disk = disk_map_.DiskOf(name);
    if (disk <= 0) return false;
    // Streamed media are never fetched by a disk change. A name without extension is not
    // streamed media (its empty extension would otherwise match every list).
    std::string extension = LowerExtension(name);
    if (!extension.empty()) {
        std::string streamed = Cp932Lower(streamed_extensions_);
        if (streamed.empty() || streamed.front() != '.') streamed.insert(streamed.begin(), '.');
        if ((streamed + ".").find(extension + ".") != std::string::npos) return false;
    }
    return ChangeDisk(disk);
}

bool TProject::CheckInstall()
{
    TVrFileManager& files = VrFileManager();
    const std::string executable_folder = RealFolderOf(startup_.executable_path);
    if (FindRealSibling(executable_folder, kInstallFileName) && files.BaseFolder().empty()) {
        files.SetBaseFolder(executable_folder);
    }
    if (!files.Exists(kInstallFileName)) {
        ShowMessageBox(ReinstallMessage(), InformationCaption(), MessageIcon::Information, MessageButtons::Ok);
        return false;
    }
    TInstallData install;
    try {
        install = TInstallData::Parse(files.ReadFile(kInstallFileName));
    } catch (const EMobuError&) {
        // Damaged install data is as good as none.
        ShowMessageBox(ReinstallMessage(), InformationCaption(), MessageIcon::Information, MessageButtons::Ok);
        return false;
    }

    if (std::optional<std::string> archive = FindRealSibling(executable_folder, kGameArchiveName)) {
        files.AddArchive(*archive);
        if (install.no_disk_needed) return true;
    } else if (install.no_disk_needed && files.ArchiveCount() > 0) {
        return true;
    }

    for (;;) {
        if (std::optional<std::string> archive = FindGameDisk(CurrentCdRoots(), install.title, -1)) {
            files.AddArchive(*archive);
            return true;
        }
        if (!ProjectParts().interactive) return false;
        if (ShowMessageBox(InsertDiskMessage(), InformationCaption(), MessageIcon::Information,
                           MessageButtons::OkCancel) == MessageResult::Ok) {
            continue;
        }
        if (ShowMessageBox(exit_prompt_, title_, MessageIcon::Information, MessageButtons::OkCancel) ==
            MessageResult::Ok) {
            return false;
        }
    }
}

bool TProject::FindFirstDisk()
{
    for (const auto& root : CurrentCdRoots()) {
        std::optional<std::string> install = FindRealSibling(root, kInstallFileName);
        if (!install) continue;
        try {
            if (ReadInstallDataFile(*install).title == title_) return true;
        } catch (const EMobuError&) {
            return false;
        }
    }
    return false;
}

bool TProject::ChangeDisk(int32_t disk)
{
    TVrFileManager& files = VrFileManager();
    // The archives of the disk in the drive go first, from the last registered.
    const std::vector<std::string> roots = CurrentCdRoots();
    for (int index = files.ArchiveCount() - 1; index >= 0; --index) {
        const std::string& archive = files.Archive(index).FileName();
        for (const auto& root : roots) {
            if (!root.empty() && archive.rfind(root, 0) == 0) {
                files.RemoveArchive(index);
                break;
            }
        }
    }
    for (;;) {
        // Nobody can insert a disk when no one answers the boxes: one search, then the
        // program ends as if the player had cancelled and confirmed.
        bool searched = false;
        if (!ProjectParts().interactive ||
            ShowMessageBox(FormatDiskPrompt(disk_prompt_, disk), title_, MessageIcon::None, MessageButtons::OkCancel) ==
                MessageResult::Ok) {
            if (std::optional<std::string> archive = FindGameDisk(CurrentCdRoots(), title_, disk - 1)) {
                files.AddArchive(*archive);
                return true;
            }
            searched = true;
        }
        if (searched && ProjectParts().interactive) continue;
        if (!ProjectParts().interactive ||
            ShowMessageBox(exit_prompt_, title_, MessageIcon::None, MessageButtons::OkCancel) == MessageResult::Ok) {
            QuitRequested = true;
            if (ProjectParts().request_close) ProjectParts().request_close();
            return false;
        }
    }
}

TProjectParts& ProjectParts()
{
    static TProjectParts parts;
    return parts;
}

}  // namespace mobu
