#include "console.h"

#include <cerrno>
#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace VyrHostProgram {
namespace {

#ifdef _WIN32
bool IsConsole(DWORD Which, DWORD* Mode) {
    return GetConsoleMode(GetStdHandle(Which), Mode) != 0;
}
bool ProgressDrawable = false;
#endif

} // namespace

#ifdef _WIN32

void PrepareConsole() {
    DWORD Mode = 0;
    if (!IsConsole(STD_INPUT_HANDLE, &Mode)) {
        _setmode(_fileno(stdin), _O_BINARY);
    }
    ProgressDrawable = IsConsole(STD_ERROR_HANDLE, &Mode) &&
                       SetConsoleMode(GetStdHandle(STD_ERROR_HANDLE),
                                      Mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

bool InputIsTerminal() {
    DWORD Mode = 0;
    return IsConsole(STD_INPUT_HANDLE, &Mode);
}

bool ErrorDrawsProgress() {
    return ProgressDrawable;
}

void WriteToTerminal(const std::string& Text) {
    const HANDLE Error = GetStdHandle(STD_ERROR_HANDLE);
    const char* Next = Text.data();
    DWORD Left = static_cast<DWORD>(Text.size());
    while (Left > 0) {
        DWORD Written = 0;
        if (!WriteFile(Error, Next, Left, &Written, nullptr) || Written == 0) {
            return; // the console went away: a progress bar is not worth failing for
        }
        Next += Written;
        Left -= Written;
    }
}

#else

void PrepareConsole() {}

bool InputIsTerminal() {
    return isatty(STDIN_FILENO) != 0;
}

bool ErrorDrawsProgress() {
    return isatty(STDERR_FILENO) != 0;
}

void WriteToTerminal(const std::string& Text) {
    const char* Next = Text.data();
    size_t Left = Text.size();
    while (Left > 0) {
        const ssize_t Written = write(STDERR_FILENO, Next, Left);
        if (Written < 0 && errno == EINTR) {
            continue;
        }
        if (Written <= 0) {
            return; // the terminal went away: a progress bar is not worth failing for
        }
        Next += Written;
        Left -= static_cast<size_t>(Written);
    }
}

#endif

} // namespace VyrHostProgram
