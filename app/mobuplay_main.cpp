// mobuplay: the player. Plays a game in a window, or headless for tests and machines
// without a display.
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/mobu_version.h"
#include "app/config_runner.h"
#include "core/globals.h"
#include "app/headless_runner.h"
#include "core/mobu_error.h"
#include "archive/vr_file_manager.h"
#include "platform/allocator_tuning.h"
#include "platform/instance_lock.h"
#include "platform/optical_drives.h"
#include "platform/real_files.h"
#include "platform/script_log_files.h"
#include "platform/sdl_window.h"
#include "platform/text_encoding.h"
#include "app/window_front_end.h"

int main(int argc, char** argv)
{
    using namespace mobu;
    KeepFreedMemoryForReuse();
    TCommandLine line;
    try {
        line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const EMobuError& error) {
        std::fprintf(stderr, "mobuplay: %s\n", Cp932ToUtf8(error.what()).c_str());
        return 2;
    }
    if (line.help) {
        std::fputs(HelpText().c_str(), stdout);
        return 0;
    }
    if (line.version) {
        std::printf("mobuplay %s\n", kMobuVersion);
        return 0;
    }
    std::string executable = ExecutablePath();
    // Damaged files' reasons always, script failures under MOBU_TRACE.
    TScriptLogStandardError standard_error_log;

    // A player started from an optical disc ends at once: the game is meant to be
    // installed first.
    if (IsOnOpticalDisc(executable)) return 0;

    // The settings dialog opens even while the game runs (the player reads the file at its
    // next start), and creates nothing of the player.
    if (line.config) return RunConfig(line, executable);

    int status = 0;
    if (line.headless) {
        // The headless runner takes no instance lock: test runs may play one game side by side.
        status = RunHeadless(line, executable);
    } else {
        TInstanceLock lock;
        std::string game_key = line.games.empty() ? RealFolderOf(executable) : line.games.front();
        if (!lock.Acquire(game_key)) return 0;  // this game is already running
        // Without a display the window would never be seen: end at once and say why.
        if (std::string reason = NoDisplayReason(); !reason.empty()) {
            std::fprintf(stderr, "mobuplay: %s; --headless runs the game without one\n", reason.c_str());
            return 1;
        }
        status = RunWindow(line, executable);
    }
    // Process end: the file manager queues its extracted work files, then every queued
    // temporary file goes.
    ResetVrFileManager();
    DeleteTempFiles();
    return status;
}
