// The add-on's entry: InitVyrAddOn registers the add-on and its loader with
// the host and creates the global state; StateChangeCallback gives that
// state back when the host shuts down.
#include "addon/addon_entry.h"

#include "catalogue/file_scan.h"
#include "gui/load_dialog.h"
#include "interface/addon_state.h"
#include "interface/addon_version.h"
#include "loader/load_hdf_data.h"

#include <hdf/mfhdf.h>

#include <cstdio>
#include <cstdlib>

namespace {

// The host interface version the add-on is written against.
constexpr int32_t HostInterfaceVersion = 100;
constexpr size_t VersionMessageSize = 256;

// True when the host is recent enough; otherwise tells the user why not.
bool HostVersionAccepted() {
    if (VyrUtilGetVyrlithVersion() >= LOADHDF_MIN_HOST_VERSION)
        return true;
    char Message[VersionMessageSize];
    snprintf(Message, sizeof Message, "Add-on \"%s\" requires Vyrlith version %s or greater",
             LOADHDF_ADDON_NAME, LOADHDF_PRODUCT_VERSION);
    VyrUtilDialogErrMsg(Message);
    return false;
}

// The one HDF4 release the structure check is exact to: its rules keep
// away from HDF4 what 4.2.15's readers would misread, and on Windows the
// user's own HDF4 DLLs are loaded, which may be of another release whose
// readers fail on other records.
constexpr uint32 VerifiedHdf4Major = 4, VerifiedHdf4Minor = 2, VerifiedHdf4Release = 15;
// Hgetlibversion copies up to 80 characters and a null (LIBVSTR_LEN, in a
// header HDF4 keeps to itself).
constexpr size_t Hdf4VersionTextSize = 81;

// True when the HDF4 in the process is that release; otherwise tells the
// user which one it is.
bool Hdf4VersionAccepted() {
    uint32 Major = 0, Minor = 0, Release = 0;
    char Text[Hdf4VersionTextSize] = "";
    const bool Told = Hgetlibversion(&Major, &Minor, &Release, Text) == SUCCEED;
    if (Told && Major == VerifiedHdf4Major && Minor == VerifiedHdf4Minor &&
        Release == VerifiedHdf4Release)
        return true;
    char Found[VersionMessageSize / 2] = "of a version they do not tell";
    if (Told)
        snprintf(Found, sizeof Found, "version %u.%u.%u", static_cast<unsigned>(Major),
                 static_cast<unsigned>(Minor), static_cast<unsigned>(Release));
    char Message[VersionMessageSize];
    snprintf(Message, sizeof Message,
             "Add-on \"%s\" requires HDF4 version %u.%u.%u; the HDF4 libraries found are %s",
             LOADHDF_ADDON_NAME, static_cast<unsigned>(VerifiedHdf4Major),
             static_cast<unsigned>(VerifiedHdf4Minor), static_cast<unsigned>(VerifiedHdf4Release),
             Found);
    VyrUtilDialogErrMsg(Message);
    return false;
}

// Steps after the listener is in place: registration, the host's and
// HDF4's version checks, the global buffers and the loader. Whatever was obtained before a failure
// stays until the shutdown notice gives it back.
void RegisterAndCreateState() {
    HDdont_atexit();
    AddOnID = VyrUtilAddOnRegister(HostInterfaceVersion, LOADHDF_ADDON_NAME,
                                   LOADHDF_REGISTERED_VERSION, LOADHDF_CREDITS);
    if (!HostVersionAccepted() || !Hdf4VersionAccepted()) {
        FileName = DefaultFileName = nullptr;
        SdsEntries = nullptr;
        SelectedSds = nullptr;
        return;
    }

    FileName = static_cast<char*>(calloc(FileNameSize, 1));
    DefaultFileName = static_cast<char*>(calloc(FileNameSize, 1));
    SdsEntries = static_cast<SdsEntry*>(calloc(1, sizeof(SdsEntry)));
    SelectedSds = VyrUtilSetAlloc(false);
    KSkip = JSkip = ISkip = 1;

    if (FileName == nullptr || DefaultFileName == nullptr || SdsEntries == nullptr ||
        SelectedSds == nullptr) {
        VyrUtilDialogErrMsg("HDF Loader: Out of memory");
        return;
    }
    FileName[0] = '\0';
    DefaultFileName[0] = '\0';
    VyrUtilImportAddLoader(LoadHdfData, LOADHDF_ADDON_NAME, LaunchLoadDialog, nullptr);
}

// Gives the global buffers and the selection set back. Each pointer is
// nulled once freed, so that a second shutdown notice frees nothing twice.
// Between loads the catalogue is empty; a host that quits while the load
// dialog is up still holds a scanned one, whose scale buffers would be lost
// with the array, so it is emptied first.
void ReleaseGlobalState() {
    if (SdsEntries != nullptr && SdsCount > 0)
        FreeSdsEntries();
    free(FileName);
    FileName = nullptr;
    free(DefaultFileName);
    DefaultFileName = nullptr;
    free(SdsEntries);
    SdsEntries = nullptr;
    if (SelectedSds != nullptr)
        VyrUtilSetDealloc(&SelectedSds);
}

} // namespace

extern "C" LOADHDF_EXPORT void InitVyrAddOn(void) {
    VyrUtilLockOn();
    // Without a listener the state could never be given back: stay inert,
    // registering nothing and saying nothing.
    if (VyrUtilStateChangeAddCallback(StateChangeCallback))
        RegisterAndCreateState();
    SdsCount = 0;
    VyrUtilLockOff();
}

void StateChangeCallback(int32_t StateChange, intptr_t /*CallData*/) {
    VyrUtilLockStart(AddOnID);
    if (StateChange == VYR_STATE_CHANGE_SHUTDOWN)
        ReleaseGlobalState();
    VyrUtilLockFinish(AddOnID);
}
