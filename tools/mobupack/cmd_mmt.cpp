// mobupack mmt: prints a preview-menu file (any version 100-106) as its source text.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "components/prev_menu_source.h"
#include "core/mobu_error.h"
#include "platform/text_encoding.h"
#include "tools/mobupack/command_registry.h"

namespace mobu::mobupack {
namespace {

int RunMmt(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 1 || arguments[0].rfind("--", 0) == 0) {
        std::fputs("usage: mobupack mmt FILE.mmt   print a preview-menu file as source text\n", stderr);
        return 2;
    }
    std::ifstream in(arguments[0], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "mobupack mmt: %s: cannot read\n", arguments[0].c_str());
        return 1;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    try {
        std::fputs(PrevMenuSourceText(ReadPrevMenuFile(bytes)).c_str(), stdout);
    } catch (const EMobuError& e) {
        std::fprintf(stderr, "%s\n", Cp932ToUtf8(e.what()).c_str());
        return 1;
    }
    return 0;
}

const CommandRegistration kRegistration({"mmt", "mmt FILE.mmt", "print a preview-menu file as source text", RunMmt});

}  // namespace
}  // namespace mobu::mobupack
