// The program's console, the one place that knows Linux terminals from the
// Windows console: whether a standard stream is a person's terminal, and
// writing the progress bar to it.
#ifndef LOADHDF_HOST_VYRHOST_CONSOLE_H
#define LOADHDF_HOST_VYRHOST_CONSOLE_H

#include <string>

namespace VyrHostProgram {

// Sets the standard streams up before anything is read or written. On
// Windows a script on standard input is read in binary mode, as files are,
// so that its bytes reach the session as written (text mode would end it at
// a 0x1A byte); and the console is asked to interpret the escape sequences
// the progress bar uses.
void PrepareConsole();

// Whether standard input is a terminal a person types at. On Windows this is
// a console: the C runtime's isatty also says yes for the NUL device.
bool InputIsTerminal();

// Whether standard error is a terminal that shows the progress bar: one
// that takes "\r\033[K" as "rewrite this line".
bool ErrorDrawsProgress();

// Writes Text to standard error whole, carrying on after interruptions;
// gives up quietly when the terminal has gone.
void WriteToTerminal(const std::string& Text);

} // namespace VyrHostProgram

#endif
