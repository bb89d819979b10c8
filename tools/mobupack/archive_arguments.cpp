#include "tools/mobupack/archive_arguments.h"

#include <cstdio>

#include "core/mobu_error.h"
#include "archive/archive_messages.h"
#include "core/name_case.h"
#include "platform/real_files.h"
#include "platform/text_encoding.h"

namespace mobu::mobupack {

std::unique_ptr<TVrFileCollection> OpenArchiveArgument(const std::string& path_utf8)
{
    if (!RealFileExists(path_utf8)) throw EMobuError(archive_messages::FileNotFound(Utf8ToCp932(path_utf8)));
    // Any program file (ELF or Windows) ending with the "mb" trailer carries an archive.
    bool executable = false;
    if (HasArchiveTrailer(path_utf8)) {
        auto file = TRealFile::Open(path_utf8, TRealFile::Mode::Read);
        char magic[4] = {0, 0, 0, 0};
        if (file && file->ReadAt(magic, 4, 0) == 4) {
            executable = std::string(magic, 4) == "\x7f" "ELF" || (magic[0] == 'M' && magic[1] == 'Z');
        }
    }
    auto archive = std::make_unique<TVrFileCollection>();
    archive->OpenArchive(path_utf8, false, executable);
    return archive;
}

std::string EntryNameForOutput(const std::string& cp932_name) { return Cp932ToUtf8(cp932_name); }

std::string EntryNameFromArgument(const std::string& utf8_name)
{
    std::string name = Utf8ToCp932(utf8_name);
    for (size_t i = 0; i < name.size(); ++i) {
        if (IsCp932LeadByte(static_cast<unsigned char>(name[i]))) {
            ++i;
        } else if (name[i] == '/') {
            name[i] = '\\';
        }
    }
    return name;
}

bool WriteStdout(const std::string& bytes)
{
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) return false;
    return std::fflush(stdout) == 0;
}

}  // namespace mobu::mobupack
