// The SIGINT handler behind Ctrl-C during a load. The handler only sets a
// flag (all that is safe in a signal handler); the percent-done observer
// reads it on the host's thread, so the add-on sees an ordinary Stop and
// ends the load as an interrupted one.
#include "stop_request.h"

namespace VyrHostProgram {
namespace {

volatile std::sig_atomic_t StopRequested = 0;

extern "C" void OnInterrupt(int) {
    StopRequested = 1;
}

} // namespace

StopOnInterrupt::StopOnInterrupt() {
    StopRequested = 0;
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
    StopRequested = 0;
}

bool TakeStopRequest() {
    if (StopRequested == 0) {
        return false;
    }
    StopRequested = 0;
    return true;
}

} // namespace VyrHostProgram
