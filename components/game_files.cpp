#include "components/game_files.h"

#include "archive/archive_messages.h"
#include "archive/vr_file_manager.h"
#include "core/mobu_error.h"
#include "core/script_log.h"
#include "script/project.h"

namespace mobu {
namespace {

// Makes the file available (a disk change when the project knows another disk holds it) and
// answers whether it is there; raises for a path the virtual files refuse.
bool MakeAvailable(const std::string& path)
{
    TProject* project = Project();
    return project ? project->EnsureAvailable(path) : VrFileManager().Exists(path);
}

}  // namespace

bool GameFileExists(const std::string& path)
{
    if (path.empty()) return false;
    try {
        return MakeAvailable(path);
    } catch (const EMobuError&) {
        return false;
    }
}

std::optional<std::string> ReadGameFile(const std::string& path)
{
    if (path.empty()) return std::nullopt;
    try {
        if (!MakeAvailable(path)) {
            ReportScriptFailure(archive_messages::FileNotFound(path));
            return std::nullopt;
        }
        return VrFileManager().ReadFile(path);
    } catch (const EMobuError& error) {
        ReportScriptFailure(error.what());
        return std::nullopt;
    }
}

}  // namespace mobu
