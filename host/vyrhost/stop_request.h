// Ctrl-C during a load: while a StopOnInterrupt guard lives, Ctrl-C does not
// end the program but records a request that the percent-done dialog turns
// into a press of its Stop button at its next check.
#ifndef LOADHDF_HOST_VYRHOST_STOP_REQUEST_H
#define LOADHDF_HOST_VYRHOST_STOP_REQUEST_H

#ifndef _WIN32
#include <csignal>
#endif

namespace VyrHostProgram {

// Installs the handler for its lifetime (a SIGINT handler on Linux, a
// console control handler on Windows) and puts the previous one back
// afterwards; a request left over is dropped either way.
class StopOnInterrupt {
  public:
    StopOnInterrupt();
    ~StopOnInterrupt();
    StopOnInterrupt(const StopOnInterrupt&) = delete;
    StopOnInterrupt& operator=(const StopOnInterrupt&) = delete;

  private:
#ifndef _WIN32
    struct sigaction Previous {};
#endif
    bool Installed = false;
};

// True once per Ctrl-C received under a guard: reading clears it.
bool TakeStopRequest();

} // namespace VyrHostProgram

#endif
