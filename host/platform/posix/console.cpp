// The console on POSIX systems: a terminal is whatever isatty says is one,
// every terminal the program meets takes the escape sequences, and there
// is no text mode to leave.
#include "platform/console.h"

#include <cerrno>
#include <unistd.h>

namespace Platform {

bool InputIsTerminal() {
    return isatty(STDIN_FILENO) != 0;
}

void ReadInputAsWritten() {}

bool ErrorTakesEscapeSequences() {
    return isatty(STDERR_FILENO) != 0;
}

void WriteToError(const std::string& Text) {
    const char* Next = Text.data();
    size_t Left = Text.size();
    while (Left > 0) {
        const ssize_t Written = write(STDERR_FILENO, Next, Left);
        if (Written < 0 && errno == EINTR) {
            continue;
        }
        if (Written <= 0) {
            return;
        }
        Next += Written;
        Left -= static_cast<size_t>(Written);
    }
}

const char* EndOfInputKeys() {
    return "Ctrl-D";
}

} // namespace Platform
