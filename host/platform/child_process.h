// Starting a program as a child process and collecting what it did: its
// standard output and error and how it ended, within a time limit if asked;
// or running it on a terminal of its own. The host program's tests run
// vyrhost this way, as a person or an outside script would, and the
// structure check's tests run HDF4 alone on damaged files this way, so that
// a crash or an endless loop inside HDF4 costs one child.
#ifndef LOADHDF_HOST_PLATFORM_CHILD_PROCESS_H
#define LOADHDF_HOST_PLATFORM_CHILD_PROCESS_H

#include <string>
#include <vector>

namespace Platform {

struct ChildRun {
    // Standard output and error. On Windows the C runtime writes them in
    // text mode, "\r\n" for each "\n": "\r\n" is read back as "\n".
    std::string Out, Err;
    int ExitStatus = -1;   // the exit status; -1 when the program did not exit normally
    int Signal = 0;        // the signal that ended it, if one did (Windows: the exception's code)
    bool TimedOut = false; // killed at the time limit (Signal and ExitStatus then say how)
};

// What the child reads on standard input: Text, then the end of input; or,
// with FromNullDevice, the system's null device (/dev/null, NUL).
struct ChildInput {
    std::string Text;
    bool FromNullDevice = false;
};

// Runs the program at Path with Args and Input, and waits for it to end.
// Neither output can fill up and hold the program (POSIX: pipes read as
// they fill; Windows: files in a private folder of the runner's, removed
// when the process ends). With a TimeLimitSeconds above 0, a program still
// running that long after its start is killed and the run says TimedOut;
// what it wrote until then is kept. POSIX: SIGKILL to the process group the
// program leads, so what it started itself (a sanitizer's symbolizer) goes
// too; Windows: TerminateProcess of the program alone. Throws
// std::runtime_error when the program cannot be started.
ChildRun RunChild(const std::string& Path, const std::vector<std::string>& Args,
                  const ChildInput& Input, int TimeLimitSeconds = 0);

// ---- On a terminal ------------------------------------------------------------

// Empty where a child can be run on a terminal of its own; otherwise why
// not. Under Wine a child gets no console (see the Windows implementation),
// so the two runs below are for POSIX systems.
std::string WhyNoTerminalForChild();

// Runs the program with Args on a pseudo-terminal that is its standard
// input, output and error, without echo, after typing Input into it. Out
// holds everything the program wrote to the terminal, with the terminal's
// "\r\n" turned back into "\n"; Err stays empty. Throws std::runtime_error
// when it cannot (see WhyNoTerminalForChild).
ChildRun RunChildOnTerminal(const std::string& Path, const std::vector<std::string>& Args,
                            const std::string& Input);

// Runs the program with Args on a pseudo-terminal and presses Ctrl-C while
// it writes its first text to the terminal: the program runs in a
// background process group with TOSTOP set, so that first write stops it;
// then SIGINT is sent, TOSTOP cleared and the program continued. Without
// timing, the Ctrl-C thus lands at the first percent-done check of a load.
// *StoppedAtWrite tells whether the program did write (and stop) at all.
// Throws std::runtime_error when it cannot (see WhyNoTerminalForChild).
ChildRun RunChildWithCtrlCAtFirstOutput(const std::string& Path,
                                        const std::vector<std::string>& Args, bool* StoppedAtWrite);

} // namespace Platform

#endif
