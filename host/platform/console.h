// The program's standard streams as a console: whether a person types at
// standard input, the mode a script on standard input is read in, whether
// standard error takes the escape sequences of the progress bar, writing
// the bar past the C library's buffers, and the keys that end typed input.
// Ctrl-C is in ctrl_c.h.
#ifndef LOADHDF_HOST_PLATFORM_CONSOLE_H
#define LOADHDF_HOST_PLATFORM_CONSOLE_H

#include <string>

namespace Platform {

// Whether standard input is a terminal a person types at. On Windows this
// is a console: the C runtime's isatty also says yes for the NUL device.
bool InputIsTerminal();

// Reads standard input from now on byte for byte as written, as files are
// read. On Windows, text mode would end a script at a 0x1A byte (an old
// end-of-file mark); POSIX systems have no text mode. For input that is
// not a terminal: a console's typed lines stay in its own mode.
void ReadInputAsWritten();

// Whether standard error is a terminal that takes "\r\033[K" as "rewrite
// this line". A Windows console is first asked to interpret such escape
// sequences, and takes them only if it agrees.
bool ErrorTakesEscapeSequences();

// Writes Text to standard error at once and whole, carrying on after
// interruptions; gives up quietly when the terminal has gone (a progress
// bar is not worth failing for). Nothing the C library holds for standard
// error is flushed first.
void WriteToError(const std::string& Text);

// The keys that end typed input on this system's console, as a person is
// told them: "Ctrl-D", or "Ctrl-Z Enter" on Windows.
const char* EndOfInputKeys();

} // namespace Platform

#endif
