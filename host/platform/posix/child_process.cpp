// Child processes on POSIX systems: fork and exec, with pipes read with poll
// so that neither output can fill up and hold the program, a time limit kept
// by poll's timeout and a kill of the child's own process group, and
// pseudo-terminals for runs on a terminal and for Ctrl-C.
#include "platform/child_process.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <utmp.h>

namespace Platform {
namespace {

// Exit status the session leader reports when the program never wrote to
// the terminal.
constexpr int NeverStopped = 98;

[[noreturn]] void Fail(const std::string& What) {
    throw std::runtime_error(What + ": " + std::strerror(errno));
}

std::vector<char*> ArgVector(const std::string& Program, const std::vector<std::string>& Args,
                             std::vector<std::string>* Storage) {
    Storage->assign(1, Program);
    Storage->insert(Storage->end(), Args.begin(), Args.end());
    std::vector<char*> Argv;
    for (std::string& Arg : *Storage) {
        Argv.push_back(Arg.data());
    }
    Argv.push_back(nullptr);
    return Argv;
}

void Decode(int Status, ChildRun* Run) {
    if (WIFEXITED(Status)) {
        Run->ExitStatus = WEXITSTATUS(Status);
    } else if (WIFSIGNALED(Status)) {
        Run->Signal = WTERMSIG(Status);
    }
}

// Reads a terminal's master side until every holder of the other side has
// closed it (EIO), then strips the terminal's carriage returns.
std::string ReadTerminal(int Master) {
    std::string Text;
    char Buffer[4096];
    while (true) {
        const ssize_t Read = read(Master, Buffer, sizeof Buffer);
        if (Read > 0) {
            Text.append(Buffer, static_cast<size_t>(Read));
        } else if (Read < 0 && errno == EINTR) {
            continue;
        } else {
            break;
        }
    }
    Text.erase(std::remove(Text.begin(), Text.end(), '\r'), Text.end());
    return Text;
}

// A pseudo-terminal without echo; TOSTOP as asked.
void OpenTerminal(int* Master, int* Slave, bool StopOnBackgroundWrite) {
    if (openpty(Master, Slave, nullptr, nullptr, nullptr) != 0) {
        Fail("openpty");
    }
    termios Settings{};
    tcgetattr(*Slave, &Settings);
    Settings.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    if (StopOnBackgroundWrite) {
        Settings.c_lflag |= TOSTOP;
    }
    tcsetattr(*Slave, TCSANOW, &Settings);
}

// Everything the program writes to the terminal until it is done, then its
// exit status.
ChildRun CollectFromTerminal(int Master, pid_t Child) {
    ChildRun Run;
    Run.Out = ReadTerminal(Master);
    close(Master);
    int Status = 0;
    waitpid(Child, &Status, 0);
    Decode(Status, &Run);
    return Run;
}

// Milliseconds left until Deadline, at least 0; -1 (wait without end)
// without a limit.
int MillisecondsLeft(bool Limited, std::chrono::steady_clock::time_point Deadline) {
    if (!Limited) {
        return -1;
    }
    const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          Deadline - std::chrono::steady_clock::now())
                          .count();
    return int(std::clamp<long long>(Left, 0, INT_MAX));
}

// Waits for the child to end; at the deadline, if there is one, kills its
// process group first.
int WaitForChild(pid_t Child, bool Limited, std::chrono::steady_clock::time_point Deadline,
                 ChildRun* Run) {
    int Status = 0;
    while (true) {
        const pid_t Ended = waitpid(Child, &Status, Limited && !Run->TimedOut ? WNOHANG : 0);
        if (Ended == Child || (Ended < 0 && errno != EINTR)) {
            return Status;
        }
        if (Ended == 0) { // still running, with its outputs closed
            if (MillisecondsLeft(Limited, Deadline) == 0) {
                kill(-Child, SIGKILL);
                Run->TimedOut = true;
            } else {
                poll(nullptr, 0, 10);
            }
        }
    }
}

} // namespace

