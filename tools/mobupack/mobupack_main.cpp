// mobupack: the game author's tool (packing, listing and building games) and the test
// suite's way to make and inspect game files.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>

#include "app/mobu_version.h"
#include "core/mobu_error.h"
#include "platform/allocator_tuning.h"
#include "platform/script_log_files.h"
#include "platform/text_encoding.h"
#include "tools/mobupack/command_registry.h"

namespace mobu::mobupack {
namespace {

std::vector<Command>& Registry()
{
    static std::vector<Command> commands;
    return commands;
}

void PrintHelp(std::FILE* out)
{
    std::fprintf(out, "usage: mobupack COMMAND [ARGUMENTS...]\n       mobupack --help | --version\n\ncommands:\n");
    std::vector<Command> sorted = Registry();
    std::sort(sorted.begin(), sorted.end(), [](const Command& a, const Command& b) { return a.name < b.name; });
    for (const auto& command : sorted) {
        std::fprintf(out, "  %s\n      %s\n", command.usage.c_str(), command.summary.c_str());
    }
    std::fprintf(out, "\nNames of archive entries are given and printed in UTF-8; inside the archive they are cp932.\n");
}

}  // namespace

const std::vector<Command>& Commands() { return Registry(); }

CommandRegistration::CommandRegistration(Command command) { Registry().push_back(std::move(command)); }

}  // namespace mobu::mobupack

int main(int argc, char** argv)
{
    using namespace mobu::mobupack;
    mobu::KeepFreedMemoryForReuse();
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintHelp(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("mobupack %s\n", mobu::kMobuVersion);
        return 0;
    }
    // The precise reason of a damaged archive (list, cat, extract...) goes to standard
    // error before the command's short message.
    mobu::TScriptLogStandardError reasons;
    for (const auto& command : Commands()) {
        if (command.name == argv[1]) {
            std::vector<std::string> arguments(argv + 2, argv + argc);
            try {
                return command.run(arguments);
            } catch (const mobu::EMobuError& error) {
                std::fprintf(stderr, "mobupack %s: %s\n", argv[1], mobu::Cp932ToUtf8(error.what()).c_str());
                return 1;
            } catch (const std::exception& error) {
                std::fprintf(stderr, "mobupack %s: %s\n", argv[1], error.what());
                return 1;
            }
        }
    }
    std::fprintf(stderr, "mobupack: unknown command '%s' (see mobupack --help)\n", argv[1]);
    return 2;
}
