// A new folder of the process's own in the system's temporary folder, for
// the files that the tests write and the programs they run read.
#ifndef LOADHDF_HOST_PLATFORM_PRIVATE_FOLDER_H
#define LOADHDF_HOST_PLATFORM_PRIVATE_FOLDER_H

#include <filesystem>
#include <string>

namespace Platform {

// Makes a folder named Prefix and a unique ending in the system's temporary
// folder, one that did not exist before this call (mkdtemp; on Windows a
// random ending, taken only if the folder could be created), and returns
// its path. Removing it is the caller's. Throws std::runtime_error when no
// folder can be made.
std::filesystem::path MakePrivateFolder(const std::string& Prefix);

} // namespace Platform

#endif
