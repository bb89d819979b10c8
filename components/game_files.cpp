#include "components/game_files.h"

#include "archive/archive_messages.h"
#include "archive/vr_file_manager.h"
#include "core/mobu_error.h"
#include "core/script_log.h"
#include "script/project.h"

namespace mobu {

std::optional<std::string> ReadGameFile(const std::string& path)
{
    if (path.empty()) return std::nullopt;
    try {
        TProject* project = Project();
        const bool available = project ? project->EnsureAvailable(path) : VrFileManager().Exists(path);
        if (!available) {
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
