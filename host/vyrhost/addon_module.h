// Where the host program finds the add-on module to load.
#ifndef LOADHDF_HOST_VYRHOST_ADDON_MODULE_H
#define LOADHDF_HOST_VYRHOST_ADDON_MODULE_H

#include <optional>
#include <string>

namespace VyrHostProgram {

// The module named by --addon when given; otherwise loadhdf.so next to the
// program, else in ../lib/ relative to the program's directory (the build
// tree's bin/ and lib/). The second place is returned when neither exists,
// so that the loader's own error names a sensible path.
std::string FindAddOnModule(const std::optional<std::string>& Requested);

} // namespace VyrHostProgram

#endif
