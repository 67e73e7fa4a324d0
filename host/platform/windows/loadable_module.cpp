// Loading an add-on module on Windows: LoadLibraryEx with the module's own
// folder searched first for the DLLs it imports, and the system's reason
// given to the caller rather than shown in a dialog box.
#include "platform/loadable_module.h"

#include <cstdio>
#include <windows.h>

namespace Platform {
namespace {

// The system's text for the calling thread's last error, with its number.
std::string LastErrorText() {
    const DWORD Code = GetLastError();
    char Text[512] = "";
    const DWORD Length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, Code, 0, Text, sizeof Text, nullptr);
    std::string Why(Text, Length);
    while (!Why.empty() && (Why.back() == '\n' || Why.back() == '\r' || Why.back() == ' ')) {
        Why.pop_back();
    }
    char Number[32];
    std::snprintf(Number, sizeof Number, "error %lu", static_cast<unsigned long>(Code));
    return Why.empty() ? Number : Why + " (" + Number + ")";
}

} // namespace

LoadedModule* LoadModule(const std::string& Path, std::string* Why) {
    // LOAD_WITH_ALTERED_SEARCH_PATH wants backslashes to find the module's
    // folder.
    std::string WindowsPath = Path;
    for (char& C : WindowsPath) {
        if (C == '/') {
            C = '\\';
        }
    }
    DWORD OldMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &OldMode);
    const HMODULE Module =
        LoadLibraryExA(WindowsPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    const std::string LoadWhy = Module == nullptr ? LastErrorText() : "";
    SetThreadErrorMode(OldMode, nullptr);
    if (Module == nullptr) {
        *Why = LoadWhy;
        return nullptr;
    }
    return reinterpret_cast<LoadedModule*>(Module);
}

ModuleFunction FindModuleFunction(LoadedModule* Module, const char* Name) {
    return reinterpret_cast<ModuleFunction>(
        reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(Module), Name)));
}

} // namespace Platform
