#include "platform/desktop_open.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

extern char** environ;

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
    if (argv.empty()) return false;
    std::vector<char*> pointers;
    for (const std::string& argument : argv) pointers.push_back(const_cast<char*>(argument.c_str()));
    pointers.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int status = posix_spawnp(&pid, pointers[0], &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (status != 0) return false;
    // The child is waited for on a thread of its own: it leaves no zombie and no frame waits.
    std::thread([pid] {
        int child_status = 0;
        while (waitpid(pid, &child_status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

bool OpenUrlWithDesktop(const std::string& utf8)
{
    if (!IsOpenableUrl(utf8)) return false;
    return SpawnDetached({"xdg-open", utf8});
}

}  // namespace mobu
