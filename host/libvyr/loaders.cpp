// Add-on loading and the import registry: loading an add-on module (dlopen,
// or LoadLibrary on Windows), the
// loaders it registers, the instruction lists it records, and the host's
// two ways into a loader (the user picking it, and a replay).
#include "host_state.h"

#ifdef _WIN32
#include <cstdio>
#include <windows.h>
#else
#include <dlfcn.h>
#endif

using namespace VyrHost::Detail;

namespace {

using InitFn = void (*)(void);

// The module's InitVyrAddOn; null, and why in Why, when the module cannot be
// loaded or lacks it. The module stays loaded for the life of the process:
// the host keeps its callbacks, and Reset does not unload what it did not
// load.
#ifdef _WIN32
std::string LastErrorText() {
    const DWORD Code = GetLastError();
    char Text[512] = "";
    const DWORD Length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, Code, 0, Text, sizeof Text, nullptr);
    std::string Why(Text, Length);
    while (!Why.empty() && (Why.back() == '\n' || Why.back() == '\r' || Why.back() == ' '))
        Why.pop_back();
    char Number[32];
    std::snprintf(Number, sizeof Number, "error %lu", static_cast<unsigned long>(Code));
    return Why.empty() ? Number : Why + " (" + Number + ")";
}

InitFn OpenModule(const std::string& Path, std::string* Why) {
    // The Windows loader wants backslashes; the module's own dependencies
    // are looked for in its folder first. No "cannot find" dialog box: the
    // reason goes to the caller.
    std::string WindowsPath = Path;
    for (char& C : WindowsPath)
        if (C == '/')
            C = '\\';
    DWORD OldMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &OldMode);
    const HMODULE Module =
        LoadLibraryExA(WindowsPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    const std::string LoadWhy = Module == nullptr ? LastErrorText() : "";
    SetThreadErrorMode(OldMode, nullptr);
    if (Module == nullptr) {
        *Why = LoadWhy; // the system's text does not name the file: the caller does
        return nullptr;
    }
    auto Init =
        reinterpret_cast<InitFn>(reinterpret_cast<void*>(GetProcAddress(Module, "InitVyrAddOn")));
    if (Init == nullptr)
        *Why = Path + " exports no InitVyrAddOn";
    return Init;
}
#else
InitFn OpenModule(const std::string& Path, std::string* Why) {
    void* Module = dlopen(Path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (Module == nullptr) {
        *Why = dlerror();
        return nullptr;
    }
    auto Init = reinterpret_cast<InitFn>(dlsym(Module, "InitVyrAddOn"));
    if (Init == nullptr)
        *Why = Path + " exports no InitVyrAddOn";
    return Init;
}
#endif

LoaderRecord* FindLoader(const std::string& Name) {
    for (LoaderRecord& L : State().Loaders)
        if (L.Name == Name)
            return &L;
    return nullptr;
}

} // namespace

namespace VyrHost {

bool LoadAddOn(const std::string& Path, std::string* Why) {
    std::string Reason;
    const InitFn Init = OpenModule(Path, &Reason);
    if (Init == nullptr) {
        if (Why != nullptr)
            *Why = Reason;
        return false;
    }
    Init();
    return true;
}

std::vector<std::string> LoaderNames() {
    std::vector<std::string> Names;
    for (const LoaderRecord& L : State().Loaders)
        Names.push_back(L.Name);
    return Names;
}

bool PickLoader(const std::string& LoaderName) {
    const LoaderRecord* L = FindLoader(LoaderName);
    if (L == nullptr)
        return false;
    if (L->MenuCallback != nullptr)
        L->MenuCallback();
    return true;
}

bool CallLoader(const std::string& LoaderName, const std::vector<std::string>& Items,
                bool* Result) {
    const LoaderRecord* L = FindLoader(LoaderName);
    if (L == nullptr)
        return false;
    const VyrDataLoader_pf Loader = L->Loader;
    // The list is the host's: live for the add-on during the call, given
    // back by the host afterwards.
    auto* List = new VyrStringList_s{Items};
    Track(List, AllocKind::List, "string list", /*HostOwned=*/true);
    const bool Loaded = Loader(List);
    FreeTracked(List);
    if (Result != nullptr)
        *Result = Loaded;
    return true;
}

std::optional<std::vector<std::string>> RecordedInstructions(const std::string& LoaderName) {
    const LoaderRecord* L = FindLoader(LoaderName);
    if (L == nullptr)
        return std::nullopt;
    return L->Recorded;
}

} // namespace VyrHost

extern "C" {

void VyrUtilImportAddLoader(VyrDataLoader_pf Loader, const char* LoaderName,
                            VyrDynamicMenuCallback_pf MenuCallback,
                            VyrLoaderInstrOverride_pf InstrOverride) {
    const char* Op = "VyrUtilImportAddLoader";
    if (!HasText(LoaderName, Op, "loader name"))
        return;
    if (Loader == nullptr) {
        HostError("%s: null loader function", Op);
        return;
    }
    if (FindLoader(LoaderName) != nullptr) {
        HostError("%s: loader \"%s\" is already registered", Op, LoaderName);
        return;
    }
    State().Loaders.push_back(LoaderRecord{LoaderName, Loader, MenuCallback, InstrOverride, {}});
}

void VyrUtilImportSetLoaderInstr(const char* LoaderName, VyrStringList_pa Instructions) {
    const char* Op = "VyrUtilImportSetLoaderInstr";
    if (!HasText(LoaderName, Op, "loader name"))
        return;
    VyrStringList_s* List = LiveList(Instructions, Op);
    if (List == nullptr)
        return;
    LoaderRecord* L = FindLoader(LoaderName);
    if (L == nullptr) {
        HostError("%s: no loader \"%s\"", Op, LoaderName);
        return;
    }
    L->Recorded = List->Items;
}

} // extern "C"
