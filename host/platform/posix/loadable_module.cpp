// Loading an add-on module on POSIX systems: dlopen, with every symbol
// bound at once and none offered to later modules.
#include "platform/loadable_module.h"

#include <dlfcn.h>

namespace Platform {

LoadedModule* LoadModule(const std::string& Path, std::string* Why) {
    void* Module = dlopen(Path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (Module == nullptr) {
        *Why = dlerror();
        return nullptr;
    }
    return static_cast<LoadedModule*>(Module);
}

ModuleFunction FindModuleFunction(LoadedModule* Module, const char* Name) {
    return reinterpret_cast<ModuleFunction>(dlsym(Module, Name));
}

} // namespace Platform
