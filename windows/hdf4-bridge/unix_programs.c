/* hdf4tools.dll: lets the Windows test programs run Debian's HDF4 tools
   (hrepack, ncgen-hdf) under Wine, as the Linux tests run them, and know how
   they ended. Wine starts a Unix program from CreateProcess but gives back
   no exit status; here the program is spawned and waited for on the Unix
   side. Its standard output and error go to /dev/null. */
#include <windef.h>

#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

/* Runs ARGUMENTS (null-terminated; Unix names, the program searched on
   PATH): its exit status, or -1 when it could not be started or did not
   exit normally. */
int __cdecl bridge_run_unix_program(char* const* arguments) {
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return -1;
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t child;
    const int started = posix_spawnp(&child, arguments[0], &actions, NULL, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0)
        return -1;
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        if (errno != EINTR)
            return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
