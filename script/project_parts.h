// The parts of the running project that other subsystems provide: the save container
// with the status data and the saved games, the variable table, and the script call
// manager. The project talks to them only through these interfaces; until a subsystem
// installs its part, the project does without it (nothing is loaded, no variable is
// created, no page runs) and says so through the accessors, never pretending.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "script/project_setting.h"

namespace mobu {

class TProject;

// Caption of one saved game and its slot number.
struct TSlotCaption {
    std::string caption;  // cp932
    int32_t slot = 0;
};

// The save container (status data, "save:" files and the saved games).
class TProjectSaveData {
public:
    virtual ~TProjectSaveData() = default;
    // Loads the status data and the "save:" files from the save file (UTF-8 path).
    virtual void LoadStatus(const std::string& save_file) = 0;
    // Writes the status data back (the container honours the project's WriteStatusData).
    virtual void SaveStatus(const std::string& save_file) = 0;
    // The captions of the saved games in the save file.
    virtual std::vector<TSlotCaption> ReadSlotCaptions(const std::string& save_file) = 0;
    // Performs the project's pending game load and then its pending game save; true when a
    // load was performed.
    virtual bool ProcessPendingSaveLoad(TProject& project) = 0;
};

// The variable table, as far as the project needs it: the predefined status variables.
class TProjectVariables {
public:
    virtual ~TProjectVariables() = default;
    virtual bool Exists(const std::string& name) = 0;
    // Creates a variable of the record's type and name, marks it as a status variable and
    // gives it the record's initial value.
    virtual void CreateStatusVariable(const TPredefinedVariable& variable) = 0;
};

// The script call manager.
class TProjectCallMan {
public:
    virtual ~TProjectCallMan() = default;
    virtual void StartPage(const std::string& page) = 0;
    // Runs the script until a command yields.
    virtual void Run() = 0;
};

struct TProjectParts {
    std::function<std::unique_ptr<TProjectSaveData>()> make_save_data;
    // The variable table when it exists (it is created by the main window before the
    // project), else null.
    std::function<TProjectVariables*()> variables;
    std::function<std::unique_ptr<TProjectCallMan>()> make_call_man;
    // Asks the main window to close (used when the player gives up waiting for a disk).
    std::function<void()> request_close;
    // False when nobody can answer a message box (the headless runner): the waits for a
    // game disk then give up after one search instead of asking again for ever.
    bool interactive = true;
    // The watchdog: a frame whose script runs this long (wall time, ms; 0: never) without
    // giving the frame back asks whether to stop the game (game.ini [Debug] SpinLimitMs).
    uint32_t spin_limit_ms = 5000;
    // Set when the watchdog stopped the game.
    bool spin_stopped = false;
};

// The parts the next project will use. Installed by each subsystem as it exists (or by
// the front end); tests install their own.
TProjectParts& ProjectParts();

}  // namespace mobu
