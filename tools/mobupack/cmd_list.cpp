// mobupack list ARCHIVE: one line per entry in index order.
#include <cstdio>

#include "archive/vr_file.h"
#include "tools/mobupack/archive_arguments.h"
#include "tools/mobupack/command_registry.h"

namespace mobu::mobupack {
namespace {

int RunList(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: mobupack list ARCHIVE\n");
        return 2;
    }
    auto archive = OpenArchiveArgument(arguments[0]);
    std::string out;
    for (int i = 0; i < archive->Count(); ++i) {
        const TVrFile& entry = *archive->Item(i);
        if (entry.Name() == kEofEntryName) continue;
        out += EntryNameForOutput(entry.Name()) + "\t" + std::to_string(entry.Size()) + "\t" +
               (entry.Stored ? "stored" : "zlib") + "\n";
    }
    return WriteStdout(out) ? 0 : 1;
}

const CommandRegistration registration({
    "list",
    "list ARCHIVE",
    "One line per entry in index order: name (UTF-8, \"\\\" as stored), stored byte count, stored|zlib. "
    "Reads game.dat (split or with its .ext index), an executable with an appended archive, and save.dat.",
    RunList,
});

}  // namespace
}  // namespace mobu::mobupack
