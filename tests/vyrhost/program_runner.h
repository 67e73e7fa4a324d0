// Runs the built vyrhost as a subprocess, as a person or an outside script
// would: with arguments and standard input, collecting standard output,
// standard error and the exit status; or on a pseudo-terminal.
#ifndef LOADHDF_TESTS_VYRHOST_PROGRAM_RUNNER_H
#define LOADHDF_TESTS_VYRHOST_PROGRAM_RUNNER_H

#include <string>
#include <vector>

namespace VyrhostTest {

struct ProgramRun {
    // Standard output and error; on Windows with the console's "\r\n" read
    // back as "\n" (program_runner_windows.cpp).
    std::string Out, Err;
    int ExitStatus = -1; // the exit status; -1 when the program did not exit normally
    int Signal = 0;      // the signal that ended it, if one did (Windows: the exception's code)
};

std::string VyrhostPath();
std::string MakeSampleHdfPath();

// Runs Program with Args, feeding Input on standard input (then closing it).
ProgramRun RunProgram(const std::string& Program, const std::vector<std::string>& Args,
                      const std::string& Input = "");
ProgramRun RunVyrhost(const std::vector<std::string>& Args, const std::string& Input = "");

// Runs vyrhost with Args on a pseudo-terminal that is its standard input,
// output and error, without echo, after writing Input to it. Out holds
// everything the program wrote to the terminal, with the terminal's "\r\n"
// turned back into "\n"; Err stays empty.
ProgramRun RunVyrhostOnTerminal(const std::vector<std::string>& Args, const std::string& Input);

// Runs vyrhost with Args on a pseudo-terminal and presses Ctrl-C while the
// program writes its first text to the terminal: the program runs in a
// background process group with TOSTOP set, so that first write stops it;
// then SIGINT is sent, TOSTOP cleared and the program continued. Without
// timing, the Ctrl-C thus lands at the first percent-done check of a load.
// StoppedAtWrite tells whether the program did write (and stop) at all.
ProgramRun RunVyrhostWithCtrlCAtFirstOutput(const std::vector<std::string>& Args,
                                            bool* StoppedAtWrite);

// The lines of a text, without their newlines.
std::vector<std::string> Lines(const std::string& Text);

// The text of these lines, each ended by a newline: a script or typed input.
std::string TextOf(const std::vector<std::string>& Lines);

} // namespace VyrhostTest

#endif
