// The interactive session on a terminal: a prompt, the session language,
// and the open dialog drawn after each command.
#ifndef LOADHDF_HOST_VYRHOST_INTERACTIVE_SESSION_H
#define LOADHDF_HOST_VYRHOST_INTERACTIVE_SESSION_H

#include "host_session.h"

namespace VyrHostProgram {

// Reads commands from standard input until quit or the end of input
// (Ctrl-D; Ctrl-Z Enter on Windows). Refused commands are reported at once on standard error and
// make the exit status 1, as in a script.
void RunInteractiveSession(HostSession& Session);

} // namespace VyrHostProgram

#endif
