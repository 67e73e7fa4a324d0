// Running a Unix program on Linux: posix_spawnp, with its standard output
// and error on /dev/null, and waiting for it.
#include "platform/unix_program.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace Platform {

std::string UnixFileName(const std::string& Path) {
    return Path;
}

int RunUnixProgram(const std::vector<std::string>& Command) {
    std::vector<char*> Arguments;
    for (const std::string& Argument : Command) {
        Arguments.push_back(const_cast<char*>(Argument.c_str()));
    }
    Arguments.push_back(nullptr);
    posix_spawn_file_actions_t Actions;
    posix_spawn_file_actions_init(&Actions);
    posix_spawn_file_actions_addopen(&Actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&Actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t Child = 0;
    const int Started =
        posix_spawnp(&Child, Arguments[0], &Actions, nullptr, Arguments.data(), environ);
    posix_spawn_file_actions_destroy(&Actions);
    int Status = 0;
    if (Started != 0 || waitpid(Child, &Status, 0) != Child) {
        return -1;
    }
    return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
}

} // namespace Platform
