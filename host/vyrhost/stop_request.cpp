// The handler behind Ctrl-C during a load. It only sets a flag: a SIGINT
// handler can safely do no more, and Windows calls its console control
// handler on a thread of its own. The percent-done observer reads the flag
// on the host's thread, so the add-on sees an ordinary Stop and ends the
// load as an interrupted one.
#include "stop_request.h"

#include <atomic>

#ifdef _WIN32
#include <windows.h>
#endif

namespace VyrHostProgram {
namespace {

// Lock-free, so that both a signal handler and another thread may set it.
std::atomic<bool> StopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

#ifdef _WIN32
BOOL WINAPI OnControl(DWORD Event) {
    if (Event != CTRL_C_EVENT && Event != CTRL_BREAK_EVENT) {
        return FALSE; // closing the console or logging off still ends the program
    }
    StopRequested = true;
    return TRUE;
}
#else
extern "C" void OnInterrupt(int) {
    StopRequested = true;
}
#endif

} // namespace

#ifdef _WIN32

StopOnInterrupt::StopOnInterrupt() {
    StopRequested = false;
    Installed = SetConsoleCtrlHandler(OnControl, TRUE) != 0;
}

StopOnInterrupt::~StopOnInterrupt() {
    if (Installed) {
        SetConsoleCtrlHandler(OnControl, FALSE);
    }
    StopRequested = false;
}

#else

StopOnInterrupt::StopOnInterrupt() {
    StopRequested = false;
    struct sigaction Action {};
    Action.sa_handler = OnInterrupt;
    sigemptyset(&Action.sa_mask);
    // A write to the terminal that the signal interrupts (the progress bar)
    // carries on instead of failing.
    Action.sa_flags = SA_RESTART;
    Installed = sigaction(SIGINT, &Action, &Previous) == 0;
}

StopOnInterrupt::~StopOnInterrupt() {
    if (Installed) {
        sigaction(SIGINT, &Previous, nullptr);
    }
    StopRequested = false;
}

#endif

bool TakeStopRequest() {
    return StopRequested.exchange(false);
}

} // namespace VyrHostProgram
