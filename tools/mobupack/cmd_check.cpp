// mobupack check [--werror] GAME: the checks of `mobupack build` without building, on a game
// source folder or on a built game (game.dat, or a program with an appended game), whose
// compiled pages are read back as they are stored.
#include <cstdio>

#include "archive/vr_file.h"
#include "core/mobu_error.h"
#include "platform/real_files.h"
#include "platform/text_encoding.h"
#include "script/project_setting.h"
#include "tools/mobupack/archive_arguments.h"
#include "tools/mobupack/build_options.h"
#include "tools/mobupack/checked_game.h"
#include "tools/mobupack/command_registry.h"

namespace mobu::mobupack {
namespace {

// The build's steps before the archive is written (the checks are one of them).
int CheckSourceFolder(const std::string& folder, const TBuildOptions& options)
{
    TBuildContext context;
    options.ApplyTo(context);
    context.source_folder = AbsoluteRealPath(folder);
    if (context.source_folder.empty() || context.source_folder.back() != '/') context.source_folder += '/';
    context.output_folder = context.source_folder + ".mobupack-check-writes-nothing/";
    context.archive.OpenArchive(context.source_folder);
    for (const TBuildStep& step : BuildSteps()) {
        if (step.order >= 900) break;
        step.run(context);
    }
    return 0;
}

int CheckBuiltGame(const std::string& path, const TBuildOptions& options)
{
    auto archive = OpenArchiveArgument(path);
    TCheckReport report;
    const TVrFile* project_entry = archive->Find("mobu.mpb");
    std::string project_bytes;
    if (!project_entry || !archive->ReadEntry(*project_entry, project_bytes)) {
        throw EMobuError(Utf8ToCp932(path + ": the game has no mobu.mpb"));
    }
    TCheckedGame game = ReadCheckedGame(*archive, TProjectSetting::Parse(project_bytes), {}, report);
    RunGameChecks(game, report);
    std::fputs(report.Text().c_str(), stderr);
    return report.Fails(options.warnings_are_errors) ? 1 : 0;
}

int RunCheck(const std::vector<std::string>& arguments)
{
    TBuildOptions options;
    std::vector<std::string> rest;
    if (!ReadBuildOptions(arguments, options, rest) || rest.size() != 1) {
        std::fprintf(stderr, "usage: mobupack check %s GAME\n", kBuildOptionsUsage);
        return 2;
    }
    return RealFolderExists(rest[0]) ? CheckSourceFolder(rest[0], options) : CheckBuiltGame(rest[0], options);
}

const CommandRegistration registration({
    "check",
    std::string("check ") + kBuildOptionsUsage + " GAME",
    "check a game source folder or a built game (game.dat, or a program with an appended game) as "
    "`build` does, without writing anything: FILE:LINE: error|warning: message; status 1 on errors "
    "(--werror: on warnings too)",
    RunCheck,
});

}  // namespace
}  // namespace mobu::mobupack
