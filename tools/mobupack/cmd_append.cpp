// mobupack append PLAYER ARCHIVE OUT: a player executable carrying the game archive, which
// then runs as a self-contained game.
#include <climits>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/mobu_error.h"
#include "archive/archive_copy.h"
#include "archive/archive_messages.h"
#include "archive/big_file_stream.h"
#include "platform/real_files.h"
#include "platform/text_encoding.h"
#include "tools/mobupack/archive_arguments.h"
#include "tools/mobupack/command_registry.h"

namespace mobu::mobupack {
namespace {

namespace fs = std::filesystem;

// An executable is one file, never split into parts.
constexpr int64_t kUnsplit = INT64_MAX / 4;

int RunAppend(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: mobupack append PLAYER ARCHIVE OUT\n");
        return 2;
    }
    const std::string& player = arguments[0];
    const std::string& output = arguments[2];
    auto archive = OpenArchiveArgument(arguments[1]);
    auto program = TRealFile::Open(player, TRealFile::Mode::Read);
    if (!program) throw EMobuError(archive_messages::FileNotFound(Utf8ToCp932(player)));
    int64_t start = program->Size();
    // The archive start is stored as an int32.
    if (start > INT32_MAX) throw EMobuError(archive_messages::CannotWrite(Utf8ToCp932(output)));
    if (SameRealFile(player, output) || SameRealFile(arguments[1], output)) {
        std::fprintf(stderr, "mobupack append: OUT must differ from PLAYER and ARCHIVE\n");
        return 2;
    }
    std::string temporary = (fs::absolute(output).parent_path() / (".mobupack-partial-" + fs::path(output).filename().string())).string();
    try {
        TKsBigFileStream out(temporary, TKsBigFileStream::Mode::Create, kUnsplit);
        TKsBigFileStream in(player, TKsBigFileStream::Mode::Read, kUnsplit);
        if (out.CopyFrom(in, 0) != start) throw EMobuError(archive_messages::FileNotFound(Utf8ToCp932(player)));
        CopyArchive(*archive, out);
        int32_t start32 = static_cast<int32_t>(start);
        unsigned char trailer[6] = {static_cast<unsigned char>(start32), static_cast<unsigned char>(start32 >> 8),
                                    static_cast<unsigned char>(start32 >> 16), static_cast<unsigned char>(start32 >> 24), 'm', 'b'};
        out.Write(trailer, sizeof trailer);
        if (!out.Sync()) throw EMobuError(archive_messages::CannotWrite(Utf8ToCp932(output)));
    } catch (...) {
        DeleteRealFile(temporary);
        throw;
    }
    std::error_code error;
    fs::permissions(temporary, fs::status(player).permissions() | fs::perms::owner_exec, error);
    fs::rename(temporary, output, error);
    if (error) {
        DeleteRealFile(temporary);
        throw EMobuError(archive_messages::CannotWrite(Utf8ToCp932(output)));
    }
    return 0;
}

const CommandRegistration registration({
    "append",
    "append PLAYER ARCHIVE OUT",
    "Writes OUT: the PLAYER executable with ARCHIVE appended (entries copied as stored) and the \"mb\" trailer, "
    "a self-contained game that runs when started.",
    RunAppend,
});

}  // namespace
}  // namespace mobu::mobupack
