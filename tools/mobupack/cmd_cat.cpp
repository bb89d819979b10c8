// mobupack cat ARCHIVE NAME: the entry's bytes, inflated, on standard output.
#include <cstdio>

#include "core/mobu_error.h"
#include "archive/archive_messages.h"
#include "platform/text_encoding.h"
#include "tools/mobupack/archive_arguments.h"
#include "tools/mobupack/command_registry.h"

namespace mobu::mobupack {
namespace {

int RunCat(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: mobupack cat ARCHIVE NAME\n");
        return 2;
    }
    auto archive = OpenArchiveArgument(arguments[0]);
    std::string name = EntryNameFromArgument(arguments[1]);
    const TVrFile* entry = archive->Find(name);
    if (entry == nullptr) throw EMobuError(archive_messages::FileNotFound(name));
    std::string bytes;
    archive->ReadEntry(*entry, bytes);
    return WriteStdout(bytes) ? 0 : 1;
}

const CommandRegistration registration({
    "cat",
    "cat ARCHIVE NAME",
    "Writes the entry's bytes (inflated) to standard output; NAME is UTF-8, matched without case like the player does.",
    RunCat,
});

}  // namespace
}  // namespace mobu::mobupack
