#include "platform/script_log_files.h"

#include <cstdlib>
#include <cstring>

#include "platform/durable_files.h"
#include "platform/real_files.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

bool TraceWanted()
{
    const char* setting = std::getenv("MOBU_TRACE");
    return setting && *setting && std::strcmp(setting, "0") != 0;
}

}  // namespace

TScriptLogStandardError::TScriptLogStandardError(bool failures) : failures_(failures || TraceWanted())
{
    AddScriptLogSink(this);
}

TScriptLogStandardError::~TScriptLogStandardError() { RemoveScriptLogSink(this); }

void TScriptLogStandardError::WriteLine(const std::string& cp932_line, bool diagnostic)
{
    if (!diagnostic && !failures_) return;
    std::fprintf(stderr, "%s%s\n", diagnostic ? "mobu: " : "script: ", Cp932ToUtf8(cp932_line).c_str());
}

TScriptLogFile::TScriptLogFile(std::string path_utf8, bool fresh, int64_t limit_bytes)
    : path_(std::move(path_utf8)), limit_(limit_bytes)
{
    if (fresh) Open("wb");
    else waiting_ = true;
    AddScriptLogSink(this);
}

TScriptLogFile::~TScriptLogFile()
{
    RemoveScriptLogSink(this);
    if (file_) std::fclose(file_);
}

void TScriptLogFile::Open(const char* mode)
{
    file_ = std::fopen(path_.c_str(), mode);
    size_ = 0;
    if (file_ && std::fseek(file_, 0, SEEK_END) == 0) size_ = std::ftell(file_);
}

void TScriptLogFile::WriteLine(const std::string& cp932_line, bool)
{
    if (waiting_) {
        waiting_ = false;
        const std::string folder = RealFolderOf(path_);
        if (!folder.empty()) CreateRealFolders(folder);
        Open("ab");
    }
    if (!file_) return;
    const std::string line = Cp932ToUtf8(cp932_line) + "\n";
    if (size_ > 0 && size_ + static_cast<int64_t>(line.size()) > limit_) {
        std::fclose(file_);
        std::rename(path_.c_str(), (path_ + ".1").c_str());
        Open("wb");
        if (!file_) return;
    }
    if (std::fwrite(line.data(), 1, line.size(), file_) == line.size()) size_ += static_cast<int64_t>(line.size());
    std::fflush(file_);
}

}  // namespace mobu
