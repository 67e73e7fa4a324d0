// Where the running program's own file is, so that the host program can
// find the add-on in its own installation, as the real host does.
#ifndef LOADHDF_HOST_PLATFORM_PROGRAM_PATH_H
#define LOADHDF_HOST_PLATFORM_PROGRAM_PATH_H

#include <filesystem>
#include <optional>

namespace Platform {

// The full path of the running program's executable (/proc/self/exe's
// target on Linux, GetModuleFileNameW on Windows, however long); nullopt
// when the system will not say.
std::optional<std::filesystem::path> RunningProgramPath();

} // namespace Platform

#endif
