// Build step: every file of the source folder that no earlier step claimed, packed as it
// is.
#include "tools/mobupack/build_pipeline.h"

namespace mobu::mobupack {
namespace {

void CollectFiles(TBuildContext& context)
{
    for (const std::string& relative : SourceFiles(context))
        if (!context.IsClaimed(relative)) context.AddSourceFile(ArchiveNameOf(relative));
}

const TBuildStepRegistration registration({800, "files", CollectFiles});

}  // namespace
}  // namespace mobu::mobupack
