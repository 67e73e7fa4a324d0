// The request behind Ctrl-C during a load. Ctrl-C only sets a flag: a
// SIGINT handler can safely do no more, and Windows calls its console
// control handler on a thread of its own. The percent-done observer reads
// the flag on the host's thread, so the add-on sees an ordinary Stop and
// ends the load as an interrupted one.
#include "stop_request.h"

#include "platform/ctrl_c.h"

#include <atomic>

namespace VyrHostProgram {
namespace {

// Lock-free, so that both a signal handler and another thread may set it.
std::atomic<bool> StopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void RequestStop() {
    StopRequested = true;
}

} // namespace

StopOnInterrupt::StopOnInterrupt() {
    StopRequested = false;
    Caught = Platform::CatchCtrlC(RequestStop);
}

StopOnInterrupt::~StopOnInterrupt() {
    if (Caught) {
        Platform::ReleaseCtrlC();
    }
    StopRequested = false;
}

bool TakeStopRequest() {
    return StopRequested.exchange(false);
}

} // namespace VyrHostProgram
