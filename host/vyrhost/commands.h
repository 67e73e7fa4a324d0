// The one-shot commands of the host program: list, attributes, load and
// replay, each a short sequence of the user's actions on the host.
#ifndef LOADHDF_HOST_VYRHOST_COMMANDS_H
#define LOADHDF_HOST_VYRHOST_COMMANDS_H

#include "host_session.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace VyrHostProgram {

// Prints the load dialog's list lines for File, one per line, then cancels.
void RunList(HostSession& Session, const std::string& File);
// Prints the attributes dialog's text for File exactly, then cancels both
// dialogs.
void RunAttributes(HostSession& Session, const std::string& File);
// Selects the list items Sds, types Skips into the I, J and K skip fields
// and presses OK.
void RunLoad(HostSession& Session, const std::string& File, const std::vector<int32_t>& Sds,
             const std::array<std::string, 3>& Skips);
// Calls the loader with the lines of ListFile ("-": standard input).
void RunReplay(HostSession& Session, const std::string& ListFile);

} // namespace VyrHostProgram

#endif
