// mobupack build SRC OUTDIR: compiles a game source folder into OUTDIR/game.dat.
#include <cstdio>
#include <filesystem>

#include "core/mobu_error.h"
#include "platform/real_files.h"
#include "platform/text_encoding.h"
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
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: mobupack build SRC OUTDIR\n");
        return 2;
    }
    TBuildContext context;
    context.source_folder = WithSlash(AbsoluteRealPath(arguments[0]));
    context.output_folder = WithSlash(AbsoluteRealPath(arguments[1]));
    if (!RealFolderExists(context.source_folder)) {
        throw EMobuError(Utf8ToCp932(arguments[0] + ": no such folder"));
    }
    std::error_code error;
    std::filesystem::create_directories(context.output_folder, error);
    if (!RealFolderExists(context.output_folder)) {
        throw EMobuError(Utf8ToCp932(arguments[1] + ": cannot create the folder"));
    }
    context.archive.OpenArchive(context.source_folder);
    for (const TBuildStep& step : BuildSteps()) step.run(context);
    std::printf("%sgame.dat: %d files\n", context.output_folder.c_str(), static_cast<int>(context.archive.Count()));
    return 0;
}

const CommandRegistration registration({
    "build",
    "build SRC OUTDIR",
    "compile the game source folder SRC (project.ini and its files) into OUTDIR/game.dat; "
    "the project.ini format is described in docs/game-source.md",
    RunBuild,
});

}  // namespace
}  // namespace mobu::mobupack
