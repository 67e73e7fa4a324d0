// Ctrl-C during a load: while a StopOnInterrupt guard lives, Ctrl-C does not
// end the program but records a request that the percent-done dialog turns
// into a press of its Stop button at its next check.
#ifndef LOADHDF_HOST_VYRHOST_STOP_REQUEST_H
#define LOADHDF_HOST_VYRHOST_STOP_REQUEST_H

namespace VyrHostProgram {

// Catches Ctrl-C for its lifetime (host/platform/ctrl_c.h) and puts back
// what Ctrl-C did before afterwards; a request left over is dropped either
// way.
class StopOnInterrupt {
  public:
    StopOnInterrupt();
    ~StopOnInterrupt();
    StopOnInterrupt(const StopOnInterrupt&) = delete;
    StopOnInterrupt& operator=(const StopOnInterrupt&) = delete;

  private:
    bool Caught = false;
};

// True once per Ctrl-C received under a guard: reading clears it.
bool TakeStopRequest();

} // namespace VyrHostProgram

#endif
