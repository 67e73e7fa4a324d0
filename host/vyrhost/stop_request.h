// Ctrl-C during a load: while a StopOnInterrupt guard lives, SIGINT does not
// end the program but records a request that the percent-done dialog turns
// into a press of its Stop button at its next check.
#ifndef LOADHDF_HOST_VYRHOST_STOP_REQUEST_H
#define LOADHDF_HOST_VYRHOST_STOP_REQUEST_H

#include <csignal>

namespace VyrHostProgram {

// Installs the SIGINT handler for its lifetime and puts the previous
// disposition back afterwards; a request left over is dropped either way.
class StopOnInterrupt {
  public:
    StopOnInterrupt();
    ~StopOnInterrupt();
    StopOnInterrupt(const StopOnInterrupt&) = delete;
    StopOnInterrupt& operator=(const StopOnInterrupt&) = delete;

  private:
    struct sigaction Previous {};
    bool Installed = false;
};

// True once per Ctrl-C received under a guard: reading clears it.
bool TakeStopRequest();

} // namespace VyrHostProgram

#endif
