// Ctrl-C at the console, caught: for as long as the caller wants, Ctrl-C
// calls a function of the caller's instead of ending the program. On POSIX
// systems that is a SIGINT handler; on Windows a console control handler,
// which also takes Ctrl-Break.
#ifndef LOADHDF_HOST_PLATFORM_CTRL_C_H
#define LOADHDF_HOST_PLATFORM_CTRL_C_H

namespace Platform {

// From now until ReleaseCtrlC, Ctrl-C calls OnCtrlC. OnCtrlC runs inside a
// signal handler, or on a thread of the system's own on Windows, so it may
// do no more than set a lock-free atomic flag. A write to the terminal that
// the signal interrupts carries on instead of failing. Closing the console
// or logging off still ends the program. One catch at a time: returns
// false, and changes nothing, when the system refused or a catch is
// already in place.
bool CatchCtrlC(void (*OnCtrlC)(void));

// Puts back what Ctrl-C did before CatchCtrlC; nothing when no catch is in
// place.
void ReleaseCtrlC();

} // namespace Platform

#endif
