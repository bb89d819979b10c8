// Build step: the checks of the game (tools/mobupack/check_*.cpp) over what the earlier
// steps assembled. Errors, and warnings under --werror, stop the build before the archive
// is written; other warnings are printed and the build goes on.
#include <cstdio>

#include "platform/real_files.h"
#include "tools/mobupack/build_pipeline.h"
#include "tools/mobupack/checked_game.h"

namespace mobu::mobupack {
namespace {

void CheckGame(TBuildContext& context)
{
    TCheckedGame game = ReadCheckedGame(context.archive, context.project, context.page_sources, context.report);
    std::optional<std::string> project = FindRealSibling(context.source_folder, "project.ini");
    game.project_file = project ? RealFileNameOf(*project) : "project.ini";
    game.project_lines = ProjectKeyLines(context.project_text);
    RunGameChecks(game, context.report);
    if (context.report.Fails(context.warnings_are_errors)) context.Stop();
    std::fputs(context.report.Text().c_str(), stderr);
}

const TBuildStepRegistration registration({870, "checks", CheckGame});

}  // namespace
}  // namespace mobu::mobupack
