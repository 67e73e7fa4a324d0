// Finds the add-on module relative to the running program, as the real host
// finds its add-ons in its own installation rather than on the library path.
#include "addon_module.h"

#include "platform/program_path.h"

#include <filesystem>
#include <system_error>

namespace VyrHostProgram {

std::string FindAddOnModule(const std::optional<std::string>& Requested) {
    namespace fs = std::filesystem;
    if (Requested) {
        return *Requested;
    }
    std::error_code Error;
    const std::optional<fs::path> Program = Platform::RunningProgramPath();
    const fs::path Directory = Program ? Program->parent_path() : fs::current_path(Error);
    const fs::path NextToProgram = Directory / LOADHDF_MODULE_FILE_NAME;
    if (fs::exists(NextToProgram, Error)) {
        return NextToProgram.string();
    }
    return (Directory.parent_path() / "lib" / LOADHDF_MODULE_FILE_NAME).lexically_normal().string();
}

} // namespace VyrHostProgram
