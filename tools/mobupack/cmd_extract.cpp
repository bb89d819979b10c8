// mobupack extract ARCHIVE DIR [NAME...]: writes entries as files under DIR, never outside.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/mobu_error.h"
#include "archive/archive_messages.h"
#include "platform/real_files.h"
#include "platform/text_encoding.h"
#include "tools/mobupack/archive_arguments.h"
#include "tools/mobupack/command_registry.h"

namespace mobu::mobupack {
namespace {

namespace fs = std::filesystem;

// True when `path` (whose parent exists) lies inside `root` once symlinks are resolved.
bool InsideFolder(const fs::path& root, const fs::path& path)
{
    std::error_code error;
    fs::path real_root = fs::canonical(root, error);
    if (error) return false;
    fs::path real_parent = fs::canonical(path.parent_path(), error);
    if (error) return false;
    auto [root_end, unused] = std::mismatch(real_root.begin(), real_root.end(), real_parent.begin(), real_parent.end());
    (void)unused;
    return root_end == real_root.end() && !fs::is_symlink(path);
}

// Writes one entry; a failure removes the partial file. Returns false after a message.
bool ExtractEntry(TVrFileCollection& archive, const TVrFile& entry, const fs::path& root)
{
    std::string shown = EntryNameForOutput(entry.Name());
    if (!IsSafeVirtualPath(entry.Name())) {
        std::fprintf(stderr, "mobupack extract: %s: name would leave the folder, skipped\n", shown.c_str());
        return false;
    }
    fs::path path = MapRealPath(root.string(), entry.Name());
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    if (error || !InsideFolder(root, path)) {
        std::fprintf(stderr, "mobupack extract: %s: cannot be written inside %s\n", shown.c_str(), root.c_str());
        return false;
    }
    std::string bytes;
    archive.ReadEntry(entry, bytes);
    auto file = TRealFile::Open(path.string(), TRealFile::Mode::Create);
    if (!file || !file->WriteAt(bytes.data(), bytes.size(), 0) || !file->Sync()) {
        file.reset();
        DeleteRealFile(path.string());
        std::fprintf(stderr, "mobupack extract: %s: cannot write %s\n", shown.c_str(), path.c_str());
        return false;
    }
    return true;
}

int RunExtract(const std::vector<std::string>& arguments)
{
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: mobupack extract ARCHIVE DIR [NAME...]\n");
        return 2;
    }
    auto archive = OpenArchiveArgument(arguments[0]);
    fs::path root = arguments[1];
    std::error_code error;
    fs::create_directories(root, error);
    if (!fs::is_directory(root)) throw EMobuError(archive_messages::CannotWrite(Utf8ToCp932(arguments[1])));
    bool ok = true;
    if (arguments.size() == 2) {
        for (int i = 0; i < archive->Count(); ++i) {
            const TVrFile& entry = *archive->Item(i);
            if (entry.Name() == kEofEntryName) continue;
            ok = ExtractEntry(*archive, entry, root) && ok;
        }
    } else {
        for (size_t i = 2; i < arguments.size(); ++i) {
            const TVrFile* entry = archive->Find(EntryNameFromArgument(arguments[i]));
            if (entry == nullptr || entry->Name() == kEofEntryName) {
                std::fprintf(stderr, "mobupack extract: %s: no such entry\n", arguments[i].c_str());
                ok = false;
                continue;
            }
            ok = ExtractEntry(*archive, *entry, root) && ok;
        }
    }
    return ok ? 0 : 1;
}

const CommandRegistration registration({
    "extract",
    "extract ARCHIVE DIR [NAME...]",
    "Writes every entry (or the named ones, UTF-8, matched without case) as files under DIR; "
    "names that would leave DIR (\"..\", absolute, drive letters) are refused.",
    RunExtract,
});

}  // namespace
}  // namespace mobu::mobupack
