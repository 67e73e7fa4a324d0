// The add-on's entry: the one export the host calls after loading the
// module, and the listener that gives the global state back at shutdown.
#ifndef LOADHDF_ADDON_ADDON_ENTRY_H
#define LOADHDF_ADDON_ADDON_ENTRY_H

#include <cstdint>

// The one symbol the module exports: dllexport in loadhdf.dll, which then
// exports nothing else; default visibility in the ELF module, whose other
// symbols are hidden.
#ifdef _WIN32
#define LOADHDF_EXPORT __declspec(dllexport)
#else
#define LOADHDF_EXPORT __attribute__((visibility("default")))
#endif

extern "C" LOADHDF_EXPORT void InitVyrAddOn(void);

// Host state-change listener: on VYR_STATE_CHANGE_SHUTDOWN gives back FileName,
// DefaultFileName, SdsEntries and SelectedSds; other codes change nothing.
void StateChangeCallback(int32_t StateChange, intptr_t CallData);

#endif
