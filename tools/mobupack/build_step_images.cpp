// Build step: images marked for conversion become layered images. A source file named
// NAME.fsk.png, NAME.fsk.bmp or NAME.fsk.dib (any letter case) is read as a one-frame
// image and packed as NAME.fsk (the name the game loads), written in the default
// compression or, when the project has an identification code, scrambled with it; the
// source itself is not packed.
#include "app/mobu_error.h"
#include "graphics/fesk_frame_list.h"
#include "platform/durable_files.h"
#include "platform/text_encoding.h"
#include "tools/mobupack/build_pipeline.h"

namespace mobu::mobupack {
namespace {

// "png", "bmp" or "dib" when the name ends in ".fsk.png" (and the like), else empty.
std::string MarkedImageKind(const std::string& relative)
{
    static const char* const kKinds[] = {"png", "bmp", "dib"};
    const std::string marker = ".fsk.";
    if (relative.size() < marker.size() + 3) return {};
    std::string tail = relative.substr(relative.size() - marker.size() - 3);
    for (char& c : tail)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    for (const char* kind : kKinds)
        if (tail == marker + kind) return kind;
    return {};
}

void ConvertImages(TBuildContext& context)
{
    for (const std::string& relative : SourceFiles(context)) {
        const std::string kind = MarkedImageKind(relative);
        if (kind.empty() || context.IsClaimed(relative)) continue;
        const std::string source_name = ArchiveNameOf(relative);
        const std::string target_name = source_name.substr(0, source_name.size() - 4);  // drops ".png"
        std::optional<std::string> bytes = ReadRealFile(context.source_folder + relative);
        if (!bytes) throw EMobuError(source_name + ": cannot be read");
        TFeskFrameList list(context.project.ident_code);
        try {
            list.LoadFromBytes(*bytes, kind, false, false, false);
        } catch (const EMobuError& error) {
            throw EMobuError(source_name + ": " + error.what());
        }
        if (list.Count() == 0) throw EMobuError(source_name + ": no image");
        context.AddGeneratedFile(target_name, list.SaveToStream(kFeskDefaultCompression, 70));
        context.Claim(relative);
    }
}

const TBuildStepRegistration registration({400, "images", ConvertImages});

}  // namespace
}  // namespace mobu::mobupack
