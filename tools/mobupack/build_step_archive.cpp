// Build step: writes the assembled archive as OUTDIR/game.dat. A failed write leaves no
// partial archive behind.
#include "core/mobu_error.h"
#include "archive/big_file_stream.h"
#include "platform/real_files.h"
#include "platform/text_encoding.h"
#include "tools/mobupack/build_pipeline.h"

namespace mobu::mobupack {
namespace {

void WriteGameArchive(TBuildContext& context)
{
    const std::string path = context.output_folder + "game.dat";
    try {
        TKsBigFileStream target(path, TKsBigFileStream::Mode::Create);
        if (!context.archive.WriteArchive(target) || !target.Sync()) {
            throw EMobuError(Utf8ToCp932(path + ": cannot be written"));
        }
    } catch (...) {
        DeleteRealFile(path);
        throw;
    }
}

const TBuildStepRegistration registration({900, "archive", WriteGameArchive});

}  // namespace
}  // namespace mobu::mobupack
