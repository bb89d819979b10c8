// TProject: the running game. Created once at start-up from the command line, it checks
// that the game is installed and reachable, reads "mobu.mpb", loads the status data,
// creates the predefined status variables and starts the start page; it decides where the
// save file lives, answers whether a file is available (asking for another disk of a
// multi-disk game when needed), and at shutdown runs the exit page and writes the status
// data.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "script/folder_disk_list.h"
#include "script/project_parts.h"
#include "script/project_setting.h"

namespace mobu {

struct TProjectStartup {
    std::vector<std::string> arguments;  // UTF-8 command-line game arguments
    std::string executable_path;         // UTF-8
};

class TProject {
public:
    // Sets the defaults and makes this the process-wide project. Nothing is read yet.
    explicit TProject(TProjectStartup startup);
    // Destroy: runs the exit page, writes the status data, frees the parts.
    ~TProject();
    TProject(const TProject&) = delete;
    TProject& operator=(const TProject&) = delete;

    // Reads the project and starts the start page. Afterwards QuitRequested is false only
    // if everything succeeded. Failures the player reports itself (a box already shown)
    // return with QuitRequested set; a failure for the caller to show (a project file of a
    // newer version, a damaged one, a save folder that cannot be made) raises EMobuError,
    // also with QuitRequested set.
    void Create();

    // Runs the script until a command yields (nothing runs without a call manager).
    void Run();
    // Performs a pending game load, then a pending game save; true when a load happened.
    bool ProcessPendingSaveLoad();
    // Whether game saves and loads can be performed (the save data part is installed).
    bool CanSaveGames() const { return save_data_ != nullptr; }

    // Path (UTF-8) of the save file: beside the game when its folder takes new files, else
    // in the user's data folder under the title. Computed once. Empty when no folder takes
    // it: the game then runs with saving off, and SavingOffMessage says why.
    std::string SaveFileName();
    const std::string& SavingOffMessage() const { return saving_off_message_; }
    // Makes the per-user save folder before the first write into it (a game that never
    // writes leaves no folder behind); true when the save file's folder exists.
    bool PrepareSaveFolder();
    // Whether the file `name` (a virtual path) can be read, changing disks when it lies on
    // another disk of the game.
    bool EnsureAvailable(const std::string& name);
    bool CheckInstall();
    bool FindFirstDisk();
    bool ChangeDisk(int32_t disk);

    // Settings (texts in cp932).
    const std::string& Title() const { return title_; }
    int32_t ScreenWidth() const { return screen_width_; }
    int32_t ScreenHeight() const { return screen_height_; }
    int32_t FullScreenWidth() const { return full_screen_width_; }
    int32_t FullScreenHeight() const { return full_screen_height_; }
    const std::string& StartPage() const { return start_page_; }
    const std::string& ExitPage() const { return exit_page_; }
    const std::string& RegistryKeyName() const { return registry_key_name_; }
    int32_t IdentCode() const { return ident_code_; }
    bool WriteStatusData() const { return write_status_data_; }
    bool ThrottleFrames() const { return throttle_frames_; }
    const std::string& StreamedExtensions() const { return streamed_extensions_; }
    bool PauseWhenInactive() const { return pause_when_inactive_; }
    bool FirstDiskRequired() const { return first_disk_required_; }
    bool ShowToolbar() const { return show_toolbar_; }
    const std::string& DiskPrompt() const { return disk_prompt_; }
    const std::string& ExitPrompt() const { return exit_prompt_; }
    const TFolderDiskList& DiskMap() const { return disk_map_; }
    const std::vector<TSlotCaption>& SlotCaptions() const { return slot_captions_; }
    std::vector<TSlotCaption>& SlotCaptions() { return slot_captions_; }
    const TProjectStartup& Startup() const { return startup_; }

    // The parts this project runs with (null until created, or when not installed).
    TProjectCallMan* CallMan() const { return call_man_.get(); }
    TProjectSaveData* SaveData() const { return save_data_.get(); }

    // Game save and load requests, performed after the script's run in the same frame. Any
    // slot number can be asked for, negative ones included: a request is there or not.
    struct TSaveRequest {
        int32_t slot = 0;
        std::string resume_page;
        std::string caption;
        int32_t resume_index = 0;
    };
    std::optional<int32_t> PendingLoadSlot;
    std::optional<TSaveRequest> PendingSave;

private:
    void CopySettings(const TProjectSetting& setting);
    void CreatePredefinedVariables(const std::vector<TPredefinedVariable>& variables);
    void ReplaceDiskMapFromOriginal();
    void StartStartPage();
    std::optional<std::string> ReadInstallTitleOnDisk(const std::string& root, int32_t* disk_index);

    TProjectStartup startup_;
    std::string title_;
    int32_t screen_width_ = 0;
    int32_t screen_height_ = 0;
    int32_t full_screen_width_ = 0;
    int32_t full_screen_height_ = 0;
    std::string start_page_;
    std::string exit_page_;
    std::string registry_key_name_;
    int32_t ident_code_ = 0;
    bool write_status_data_ = true;
    bool throttle_frames_ = true;
    std::string streamed_extensions_;
    bool pause_when_inactive_ = false;
    bool first_disk_required_ = false;
    bool show_toolbar_ = true;
    std::unique_ptr<TProjectCallMan> call_man_;
    std::unique_ptr<TProjectSaveData> save_data_;
    bool status_loaded_ = false;
    std::vector<TSlotCaption> slot_captions_;
    TFolderDiskList disk_map_;
    std::optional<std::string> save_file_name_;
    std::string saving_off_message_;
    bool save_folder_to_create_ = false;
    std::string disk_prompt_;
    std::string exit_prompt_;
};

// The process-wide project, or null before it is made and after it is freed.
TProject* Project();

// The disk prompt with each "%d" replaced by the disk number (and "%%" by "%"); the text
// comes from the game and is never used as a printf format.
std::string FormatDiskPrompt(const std::string& prompt, int32_t disk);

}  // namespace mobu
