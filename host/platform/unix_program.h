// Running one of the machine's Unix programs (the tests run Debian's HDF4
// tools, hrepack and ncgen-hdf, on files they wrote): directly on Linux;
// from a Windows program under Wine, through the HDF4 bridge's
// hdf4tools.dll, since a Windows program cannot wait for a Unix program it
// starts itself.
#ifndef LOADHDF_HOST_PLATFORM_UNIX_PROGRAM_H
#define LOADHDF_HOST_PLATFORM_UNIX_PROGRAM_H

#include <string>
#include <vector>

namespace Platform {

// The name a Unix program knows the file at Path by: Path itself on Linux;
// under Wine, Wine's Unix name for it. Throws std::runtime_error outside
// Wine or when Wine has none.
std::string UnixFileName(const std::string& Path);

// Runs Command[0] (searched on PATH) with the rest of Command as its
// arguments, its output discarded, and waits for it. Returns its exit
// status; -1 when it could not start or did not exit normally. Throws
// std::runtime_error when Unix programs cannot be run from here at all
// (Windows outside Wine, or the bridge's hdf4tools.dll missing).
int RunUnixProgram(const std::vector<std::string>& Command);

} // namespace Platform

#endif
