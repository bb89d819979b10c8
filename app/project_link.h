// The running game as the shell sees it: the few facts and operations of the project the
// main window needs. Keeps the window code independent of how the project is built.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace mobu {

struct TGameStartup {
    std::vector<std::string> arguments;  // game folders or archives, UTF-8, as given
    std::string executable_path;         // UTF-8
};

class TProjectLink {
public:
    virtual ~TProjectLink() = default;
    virtual std::string Title() const = 0;  // cp932
    virtual int32_t ScreenWidth() const = 0;
    virtual int32_t ScreenHeight() const = 0;
    virtual bool ShowToolbar() const = 0;
    virtual bool PauseWhenInactive() const = 0;
    // Runs the script until it yields.
    virtual void Run() = 0;
    // Performs a pending game load, then a pending game save; true when a load happened.
    virtual bool ProcessPendingSaveLoad() = 0;
};

// Creates the project (reads the project file, the status data, starts the start page).
// Returns null when creation stopped on its own (a box already shown, or no project file
// at all; QuitRequested is then set); a failure for the main window to show throws
// EMobuError.
std::unique_ptr<TProjectLink> CreateProjectLink(const TGameStartup& startup);

}  // namespace mobu