ChildRun RunChild(const std::string& Path, const std::vector<std::string>& Args,
                  const ChildInput& Input, int TimeLimitSeconds) {
    const bool Limited = TimeLimitSeconds > 0;
    const auto Deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(Limited ? TimeLimitSeconds : 0);
    int In[2], Out[2], Err[2];
    if (pipe2(In, O_CLOEXEC) != 0 || pipe2(Out, O_CLOEXEC) != 0 || pipe2(Err, O_CLOEXEC) != 0) {
        Fail("pipe");
    }
    if (Input.FromNullDevice) { // in place of the input pipe's reading end
        const int Null = open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (Null < 0) {
            Fail("open /dev/null");
        }
        close(In[0]);
        In[0] = Null;
    }
    std::vector<std::string> Storage;
    std::vector<char*> Argv = ArgVector(Path, Args, &Storage);
    const pid_t Child = fork();
    if (Child < 0) {
        Fail("fork");
    }
    if (Child == 0) {
        if (Limited) { // a process group of its own, which the limit kills whole
            setpgid(0, 0);
        }
        dup2(In[0], STDIN_FILENO);
        dup2(Out[1], STDOUT_FILENO);
        dup2(Err[1], STDERR_FILENO);
        execv(Path.c_str(), Argv.data());
        _exit(127);
    }
    if (Limited) { // as the child does, whichever of the two runs first
        setpgid(Child, Child);
    }
    close(In[0]);
    close(Out[1]);
    close(Err[1]);
    // The input is small: written whole before reading, then closed.
    signal(SIGPIPE, SIG_IGN);
    size_t Written = 0;
    const std::string& Text = Input.Text;
    while (Written < Text.size()) {
        const ssize_t Now = write(In[1], Text.data() + Written, Text.size() - Written);
        if (Now <= 0) {
            break;
        }
        Written += static_cast<size_t>(Now);
    }
    close(In[1]);

    ChildRun Run;
    pollfd Fds[2] = {{Out[0], POLLIN, 0}, {Err[0], POLLIN, 0}};
    std::string* Into[2] = {&Run.Out, &Run.Err};
    int Open = 2;
    while (Open > 0) {
        const int Wait = MillisecondsLeft(Limited, Deadline);
        if (Wait == 0) {
            kill(-Child, SIGKILL);
            Run.TimedOut = true;
            break;
        }
        const int Ready = poll(Fds, 2, Wait);
        if (Ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail("poll");
        }
        for (int Index = 0; Index < 2; ++Index) {
            if (Fds[Index].fd < 0 || Fds[Index].revents == 0) {
                continue;
            }
            char Buffer[4096];
            const ssize_t Read = read(Fds[Index].fd, Buffer, sizeof Buffer);
            if (Read > 0) {
                Into[Index]->append(Buffer, static_cast<size_t>(Read));
            } else {
                close(Fds[Index].fd);
                Fds[Index].fd = -1;
                --Open;
            }
        }
    }
    for (pollfd& Fd : Fds) { // still open after a kill at the limit
        if (Fd.fd >= 0) {
            close(Fd.fd);
        }
    }
    Decode(WaitForChild(Child, Limited, Deadline, &Run), &Run);
    return Run;
}

std::string WhyNoTerminalForChild() {
    return "";
}

ChildRun RunChildOnTerminal(const std::string& Path, const std::vector<std::string>& Args,
                            const std::string& Input) {
    int Master = -1, Slave = -1;
    OpenTerminal(&Master, &Slave, false);
    std::vector<std::string> Storage;
    std::vector<char*> Argv = ArgVector(Path, Args, &Storage);
    const pid_t Child = fork();
    if (Child < 0) {
        Fail("fork");
    }
    if (Child == 0) {
        close(Master);
        login_tty(Slave); // new session, controlling terminal, standard streams
        execv(Argv[0], Argv.data());
        _exit(127);
    }
    close(Slave);
    // Typed ahead: the terminal keeps the lines until the session reads them.
    if (write(Master, Input.data(), Input.size()) != static_cast<ssize_t>(Input.size())) {
        Fail("write to terminal");
    }
    return CollectFromTerminal(Master, Child);
}

ChildRun RunChildWithCtrlCAtFirstOutput(const std::string& Path,
                                        const std::vector<std::string>& Args,
                                        bool* StoppedAtWrite) {
    int Master = -1, Slave = -1;
    OpenTerminal(&Master, &Slave, true);
    std::vector<std::string> Storage;
    std::vector<char*> Argv = ArgVector(Path, Args, &Storage);
    const pid_t Leader = fork();
    if (Leader < 0) {
        Fail("fork");
    }
    if (Leader == 0) {
        // The session leader keeps the foreground; the program runs in a
        // background group of the same session, so its first write to the
        // terminal stops it (SIGTTOU) until the leader lets it go on.
        close(Master);
        setsid();
        ioctl(Slave, TIOCSCTTY, 0);
        const pid_t Program = fork();
        if (Program == 0) {
            setpgid(0, 0);
            dup2(Slave, STDIN_FILENO);
            dup2(Slave, STDOUT_FILENO);
            dup2(Slave, STDERR_FILENO);
            close(Slave);
            execv(Argv[0], Argv.data());
            _exit(127);
        }
        setpgid(Program, Program);
        int Status = 0;
        waitpid(Program, &Status, WUNTRACED);
        if (!WIFSTOPPED(Status)) {
            _exit(NeverStopped);
        }
        kill(Program, SIGINT); // Ctrl-C, delivered when the program goes on
        termios Settings{};
        tcgetattr(Slave, &Settings);
        Settings.c_lflag &= ~static_cast<tcflag_t>(TOSTOP);
        tcsetattr(Slave, TCSANOW, &Settings);
        kill(Program, SIGCONT);
        waitpid(Program, &Status, 0);
        if (WIFEXITED(Status)) {
            _exit(WEXITSTATUS(Status));
        }
        _exit(128 + (WIFSIGNALED(Status) ? WTERMSIG(Status) : 0));
    }
    close(Slave);
    ChildRun Run = CollectFromTerminal(Master, Leader);
    *StoppedAtWrite = Run.ExitStatus != NeverStopped;
    if (Run.ExitStatus >= 128) { // the program itself died of a signal
        Run.Signal = Run.ExitStatus - 128;
        Run.ExitStatus = -1;
    }
    return Run;
}

} // namespace Platform
