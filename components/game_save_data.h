// TGameSaveData: the save container. It keeps every saved game ("GAMESAVEDATA" + slot),
// the status data ("STATUSSAVEDATA") and the "save:" files in the save file, and performs
// the script's GameSave and GameLoad requests at the end of a frame. Every change of the
// file goes through ReplaceSaveEntry (crash-safe, locked, with a backup); a write that fails
// leaves the file and the caption list as they were, says why and lets the game go on.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "script/project_parts.h"

namespace mobu {

class TCallMan;
class TMobuBaseList;
class TParamCollection;

// Versions of the stored entries.
inline constexpr int32_t kGameSaveVersion = 140;
inline constexpr int32_t kOldestGameSaveVersion = 107;
inline constexpr int32_t kStatusVersion = 103;
inline constexpr char kGameSaveEntryPrefix[] = "GAMESAVEDATA";
inline constexpr char kStatusEntryName[] = "STATUSSAVEDATA";

// The parts a save holds; each is looked up when used (null: that part is skipped).
struct TGameSaveParts {
    TMobuBaseList* list = nullptr;
    std::function<TCallMan*()> call_man;
    std::function<TParamCollection*()> variables;
};

class TGameSaveData : public TProjectSaveData {
public:
    explicit TGameSaveData(TGameSaveParts parts);
    ~TGameSaveData() override;

    // ---- the project's part ----
    void LoadStatus(const std::string& save_file) override;
    void SaveStatus(const std::string& save_file) override;
    std::vector<TSlotCaption> ReadSlotCaptions(const std::string& save_file) override;
    bool ProcessPendingSaveLoad(TProject& project) override;

    // ---- the operations ----
    // False when nothing was written (an empty caption, or a failed write: then the box
    // "セーブできませんでした" with the reason has been shown).
    bool GameSave(TProject& project, int32_t slot, const std::string& resume_page, const std::string& caption,
                  int32_t resume_index);
    // False when the load failed (the game is then stopped with the system's message) or
    // when there was nothing to load (no file, no slot).
    bool GameLoad(const std::string& save_file, int32_t slot, bool& failed);
    // Puts one entry into the save file; false with the reason when it could not be written.
    bool ReplaceSaveEntry(const std::string& save_file, const std::string& name, const std::string& bytes,
                          std::string* reason = nullptr);

    // ---- the entries ----
    std::string BuildGameEntry(const std::string& caption, const std::string& resume_page, int32_t resume_index);
    // Loads a game entry into the running state; a refused or damaged entry throws EMobuError
    // (a version outside 107..140 before anything changed).
    void LoadGameEntry(const std::string& bytes);
    std::string BuildStatusEntry();
    // Reads the status data; throws EMobuError when it cannot be read.
    void LoadStatusEntry(const std::string& bytes);
    // Writes the status data when it changed since the last write and `interval_ms` have
    // passed since then (read marks and status variables survive a crash).
    void SaveStatusIfChanged(const std::string& save_file, uint64_t now_ms);
    static constexpr uint64_t kStatusIntervalMs = 30000;
    // Whether the status data of the save file could not be read (then it is never written).
    bool StatusUnreadable() const { return status_unreadable_; }

    // The slot entries' name for `slot`.
    static std::string EntryName(int32_t slot);
    // The caption of a game entry (throws on a damaged one).
    static std::string CaptionOf(const std::string& entry_bytes);
    // The slot of an entry named "GAMESAVEDATA" + n, n >= 0 fitting 32 bits; -1 otherwise.
    static int32_t SlotOfEntryName(const std::string& name);

private:
    TCallMan* CallMan() const;
    TParamCollection* Variables() const;
    void ReportSaveFailure(const std::string& reason);

    TGameSaveParts parts_;
    std::string save_file_;
    bool status_unreadable_ = false;
    // Table sections read while no table database is installed, written back unchanged.
    std::string game_tables_;
    std::string status_tables_;
    // The status data as last read or written, and when that was (ms of the steady clock).
    std::string last_status_;
    uint64_t last_status_ms_ = 0;
    bool status_clock_started_ = false;
};

}  // namespace mobu
