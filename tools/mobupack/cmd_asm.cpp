// mobupack asm [--page NAME] SOURCE.mss OUT.msb: compiles a page source into a page file.
// Same-page label targets resolve by the page's own name: the source's name with "msb" for
// "mss", or NAME; never OUT's name, which may be a scratch file.
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
    std::vector<std::string> files;
    std::string page;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--page" && i + 1 < arguments.size()) page = arguments[++i];
        else files.push_back(arguments[i]);
    }
    if (files.size() != 2) {
        std::fprintf(stderr, "usage: mobupack asm [--page NAME.msb] SOURCE.mss OUT.msb\n");
        return 2;
    }
    std::optional<std::string> source = ReadRealFile(files[0]);
    if (!source) throw EMobuError(Utf8ToCp932(files[0] + ": cannot be read"));
    if (page.empty()) {
        page = std::filesystem::path(files[0]).filename().string();
        const size_t dot = page.find_last_of('.');
        page = (dot == std::string::npos ? page + "." : page.substr(0, dot + 1)) + "msb";
    }
    TPageSourceOptions options;
    options.page_name = Utf8ToCp932(page);
    std::string bytes;
    try {
        bytes = AssemblePage(*source, options);
    } catch (const EMobuError& error) {
        throw EMobuError(Utf8ToCp932(files[0] + ": ") + error.what());
    }
    if (!ReplaceFileAtomically(files[1], bytes)) throw EMobuError(Utf8ToCp932(files[1] + ": cannot be written"));
    return 0;
}

const CommandRegistration registration({
    "asm",
    "asm [--page NAME.msb] SOURCE.mss OUT.msb",
    "Compiles a page source (docs/page-source.md) into a script page file. Jumps into the page itself "
    "(page: NAME.msb with a label) resolve by the page's name: SOURCE's name with .msb, or --page NAME.msb.",
    RunAsm,
});

}  // namespace
}  // namespace mobu::mobupack
