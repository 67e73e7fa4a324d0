// Finds loadhdf.so relative to the running program, as the real host finds
// its add-ons in its own installation rather than on the library path.
#include "addon_module.h"

#include <filesystem>
#include <system_error>

namespace VyrHostProgram {
namespace {

const char* const ModuleFileName = "loadhdf.so";

} // namespace

std::string FindAddOnModule(const std::optional<std::string>& Requested) {
    if (Requested) {
        return *Requested;
    }
    namespace fs = std::filesystem;
    std::error_code Error;
    const fs::path Program = fs::read_symlink("/proc/self/exe", Error);
    const fs::path Directory = Error ? fs::current_path(Error) : Program.parent_path();
    const fs::path NextToProgram = Directory / ModuleFileName;
    if (fs::exists(NextToProgram, Error)) {
        return NextToProgram.string();
    }
    return (Directory.parent_path() / "lib" / ModuleFileName).lexically_normal().string();
}

} // namespace VyrHostProgram
