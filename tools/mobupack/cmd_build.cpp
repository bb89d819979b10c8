// mobupack build [--werror] SRC OUTDIR: compiles a game source folder into OUTDIR/game.dat,
// checking the game on the way (findings as "FILE:LINE: error|warning: message").
#include <cstdio>
#include <filesystem>

#include "core/mobu_error.h"
#include "platform/real_files.h"
#include "platform/text_encoding.h"
#include "tools/mobupack/build_options.h"
#include "tools/mobupack/build_pipeline.h"
#include "tools/mobupack/command_registry.h"

namespace mobu::mobupack {
namespace {

std::string WithSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

int RunBuild(const std::vector<std::string>& arguments)
{
    TBuildOptions options;
    std::vector<std::string> rest;
    if (!ReadBuildOptions(arguments, options, rest) || rest.size() != 2) {
        std::fprintf(stderr, "usage: mobupack build %s SRC OUTDIR\n", kBuildOptionsUsage);
        return 2;
    }
    TBuildContext context;
    options.ApplyTo(context);
    context.source_folder = WithSlash(AbsoluteRealPath(rest[0]));
    context.output_folder = WithSlash(AbsoluteRealPath(rest[1]));
    if (!RealFolderExists(context.source_folder)) {
        throw EMobuError(Utf8ToCp932(rest[0] + ": no such folder"));
    }
    std::error_code error;
    std::filesystem::create_directories(context.output_folder, error);
    if (!RealFolderExists(context.output_folder)) {
        throw EMobuError(Utf8ToCp932(rest[1] + ": cannot create the folder"));
    }
    context.archive.OpenArchive(context.source_folder);
    for (const TBuildStep& step : BuildSteps()) step.run(context);
    std::printf("%sgame.dat: %d files\n", context.output_folder.c_str(), static_cast<int>(context.archive.Count()));
    return 0;
}

const CommandRegistration registration({
    "build",
    std::string("build ") + kBuildOptionsUsage + " SRC OUTDIR",
    "compile the game source folder SRC (project.ini and its files) into OUTDIR/game.dat; "
    "the project.ini format is described in docs/game-source.md. The game is checked on the way: "
    "findings are printed as FILE:LINE: error|warning: message; errors stop the build, warnings do not "
    "(--werror: they do too)",
    RunBuild,
});

}  // namespace
}  // namespace mobu::mobupack
