// Where the host program finds the add-on module to load.
#ifndef LOADHDF_HOST_VYRHOST_ADDON_MODULE_H
#define LOADHDF_HOST_VYRHOST_ADDON_MODULE_H

#include <optional>
#include <string>

// LOADHDF_MODULE_FILE_NAME, the module's file name on this system
// ("loadhdf.so", "loadhdf.dll"), comes from the build, which makes the
// module.
#ifndef LOADHDF_MODULE_FILE_NAME
#error "LOADHDF_MODULE_FILE_NAME: the build names the add-on module's file"
#endif

namespace VyrHostProgram {

// The module named by --addon when given; otherwise loadhdf.so (loadhdf.dll
// on Windows) next to the program, else in ../lib/ relative to the
// program's directory (the build tree's bin/ and lib/). The second place is
// returned when neither exists, so that the loader's own error names a
// sensible path.
std::string FindAddOnModule(const std::optional<std::string>& Requested);

} // namespace VyrHostProgram

#endif
