// The running program's path on Windows: GetModuleFileNameW of the program
// itself, asked again with more room while the answer is cut short.
#include "platform/program_path.h"

#include <string>
#include <windows.h>

namespace Platform {

std::optional<std::filesystem::path> RunningProgramPath() {
    std::wstring Path(MAX_PATH, L'\0');
    while (true) {
        const DWORD Length =
            GetModuleFileNameW(nullptr, Path.data(), static_cast<DWORD>(Path.size()));
        if (Length == 0) {
            return std::nullopt;
        }
        if (Length < Path.size()) {
            Path.resize(Length);
            return std::filesystem::path(Path);
        }
        Path.resize(Path.size() * 2); // cut short: a longer path than MAX_PATH
    }
}

} // namespace Platform
