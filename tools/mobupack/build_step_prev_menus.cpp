// Build step: preview-menu sources become preview-menu files. A source named NAME.mmt.ini
// (any letter case) is read as preview-menu source and packed as NAME.mmt (version 106);
// the source itself is not packed.
#include "components/prev_menu_source.h"
#include "core/mobu_error.h"
#include "platform/durable_files.h"
#include "tools/mobupack/build_pipeline.h"

namespace mobu::mobupack {
namespace {

bool IsPrevMenuSource(const std::string& relative)
{
    const std::string marker = ".mmt.ini";
    if (relative.size() <= marker.size()) return false;
    std::string tail = relative.substr(relative.size() - marker.size());
    for (char& c : tail)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return tail == marker;
}

void CompilePrevMenus(TBuildContext& context)
{
    for (const std::string& relative : SourceFiles(context)) {
        if (context.IsClaimed(relative) || !IsPrevMenuSource(relative)) continue;
        const std::string source_name = ArchiveNameOf(relative);
        const std::optional<std::string> text = context.ReadSourceText(relative);
        try {
            context.AddGeneratedFile(source_name.substr(0, source_name.size() - 4),
                                     WritePrevMenuFile(ReadPrevMenuSource(*text)));
        } catch (const EMobuError& e) {
            throw EMobuError(source_name + ": " + e.what());
        }
        context.Claim(relative);
    }
}

const TBuildStepRegistration registration({450, "preview menus", CompilePrevMenus});

}  // namespace
}  // namespace mobu::mobupack
