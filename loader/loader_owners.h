// Small owners for the host resources that the loader holds while it works:
// a host buffer, a host string, a host string list and the percent-done
// dialog. Each gives its resource back when it goes out of scope, so that
// every ending of a load releases the same things in the same order without
// cleanup code at each return. The HDF4 ids have their owners in
// catalogue/hdf_access.h.
#ifndef LOADHDF_LOADER_LOADER_OWNERS_H
#define LOADHDF_LOADER_LOADER_OWNERS_H

#include "interface/vyr_host_api.h"

#include <cstdint>

// A buffer from VyrUtilStringAlloc; null when the host had none to give.
class HostBuffer {
  public:
    HostBuffer(int32_t Size, const char* Tag) : Buffer(VyrUtilStringAlloc(Size, Tag)) {}
    ~HostBuffer() { VyrUtilStringDealloc(&Buffer); }
    HostBuffer(const HostBuffer&) = delete;
    HostBuffer& operator=(const HostBuffer&) = delete;
    char* Get() const { return Buffer; }

  private:
    char* Buffer;
};

// A string that the host handed out (a list item, say), given back with
// VyrUtilStringDealloc.
class HostString {
  public:
    explicit HostString(char* Owned) : Text(Owned) {}
    ~HostString() { VyrUtilStringDealloc(&Text); }
    HostString(const HostString&) = delete;
    HostString& operator=(const HostString&) = delete;
    const char* Get() const { return Text; }

  private:
    char* Text;
};

// A string list that the add-on allocated or was handed by the host.
class HostStringList {
  public:
    explicit HostStringList(VyrStringList_pa Owned) : List(Owned) {}
    ~HostStringList() { VyrUtilStringListDealloc(&List); }
    HostStringList(const HostStringList&) = delete;
    HostStringList& operator=(const HostStringList&) = delete;
    VyrStringList_pa Get() const { return List; }
    // Hands the list to the caller, who frees it from then on.
    VyrStringList_pa Release() {
        VyrStringList_pa Out = List;
        List = nullptr;
        return Out;
    }

  private:
    VyrStringList_pa List;
};

// The host's percent-done dialog with its Stop button, up for the owner's life.
class PercentDoneDialog {
  public:
    explicit PercentDoneDialog(const char* Label) { VyrUtilDialogLaunchPercentDone(Label, true); }
    ~PercentDoneDialog() { VyrUtilDialogDropPercentDone(); }
    PercentDoneDialog(const PercentDoneDialog&) = delete;
    PercentDoneDialog& operator=(const PercentDoneDialog&) = delete;
};

#endif
