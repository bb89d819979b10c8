// Opening a web address or mail address with the desktop's handler: "xdg-open TARGET", run
// directly (never through a shell) with standard input and output on /dev/null; the child is
// reaped in the background, so no frame waits for it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mobu {

// Whether the UTF-8 target may be opened: it begins with "http://", "https://" or "mailto:"
// (letters without case) and holds no blank or control character.
bool IsOpenableUrl(std::string_view utf8);

// Opens the target when it is openable; false when refused or when xdg-open cannot start.
bool OpenUrlWithDesktop(const std::string& utf8);

// Starts `argv[0]` (looked up in PATH) with the arguments, standard input and output on
// /dev/null, and reaps it in the background; false when it cannot start.
bool SpawnDetached(const std::vector<std::string>& argv);

}  // namespace mobu
