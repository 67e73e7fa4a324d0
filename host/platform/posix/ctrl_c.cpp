// Ctrl-C on POSIX systems: a SIGINT handler, installed with sigaction so
// that the one it replaced can be put back.
#include "platform/ctrl_c.h"

#include <atomic>
#include <csignal>

namespace Platform {
namespace {

// The caller's function while a catch is in place: set before the handler
// is installed and cleared after it is gone. Lock-free, so that the signal
// handler may read it.
std::atomic<void (*)(void)> CtrlCCallback{nullptr};
static_assert(std::atomic<void (*)(void)>::is_always_lock_free);
struct sigaction Previous {};

extern "C" void OnInterrupt(int) {
    if (void (*const OnCtrlC)(void) = CtrlCCallback) {
        OnCtrlC();
    }
}

} // namespace

bool CatchCtrlC(void (*OnCtrlC)(void)) {
    if (CtrlCCallback != nullptr) {
        return false;
    }
    CtrlCCallback = OnCtrlC;
    struct sigaction Action {};
    Action.sa_handler = OnInterrupt;
    sigemptyset(&Action.sa_mask);
    Action.sa_flags = SA_RESTART;
    if (sigaction(SIGINT, &Action, &Previous) != 0) {
        CtrlCCallback = nullptr;
        return false;
    }
    return true;
}

void ReleaseCtrlC() {
    if (CtrlCCallback == nullptr) {
        return;
    }
    sigaction(SIGINT, &Previous, nullptr);
    CtrlCCallback = nullptr;
}

} // namespace Platform
