// Running a Unix program from a Windows program under Wine: Wine starts a
// Unix program from CreateProcess but gives back no exit status, so the
// command goes to run_unix_program of the HDF4 bridge's hdf4tools.dll,
// which spawns and waits on the Unix side; file names are turned into Unix
// ones by Wine's own kernel32.
#include "platform/unix_program.h"

#include <stdexcept>
#include <windows.h>

namespace Platform {
namespace {

template <class Function> Function Export(const char* Dll, const char* Name) {
    HMODULE Module = LoadLibraryA(Dll);
    return Module == nullptr
               ? nullptr
               : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(Module, Name)));
}

} // namespace

std::string UnixFileName(const std::string& Path) {
    using ToUnix = char*(__cdecl*)(const WCHAR*);
    static const ToUnix Convert = Export<ToUnix>("kernel32.dll", "wine_get_unix_file_name");
    if (Convert == nullptr) {
        throw std::runtime_error("Debian's HDF4 tools run only under Wine");
    }
    std::wstring Wide(Path.size() + 1, L'\0');
    Wide.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_ACP, 0, Path.c_str(), -1, Wide.data(), int(Wide.size()))));
    char* Name = Convert(Wide.c_str());
    if (Name == nullptr) {
        throw std::runtime_error("Wine has no Unix name for " + Path);
    }
    std::string Unix = Name;
    HeapFree(GetProcessHeap(), 0, Name);
    return Unix;
}

int RunUnixProgram(const std::vector<std::string>& Command) {
    using RunUnix = int(__cdecl*)(char* const*);
    static const RunUnix Run = Export<RunUnix>("hdf4tools.dll", "run_unix_program");
    if (Run == nullptr) {
        throw std::runtime_error("the HDF4 bridge's hdf4tools.dll is missing (tools/wine-run.sh)");
    }
    std::vector<char*> Arguments;
    for (const std::string& Argument : Command) {
        Arguments.push_back(const_cast<char*>(Argument.c_str()));
    }
    Arguments.push_back(nullptr);
    return Run(Arguments.data());
}

} // namespace Platform
