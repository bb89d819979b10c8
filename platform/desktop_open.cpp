#include "platform/desktop_open.h"

#include <thread>

#include "platform/run_program.h"

namespace mobu {
namespace {

bool StartsWithText(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

}  // namespace

bool IsOpenableUrl(std::string_view utf8)
{
    if (!StartsWithText(utf8, "http://") && !StartsWithText(utf8, "https://") && !StartsWithText(utf8, "mailto:"))
        return false;
    for (char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F) return false;
    }
    return true;
}

bool SpawnDetached(const std::vector<std::string>& argv)
{
    const pid_t pid = StartProgram(argv, kDiscardOutput);
    if (pid < 0) return false;
    // The child is waited for on a thread of its own: it leaves no zombie and no frame waits.
    std::thread([pid] { WaitForProgram(pid); }).detach();
    return true;
}

bool OpenUrlWithDesktop(const std::string& utf8)
{
    if (!IsOpenableUrl(utf8)) return false;
    return SpawnDetached({"xdg-open", utf8});
}

}  // namespace mobu
