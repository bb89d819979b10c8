// mobupack disasm PAGE.msb: prints a script page in page-source form.
#include <cstdio>
#include <filesystem>

#include "core/mobu_error.h"
#include "platform/durable_files.h"
#include "platform/text_encoding.h"
#include "script/page_source.h"
#include "tools/mobupack/archive_arguments.h"
#include "tools/mobupack/command_registry.h"

namespace mobu::mobupack {
namespace {

int RunDisasm(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: mobupack disasm PAGE.msb\n");
        return 2;
    }
    std::optional<std::string> bytes = ReadRealFile(arguments[0]);
    if (!bytes) throw EMobuError(Utf8ToCp932(arguments[0] + ": cannot be read"));
    const std::string name = Utf8ToCp932(std::filesystem::path(arguments[0]).filename().string());
    return WriteStdout(DisassemblePage(*bytes, name)) ? 0 : 1;
}

const CommandRegistration registration({
    "disasm",
    "disasm PAGE.msb",
    "Prints a script page file as page source (assembling the listing gives the page back).",
    RunDisasm,
});

}  // namespace
}  // namespace mobu::mobupack
