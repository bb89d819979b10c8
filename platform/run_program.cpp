#include "platform/run_program.h"

#include <cerrno>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace mobu {

pid_t StartProgram(const std::vector<std::string>& argv, int output)
{
    if (argv.empty()) return -1;
    std::vector<char*> pointers;
    for (const std::string& argument : argv) pointers.push_back(const_cast<char*>(argument.c_str()));
    pointers.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (output == kDiscardOutput) posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    else if (output >= 0) posix_spawn_file_actions_adddup2(&actions, output, 1);
    pid_t pid = 0;
    const int started = posix_spawnp(&pid, pointers[0], &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return started == 0 ? pid : -1;
}

int WaitForProgram(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunProgram(const std::vector<std::string>& argv)
{
    const pid_t pid = StartProgram(argv);
    return pid < 0 ? -1 : WaitForProgram(pid);
}

}  // namespace mobu
