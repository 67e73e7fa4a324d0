// Where the host program finds the add-on module to load.
#ifndef LOADHDF_HOST_VYRHOST_ADDON_MODULE_H
#define LOADHDF_HOST_VYRHOST_ADDON_MODULE_H

#include <optional>
#include <string>

// The module's file name on this system.
#ifdef _WIN32
#define LOADHDF_MODULE_FILE_NAME "loadhdf.dll"
#else
#define LOADHDF_MODULE_FILE_NAME "loadhdf.so"
#endif

namespace VyrHostProgram {

// The module named by --addon when given; otherwise loadhdf.so (loadhdf.dll
// on Windows) next to the program, else in ../lib/ relative to the program's
// directory (the build tree's bin/ and lib/). The second place is returned when neither exists,
// so that the loader's own error names a sensible path.
std::string FindAddOnModule(const std::optional<std::string>& Requested);

} // namespace VyrHostProgram

#endif
