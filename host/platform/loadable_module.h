// Loading an add-on module into the process, as the host loads its add-ons:
// the system's loader (dlopen of an ELF module, LoadLibraryEx of a DLL) and
// the look-up of a function the module exports. What the module does once
// started is the host's business (host/libvyr/loaders.cpp).
#ifndef LOADHDF_HOST_PLATFORM_LOADABLE_MODULE_H
#define LOADHDF_HOST_PLATFORM_LOADABLE_MODULE_H

#include <string>

namespace Platform {

// A module loaded for the life of the process: the host keeps the callbacks
// it registers, so nothing is ever unloaded.
struct LoadedModule;

// Loads the module at Path (a path as the host was given it; on Windows
// either slash separates folders, and the module's own DLLs are looked for
// in its folder first, with no "cannot find" dialog box). Returns the
// module, or null with the system's reason in *Why: dlerror's text, which
// names the file, or Windows' message and error number, which do not.
LoadedModule* LoadModule(const std::string& Path, std::string* Why);

// A function with C linkage that the module exports under Name, to be cast
// by the caller to its real type; null when the module exports none.
using ModuleFunction = void (*)(void);
ModuleFunction FindModuleFunction(LoadedModule* Module, const char* Name);

} // namespace Platform

#endif
