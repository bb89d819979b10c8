// mobupack append [--keep-debug] PLAYER ARCHIVE OUT: a player executable carrying the game
// archive, which then runs as a self-contained game. The copy of an ELF player loses its
// debug sections (objcopy --strip-debug, from binutils): a game is shipped, not debugged.
#include <climits>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/mobu_error.h"
#include "archive/archive_copy.h"
#include "archive/archive_messages.h"
#include "archive/big_file_stream.h"
#include "platform/real_files.h"
#include "platform/run_program.h"
#include "platform/text_encoding.h"
#include "tools/mobupack/archive_arguments.h"
#include "tools/mobupack/command_registry.h"

namespace mobu::mobupack {
namespace {

namespace fs = std::filesystem;

// An executable is one file, never split into parts.
constexpr int64_t kUnsplit = INT64_MAX / 4;

// Whether the file begins like a program: ELF, PE ("MZ") or Mach-O.
bool LooksExecutable(const std::string& path, bool& elf)
{
    auto file = TRealFile::Open(path, TRealFile::Mode::Read);
    unsigned char head[4] = {};
    if (!file || file->ReadAt(head, sizeof head, 0) != sizeof head) return false;
    elf = head[0] == 0x7F && head[1] == 'E' && head[2] == 'L' && head[3] == 'F';
    const uint32_t magic = static_cast<uint32_t>(head[0]) << 24 | static_cast<uint32_t>(head[1]) << 16 |
                           static_cast<uint32_t>(head[2]) << 8 | head[3];
    const bool mach = magic == 0xFEEDFACE || magic == 0xFEEDFACF || magic == 0xCEFAEDFE || magic == 0xCFFAEDFE ||
                      magic == 0xCAFEBABE;
    return elf || mach || (head[0] == 'M' && head[1] == 'Z');
}

int RunAppend(const std::vector<std::string>& all_arguments)
{
    bool keep_debug = false;
    std::vector<std::string> arguments;
    for (const std::string& argument : all_arguments) {
        if (argument == "--keep-debug") keep_debug = true;
        else arguments.push_back(argument);
    }
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: mobupack append [--keep-debug] PLAYER ARCHIVE OUT\n");
        return 2;
    }
    const std::string& output = arguments[2];
    bool elf = false;
    if (!RealFileExists(arguments[0])) throw EMobuError(archive_messages::FileNotFound(Utf8ToCp932(arguments[0])));
    if (!LooksExecutable(arguments[0], elf)) {
        throw EMobuError(Utf8ToCp932(arguments[0] + ": not an executable program (ELF, PE or Mach-O); PLAYER is the "
                                                     "built mobuplay"));
    }
    if (SameRealFile(arguments[0], output) || SameRealFile(arguments[1], output)) {
        std::fprintf(stderr, "mobupack append: OUT must differ from PLAYER and ARCHIVE\n");
        return 2;
    }
    // The player copied without its debug sections, beside OUT.
    const std::string stripped =
        (fs::absolute(output).parent_path() / (".mobupack-stripped-" + fs::path(output).filename().string())).string();
    std::string player = arguments[0];
    if (elf && !keep_debug) {
        if (RunProgram({"objcopy", "--strip-debug", arguments[0], stripped}) == 0) {
            player = stripped;
        } else {
            DeleteRealFile(stripped);
            std::fprintf(stderr, "mobupack append: objcopy (binutils) could not strip the player; it is copied with its "
                                 "debug sections\n");
        }
    }
    struct TRemove {
        std::string path;
        ~TRemove() { DeleteRealFile(path); }
    } remove_stripped{stripped};
    auto archive = OpenArchiveArgument(arguments[1]);
    auto program = TRealFile::Open(player, TRealFile::Mode::Read);
    if (!program) throw EMobuError(archive_messages::FileNotFound(Utf8ToCp932(player)));
    int64_t start = program->Size();
    // The archive start is stored as an int32.
    if (start > INT32_MAX) throw EMobuError(archive_messages::CannotWrite(Utf8ToCp932(output)));
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
    fs::permissions(temporary, fs::status(arguments[0]).permissions() | fs::perms::owner_exec, error);
    fs::rename(temporary, output, error);
    if (error) {
        DeleteRealFile(temporary);
        throw EMobuError(archive_messages::CannotWrite(Utf8ToCp932(output)));
    }
    return 0;
}

const CommandRegistration registration({
    "append",
    "append [--keep-debug] PLAYER ARCHIVE OUT",
    "Writes OUT: the PLAYER executable with ARCHIVE appended (entries copied as stored) and the \"mb\" trailer, "
    "a self-contained game that runs when started. An ELF player is copied without its debug sections "
    "(objcopy --strip-debug, package binutils) unless --keep-debug; a PLAYER that is no program is refused.",
    RunAppend,
});

}  // namespace
}  // namespace mobu::mobupack
