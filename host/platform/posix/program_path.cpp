// The running program's path on Linux: the link /proc/self/exe.
#include "platform/program_path.h"

#include <system_error>

namespace Platform {

std::optional<std::filesystem::path> RunningProgramPath() {
    std::error_code Error;
    const std::filesystem::path Program = std::filesystem::read_symlink("/proc/self/exe", Error);
    if (Error) {
        return std::nullopt;
    }
    return Program;
}

} // namespace Platform
