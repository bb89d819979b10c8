// mobupack asm SOURCE.mss OUT.msb: compiles a page source into a page file.
#include <cstdio>
#include <filesystem>

#include "core/mobu_error.h"
#include "platform/durable_files.h"
#include "platform/text_encoding.h"
#include "script/page_source.h"
#include "tools/mobupack/command_registry.h"

namespace mobu::mobupack {
namespace {

int RunAsm(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: mobupack asm SOURCE.mss OUT.msb\n");
        return 2;
    }
    std::optional<std::string> source = ReadRealFile(arguments[0]);
    if (!source) throw EMobuError(Utf8ToCp932(arguments[0] + ": cannot be read"));
    TPageSourceOptions options;
    options.page_name = Utf8ToCp932(std::filesystem::path(arguments[1]).filename().string());
    std::string bytes;
    try {
        bytes = AssemblePage(*source, options);
    } catch (const EMobuError& error) {
        throw EMobuError(Utf8ToCp932(arguments[0] + ": ") + error.what());
    }
    if (!ReplaceFileAtomically(arguments[1], bytes)) throw EMobuError(Utf8ToCp932(arguments[1] + ": cannot be written"));
    return 0;
}

const CommandRegistration registration({
    "asm",
    "asm SOURCE.mss OUT.msb",
    "Compiles a page source (docs/page-source.md) into a script page file.",
    RunAsm,
});

}  // namespace
}  // namespace mobu::mobupack
