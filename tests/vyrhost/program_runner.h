// Runs the built vyrhost as a subprocess, as a person or an outside script
// would: with arguments and standard input, collecting standard output,
// standard error and the exit status; or on a pseudo-terminal. The
// plumbing is the platform's (host/platform/child_process.h).
#ifndef LOADHDF_TESTS_VYRHOST_PROGRAM_RUNNER_H
#define LOADHDF_TESTS_VYRHOST_PROGRAM_RUNNER_H

#include "platform/child_process.h"

#include <string>
#include <vector>

namespace VyrhostTest {

// Standard output and error and how the program ended
// (host/platform/child_process.h).
using ProgramRun = Platform::ChildRun;

std::string VyrhostPath();
std::string MakeSampleHdfPath();

// Runs Program with Args, feeding Input on standard input (then closing it).
ProgramRun RunProgram(const std::string& Program, const std::vector<std::string>& Args,
                      const std::string& Input = "");
ProgramRun RunVyrhost(const std::vector<std::string>& Args, const std::string& Input = "");
// Runs vyrhost with Args and the system's null device on standard input.
ProgramRun RunVyrhostOnNullDevice(const std::vector<std::string>& Args);

// Runs vyrhost with Args on a pseudo-terminal that is its standard input,
// output and error, without echo, after typing Input into it
// (Platform::RunChildOnTerminal).
ProgramRun RunVyrhostOnTerminal(const std::vector<std::string>& Args, const std::string& Input);

// Runs vyrhost with Args on a pseudo-terminal and presses Ctrl-C at its
// first write to the terminal, which is the first percent-done check of a
// load (Platform::RunChildWithCtrlCAtFirstOutput).
ProgramRun RunVyrhostWithCtrlCAtFirstOutput(const std::vector<std::string>& Args,
                                            bool* StoppedAtWrite);

// The lines of a text, without their newlines.
std::vector<std::string> Lines(const std::string& Text);

// The text of these lines, each ended by a newline: a script or typed input.
std::string TextOf(const std::vector<std::string>& Lines);

} // namespace VyrhostTest

#endif
