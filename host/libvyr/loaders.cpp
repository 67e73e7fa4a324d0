// Add-on loading and the import registry: loading an add-on module (through
// the system's loader, host/platform/loadable_module.h), the loaders it
// registers, the instruction lists it records, and the host's two ways into
// a loader (the user picking it, and a replay).
#include "host_state.h"

#include "platform/loadable_module.h"

using namespace VyrHost::Detail;

namespace {

using InitFn = void (*)(void);

// The module's InitVyrAddOn; null, and why in Why, when the module cannot be
// loaded or lacks it. The module stays loaded for the life of the process:
// the host keeps its callbacks, and Reset does not unload what it did not
// load.
InitFn OpenModule(const std::string& Path, std::string* Why) {
    Platform::LoadedModule* Module = Platform::LoadModule(Path, Why);
    if (Module == nullptr)
        return nullptr;
    const InitFn Init = Platform::FindModuleFunction(Module, "InitVyrAddOn");
    if (Init == nullptr)
        *Why = Path + " exports no InitVyrAddOn";
    return Init;
}

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
