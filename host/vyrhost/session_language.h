// The session language: one command a line, acting on the host as its user
// would (launch, answer, file, press, select, type, ok, cancel, help, ?,
// stop-at, replay, show, json, picture, quit). Used by `vyrhost script`, by
// standard input off a terminal and by the interactive session.
#ifndef LOADHDF_HOST_VYRHOST_SESSION_LANGUAGE_H
#define LOADHDF_HOST_VYRHOST_SESSION_LANGUAGE_H

#include "host_session.h"

#include <string>
#include <vector>

namespace VyrHostProgram {

struct SessionLine {
    std::string Verb; // the command word
    std::string Rest; // everything after the one blank that follows it, kept as it is
};

// Splits a line into its command word and the rest. A '#' that begins a
// word starts a comment, which is dropped with the blanks before it; a
// trailing carriage return is dropped too. False for a line with no command.
bool SplitSessionLine(const std::string& Line, SessionLine* Out);

enum class SessionStep { Done, Refused, Quit };

// Runs one command. Refused: the command is unknown, malformed, or the open
// dialog (or the host) cannot take it; *Why says which, nothing was done.
SessionStep RunSessionCommand(HostSession& Session, const SessionLine& Command, std::string* Why);

// What `?` prints: every command with a line of explanation.
std::string SessionCommandList();

// Runs a whole script, reporting each refused command with its line number
// on standard error ("vyrhost: line N: COMMAND: WHY"); a refusal makes the
// exit status 1 and the script goes on.
void RunSessionScript(HostSession& Session, const std::vector<std::string>& Lines);

} // namespace VyrHostProgram

#endif
