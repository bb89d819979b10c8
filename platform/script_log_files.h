// Where the script log goes: standard error and log files, in UTF-8. The sinks register
// themselves with the script log while they live.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/script_log.h"

namespace mobu {

// Standard error: diagnostics always, script failures only when MOBU_TRACE is set to
// something other than "" or "0" (or when `failures` forces it).
class TScriptLogStandardError : public TScriptLogSink {
public:
    explicit TScriptLogStandardError(bool failures = false);
    ~TScriptLogStandardError() override;
    TScriptLogStandardError(const TScriptLogStandardError&) = delete;
    TScriptLogStandardError& operator=(const TScriptLogStandardError&) = delete;
    void WriteLine(const std::string& cp932_line, bool diagnostic) override;

private:
    bool failures_;
};

// A log file, appended to line by line (each line flushed, so a crash keeps it). When a
// line would take it past `limit_bytes`, the file becomes "<name>.1" (replacing an older
// one) and a new file starts. `fresh` empties the file first; otherwise the file (and a
// missing folder of it) is made only by the first line, so a quiet run leaves nothing behind.
class TScriptLogFile : public TScriptLogSink {
public:
    static constexpr int64_t kDefaultLimit = 1024 * 1024;
    TScriptLogFile(std::string path_utf8, bool fresh, int64_t limit_bytes = kDefaultLimit);
    ~TScriptLogFile() override;
    TScriptLogFile(const TScriptLogFile&) = delete;
    TScriptLogFile& operator=(const TScriptLogFile&) = delete;
    void WriteLine(const std::string& cp932_line, bool diagnostic) override;
    // Whether the file could be opened (a log that waits for its first line counts as open).
    bool IsOpen() const { return file_ != nullptr || waiting_; }

private:
    void Open(const char* mode);

    std::string path_;
    int64_t limit_;
    int64_t size_ = 0;
    std::FILE* file_ = nullptr;
    bool waiting_ = false;  // an appended log not opened yet
};

}  // namespace mobu
