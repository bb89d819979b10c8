// Build step: project.ini -> the entry "mobu.mpb".
#include "core/mobu_error.h"
#include "platform/durable_files.h"
#include "platform/real_files.h"
#include "platform/text_encoding.h"
#include "script/project_source.h"
#include "tools/mobupack/build_pipeline.h"

namespace mobu::mobupack {
namespace {

void CompileProject(TBuildContext& context)
{
    std::optional<std::string> path = FindRealSibling(context.source_folder, "project.ini");
    if (!path) throw EMobuError(Utf8ToCp932(context.source_folder + "project.ini: no such file"));
    const std::optional<std::string> text = context.ReadSourceText(RealFileNameOf(*path));
    context.project_text = *text;
    try {
        context.project = CompileProjectSource(*text, RealFileNameOf(*path));
    } catch (const EMobuError& error) {
        AddLocatedError(context.report, RealFileNameOf(*path), Cp932ToUtf8(error.what()));
        context.Stop();
    }
    context.Claim(RealFileNameOf(*path));
    context.AddGeneratedFile("mobu.mpb", context.project.Write());
}

const TBuildStepRegistration registration({100, "project", CompileProject});

}  // namespace
}  // namespace mobu::mobupack
