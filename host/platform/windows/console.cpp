// The console on Windows: a terminal is a console (GetConsoleMode succeeds
// on its handle), standard input is read in binary mode when it is not
// one, and a console takes escape sequences once asked to
// (ENABLE_VIRTUAL_TERMINAL_PROCESSING).
#include "platform/console.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace Platform {
namespace {

bool IsConsole(DWORD Which, DWORD* Mode) {
    return GetConsoleMode(GetStdHandle(Which), Mode) != 0;
}

} // namespace

bool InputIsTerminal() {
    DWORD Mode = 0;
    return IsConsole(STD_INPUT_HANDLE, &Mode);
}

void ReadInputAsWritten() {
    _setmode(_fileno(stdin), _O_BINARY);
}

bool ErrorTakesEscapeSequences() {
    DWORD Mode = 0;
    return IsConsole(STD_ERROR_HANDLE, &Mode) &&
           SetConsoleMode(GetStdHandle(STD_ERROR_HANDLE),
                          Mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

void WriteToError(const std::string& Text) {
    const HANDLE Error = GetStdHandle(STD_ERROR_HANDLE);
    const char* Next = Text.data();
    DWORD Left = static_cast<DWORD>(Text.size());
    while (Left > 0) {
        DWORD Written = 0;
        if (!WriteFile(Error, Next, Left, &Written, nullptr) || Written == 0) {
            return;
        }
        Next += Written;
        Left -= Written;
    }
}

const char* EndOfInputKeys() {
    return "Ctrl-Z Enter";
}

} // namespace Platform
