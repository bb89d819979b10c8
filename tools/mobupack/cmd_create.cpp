// mobupack create DIR ARCHIVE: packs every file under DIR by the player's archive rules.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/mobu_error.h"
#include "archive/archive_messages.h"
#include "archive/big_file_stream.h"
#include "archive/vr_file_collection.h"
#include "platform/real_files.h"
#include "platform/text_encoding.h"
#include "tools/mobupack/build_pipeline.h"
#include "tools/mobupack/command_registry.h"

namespace mobu::mobupack {
namespace {

namespace fs = std::filesystem;

int RunCreate(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: mobupack create DIR ARCHIVE\n");
        return 2;
    }
    fs::path root = arguments[0];
    if (!fs::is_directory(root)) throw EMobuError(archive_messages::FileNotFound(Utf8ToCp932(arguments[0])));
    fs::path output = fs::absolute(arguments[1]);

    // Virtual names: paths relative to DIR with "\" separators, in a stable (sorted) order.
    std::vector<std::string> names;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root, error); !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (!it->is_regular_file()) continue;
        if (fs::exists(output) && fs::equivalent(it->path(), output)) continue;
        names.push_back(ArchiveNameOf(fs::relative(it->path(), root).generic_string()));
    }
    if (error) throw EMobuError(archive_messages::FileNotFound(Utf8ToCp932(arguments[0])));
    std::sort(names.begin(), names.end());

    TVrFileCollection pack;
    pack.OpenArchive(root.string());
    for (const auto& name : names) pack.AddFileEntry(name);
    // Written beside the target first, so a failure never leaves a half archive behind.
    std::string temporary = (output.parent_path() / (".mobupack-partial-" + output.filename().string())).string();
    int part_count = 0;
    try {
        TKsBigFileStream out(temporary, TKsBigFileStream::Mode::Create);
        pack.WriteArchive(out);
        if (!out.Sync()) throw EMobuError(archive_messages::CannotWrite(Utf8ToCp932(temporary)));
        part_count = out.PartCount();
    } catch (...) {
        for (int i = 0; i < 1000 && DeleteRealFile(TKsBigFileStream::PartPath(temporary, i)); ++i) {
        }
        throw;
    }
    // Parts the old archive had beyond the new one's would be read as its continuation.
    for (int i = std::max(part_count, 1); i < 1000 && DeleteRealFile(TKsBigFileStream::PartPath(output.string(), i)); ++i) {
    }
    for (int i = 0; i < part_count; ++i) {
        std::string from = TKsBigFileStream::PartPath(temporary, i);
        fs::rename(from, TKsBigFileStream::PartPath(output.string(), i), error);
        if (error) throw EMobuError(archive_messages::CannotWrite(Utf8ToCp932(output.string())));
    }
    std::printf("%zu files packed into %s\n", names.size(), arguments[1].c_str());
    return 0;
}

const CommandRegistration registration({
    "create",
    "create DIR ARCHIVE",
    "Packs every file under DIR into ARCHIVE (names relative to DIR with \"\\\"); small files are zlib-compressed "
    "unless media or not worth it, like the player's own writer.",
    RunCreate,
});

}  // namespace
}  // namespace mobu::mobupack
