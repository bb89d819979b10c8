// File dialogs of the desktop, the Linux way: the first helper that answers of zenity and
// kdialog (found in PATH, tried only when DISPLAY or WAYLAND_DISPLAY is set). The helper's
// exit status 0 with exactly one line of output is the choice; anything else cancels.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mobu {

enum class TFileDialogKind { Open, Save, Folder };

struct TFileFilter {
    std::string name;                   // "Text (*.txt)"
    std::vector<std::string> patterns;  // "*.txt", "*.log"
};

// A Windows filter text ("Text (*.txt)|*.txt;*.log|All (*.*)|*.*"): name and pattern list
// pairs; a name without patterns is dropped, blank patterns are skipped.
std::vector<TFileFilter> ParseWindowsFilter(std::string_view text);

// A helper's output as a chosen path: exactly one non-empty line (a final line break
// allowed), else nothing.
std::optional<std::string> ParseDialogOutput(std::string_view output);

// The folder dialogs start in: XDG_DESKTOP_DIR of the user's user-dirs.dirs, else HOME
// (UTF-8, without a trailing "/").
std::string DesktopFolder();

// The argument vectors for each helper (for tests and for running them).
std::vector<std::string> ZenityArguments(TFileDialogKind kind, const std::vector<TFileFilter>& filters,
                                         const std::string& start_folder);
std::vector<std::string> KdialogArguments(TFileDialogKind kind, const std::vector<TFileFilter>& filters,
                                          const std::string& start_folder);

// What the window does around a dialog: `begin` before the helper starts (full screen is
// left), `wait` every few tens of milliseconds while it runs (the window handles its own
// events and shows its last frame; no frame runs), `end` after it (full screen comes back).
// Empty hooks do nothing (the tools, the tests).
struct TDialogHooks {
    std::function<void()> begin;
    std::function<void()> wait;
    std::function<void()> end;
};
void SetDialogHooks(TDialogHooks hooks);

// Shows the dialog; the chosen real path (UTF-8), or nothing when cancelled or when no
// helper answers. zenity's save dialog asks before overwriting an existing file and sets
// `asked_overwrite`; kdialog's does not ask, so the caller must.
std::optional<std::string> ShowFileDialog(TFileDialogKind kind, std::string_view windows_filter,
                                          bool* asked_overwrite = nullptr);

}  // namespace mobu
