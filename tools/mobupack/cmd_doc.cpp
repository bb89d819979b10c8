// mobupack doc FOLDER: writes the authors' reference (FOLDER/reference.md) from the tables.
#include <cstdio>

#include "core/mobu_error.h"
#include "platform/durable_files.h"
#include "platform/text_encoding.h"
#include "tools/mobupack/authoring_reference.h"
#include "tools/mobupack/command_registry.h"

namespace mobu::mobupack {
namespace {

int RunDoc(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: mobupack doc FOLDER\n");
        return 2;
    }
    const std::string path = arguments[0] + "/reference.md";
    if (!ReplaceFileAtomically(path, AuthoringReference())) throw EMobuError(Utf8ToCp932(path + ": cannot be written"));
    return 0;
}

const CommandRegistration registration({
    "doc",
    "doc FOLDER",
    "write the authors' reference FOLDER/reference.md (commands, functions, system variables, properties) "
    "from the player's own tables (the project keeps it in docs/authoring)",
    RunDoc,
});

}  // namespace
}  // namespace mobu::mobupack
