#include "platform/file_dialogs.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>

#include "platform/run_program.h"

namespace mobu {
namespace {

std::string Trimmed(std::string_view text)
{
    size_t start = 0, end = text.size();
    while (start < end && static_cast<unsigned char>(text[start]) <= ' ') ++start;
    while (end > start && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
    return std::string(text.substr(start, end - start));
}

std::vector<std::string> Split(std::string_view text, char delimiter)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == delimiter) {
            parts.emplace_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

std::string Joined(const std::vector<std::string>& parts, const char* separator)
{
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : separator) + part;
    return text;
}

bool InPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    if (!path) return false;
    for (const std::string& folder : Split(path, ':')) {
        const std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) return true;
    }
    return false;
}

TDialogHooks& Hooks()
{
    static TDialogHooks hooks;
    return hooks;
}

struct TRunResult {
    bool started = false;
    int exit_status = -1;
    std::string output;
};

// Runs the helper with standard input on /dev/null and collects its standard output.
TRunResult RunCollecting(const std::vector<std::string>& argv)
{
    TRunResult run;
    int pipe_ends[2];
    if (pipe2(pipe_ends, O_CLOEXEC) != 0) return run;
    const pid_t pid = StartProgram(argv, pipe_ends[1]);
    close(pipe_ends[1]);
    if (pid < 0) {
        close(pipe_ends[0]);
        return run;
    }
    run.started = true;
    char buffer[4096];
    constexpr size_t kMaxOutput = 64 * 1024;
    for (;;) {
        // The window keeps handling its events between reads.
        pollfd ready{pipe_ends[0], POLLIN, 0};
        const int polled = poll(&ready, 1, 30);
        if (polled == 0 || (polled < 0 && errno == EINTR)) {
            if (Hooks().wait) Hooks().wait();
            continue;
        }
        const ssize_t got = read(pipe_ends[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        if (run.output.size() < kMaxOutput) run.output.append(buffer, static_cast<size_t>(got));
    }
    close(pipe_ends[0]);
    run.exit_status = WaitForProgram(pid);
    return run;
}


}  // namespace

std::vector<TFileFilter> ParseWindowsFilter(std::string_view text)
{
    std::vector<TFileFilter> filters;
    const std::vector<std::string> parts = Split(text, '|');
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        TFileFilter filter;
        filter.name = Trimmed(parts[i]);
        for (const std::string& pattern : Split(parts[i + 1], ';')) {
            std::string trimmed = Trimmed(pattern);
            if (!trimmed.empty()) filter.patterns.push_back(std::move(trimmed));
        }
        if (filter.patterns.empty()) continue;
        if (filter.name.empty()) filter.name = Joined(filter.patterns, " ");
        filters.push_back(std::move(filter));
    }
    return filters;
}

std::optional<std::string> ParseDialogOutput(std::string_view output)
{
    if (!output.empty() && output.back() == '\n') output.remove_suffix(1);
    if (output.empty() || output.find('\n') != std::string_view::npos) return std::nullopt;
    if (output.find('\0') != std::string_view::npos) return std::nullopt;
    return std::string(output);
}

std::string DesktopFolder()
{
    const char* home_value = std::getenv("HOME");
    const std::string home = home_value ? home_value : "";
    const char* config_value = std::getenv("XDG_CONFIG_HOME");
    const std::string config = config_value && *config_value ? config_value : home + "/.config";
    std::ifstream dirs(config + "/user-dirs.dirs");
    std::string line;
    while (std::getline(dirs, line)) {
        const std::string key = "XDG_DESKTOP_DIR=";
        if (line.rfind(key, 0) != 0) continue;
        std::string value = Trimmed(line.substr(key.size()));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
        while (value.size() > 1 && value.back() == '/') value.pop_back();
        if (!value.empty() && value.front() == '/') return value;
    }
    return home;
}

std::vector<std::string> ZenityArguments(TFileDialogKind kind, const std::vector<TFileFilter>& filters,
                                         const std::string& start_folder)
{
    std::vector<std::string> argv{"zenity", "--file-selection"};
    if (kind == TFileDialogKind::Save) {
        argv.push_back("--save");
        argv.push_back("--confirm-overwrite");
    }
    if (kind == TFileDialogKind::Folder) argv.push_back("--directory");
    argv.push_back("--filename=" + start_folder + "/");
    if (kind != TFileDialogKind::Folder) {
        for (const TFileFilter& filter : filters)
            argv.push_back("--file-filter=" + filter.name + " | " + Joined(filter.patterns, " "));
    }
    return argv;
}

std::vector<std::string> KdialogArguments(TFileDialogKind kind, const std::vector<TFileFilter>& filters,
                                          const std::string& start_folder)
{
    std::vector<std::string> argv{"kdialog"};
    argv.push_back(kind == TFileDialogKind::Open   ? "--getopenfilename"
                   : kind == TFileDialogKind::Save ? "--getsavefilename"
                                                   : "--getexistingdirectory");
    argv.push_back(start_folder);
    if (kind != TFileDialogKind::Folder && !filters.empty()) {
        std::vector<std::string> parts;
        for (const TFileFilter& filter : filters) parts.push_back(Joined(filter.patterns, " ") + "|" + filter.name);
        argv.push_back(Joined(parts, "\n"));
    }
    return argv;
}

void SetDialogHooks(TDialogHooks hooks) { Hooks() = std::move(hooks); }

namespace {

std::optional<std::string> RunHelpers(TFileDialogKind kind, std::string_view windows_filter, bool& asked_overwrite);

}  // namespace

std::optional<std::string> ShowFileDialog(TFileDialogKind kind, std::string_view windows_filter,
                                          bool* asked_overwrite)
{
    bool asked = false;
    if (asked_overwrite != nullptr) *asked_overwrite = false;
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!(display && *display) && !(wayland && *wayland)) return std::nullopt;
    if (Hooks().begin) Hooks().begin();
    std::optional<std::string> chosen = RunHelpers(kind, windows_filter, asked);
    if (asked_overwrite != nullptr) *asked_overwrite = asked;
    if (Hooks().end) Hooks().end();
    return chosen;
}

namespace {

std::optional<std::string> RunHelpers(TFileDialogKind kind, std::string_view windows_filter, bool& asked_overwrite)
{
    const std::vector<TFileFilter> filters = ParseWindowsFilter(windows_filter);
    const std::string start = DesktopFolder();
    if (InPath("zenity")) {
        TRunResult run = RunCollecting(ZenityArguments(kind, filters, start));
        if (run.started) {
            if (run.exit_status != 0) return std::nullopt;
            asked_overwrite = kind == TFileDialogKind::Save;  // --confirm-overwrite
            return ParseDialogOutput(run.output);
        }
    }
    if (InPath("kdialog")) {
        TRunResult run = RunCollecting(KdialogArguments(kind, filters, start));
        if (run.started) {
            if (run.exit_status != 0) return std::nullopt;
            return ParseDialogOutput(run.output);
        }
    }
    return std::nullopt;
}

}  // namespace

}  // namespace mobu
