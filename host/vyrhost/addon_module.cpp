// Finds the add-on module relative to the running program, as the real host
// finds its add-ons in its own installation rather than on the library path.
#include "addon_module.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace VyrHostProgram {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
std::optional<fs::path> RunningProgram() {
    std::wstring Path(MAX_PATH, L'\0');
    while (true) {
        const DWORD Length =
            GetModuleFileNameW(nullptr, Path.data(), static_cast<DWORD>(Path.size()));
        if (Length == 0) {
            return std::nullopt;
        }
        if (Length < Path.size()) {
            Path.resize(Length);
            return fs::path(Path);
        }
        Path.resize(Path.size() * 2); // cut short: a longer path than MAX_PATH
    }
}
#else
std::optional<fs::path> RunningProgram() {
    std::error_code Error;
    const fs::path Program = fs::read_symlink("/proc/self/exe", Error);
    if (Error) {
        return std::nullopt;
    }
    return Program;
}
#endif

} // namespace

std::string FindAddOnModule(const std::optional<std::string>& Requested) {
    if (Requested) {
        return *Requested;
    }
    std::error_code Error;
    const std::optional<fs::path> Program = RunningProgram();
    const fs::path Directory = Program ? Program->parent_path() : fs::current_path(Error);
    const fs::path NextToProgram = Directory / LOADHDF_MODULE_FILE_NAME;
    if (fs::exists(NextToProgram, Error)) {
        return NextToProgram.string();
    }
    return (Directory.parent_path() / "lib" / LOADHDF_MODULE_FILE_NAME).lexically_normal().string();
}

} // namespace VyrHostProgram
