// Ctrl-C on Windows: a console control handler, which the system calls on a
// thread of its own for Ctrl-C and Ctrl-Break.
#include "platform/ctrl_c.h"

#include <atomic>
#include <windows.h>

namespace Platform {
namespace {

// The caller's function while a catch is in place: set before the handler
// is added and cleared after it is removed.
std::atomic<void (*)(void)> CtrlCCallback{nullptr};

BOOL WINAPI OnControl(DWORD Event) {
    if (Event != CTRL_C_EVENT && Event != CTRL_BREAK_EVENT) {
        return FALSE; // closing the console or logging off still ends the program
    }
    if (void (*const OnCtrlC)(void) = CtrlCCallback) {
        OnCtrlC();
    }
    return TRUE;
}

} // namespace

bool CatchCtrlC(void (*OnCtrlC)(void)) {
    if (CtrlCCallback != nullptr) {
        return false;
    }
    CtrlCCallback = OnCtrlC;
    if (SetConsoleCtrlHandler(OnControl, TRUE) == 0) {
        CtrlCCallback = nullptr;
        return false;
    }
    return true;
}

void ReleaseCtrlC() {
    if (CtrlCCallback == nullptr) {
        return;
    }
    SetConsoleCtrlHandler(OnControl, FALSE);
    CtrlCCallback = nullptr;
}

} // namespace Platform
