// Test helper: runs one of Debian's HDF4 command-line tools (hrepack,
// ncgen-hdf) on files the tests wrote, on Linux and, through the HDF4
// bridge's hdf4tools.dll, from the Windows test programs under Wine.
#ifndef LOADHDF_TESTS_SUPPORT_HDF4_TOOLS_H
#define LOADHDF_TESTS_SUPPORT_HDF4_TOOLS_H

#include <string>
#include <vector>

namespace TestHdf {

// One argument of a tool: a file's path as the test program names it, or
// any other text, passed as it stands.
struct ToolArgument {
    std::string Text;
    bool IsPath = false;
};
inline ToolArgument FileArgument(const std::string& Path) {
    return {Path, true};
}

// Runs Tool (searched on PATH) with Arguments, its output discarded; throws
// std::runtime_error, naming the command, unless it exits with status 0.
void RunHdf4Tool(const char* Tool, const std::vector<ToolArgument>& Arguments);

} // namespace TestHdf

#endif
