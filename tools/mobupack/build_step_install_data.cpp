// Build step: the entry "install.dat", when the game folder brings none. A player started
// without arguments (a game appended to the player, or game.dat beside it) refuses to run
// without install data, so every built game carries the installer's answer for a game
// that needs no disk: disk 0, the project's title, no disk needed.
#include "script/install_data.h"
#include "tools/mobupack/build_pipeline.h"

namespace mobu::mobupack {
namespace {

void AddInstallData(TBuildContext& context)
{
    if (context.archive.Find("install.dat") != nullptr) return;
    TInstallData data;
    data.title = context.project.title;
    data.no_disk_needed = true;
    context.AddGeneratedFile("install.dat", data.Write());
}

const TBuildStepRegistration registration({850, "install data", AddInstallData});

}  // namespace
}  // namespace mobu::mobupack
