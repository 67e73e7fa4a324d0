// LoadHdfData: the loader function of "HDF Loader". The same road serves the
// load dialog's OK and the host's replay of a recorded load: read the list,
// scan the file unless the dialog already has, convert, and hand the list
// back to the host only after a load that ran to its end.
#include "loader/load_hdf_data.h"

#include "catalogue/file_scan.h"
#include "interface/addon_state.h"
#include "interface/addon_version.h"
#include "loader/data_set_build.h"
#include "loader/loader_instructions.h"

namespace {

// Everything between the lock's start and finish but emptying the catalogue.
bool LoadFromInstructions(VyrStringList_pa Instructions) {
    // A null list is what the load dialog has when the host could not build
    // one; BuildLoaderInstructions has said so already.
    if (Instructions == nullptr || !ParseLoaderInstructions(Instructions))
        return false;
    if (SdsCount < 1 && !ScanHdfFile())
        return false;
    if (VyrUtilSetIsEmpty(SelectedSds)) {
        VyrUtilDialogErrMsg("No Scientific Data Sets to load");
        return false;
    }
    const bool Loaded = LoadSelectedDataSets();
    if (Loaded && !LoadInterrupted)
        VyrUtilImportSetLoaderInstr(LOADHDF_ADDON_NAME, Instructions);
    return Loaded;
}

} // namespace

VyrBoolean_t LoadHdfData(VyrStringList_pa Instructions) {
    VyrUtilLockStart(AddOnID);
    const bool Result = LoadFromInstructions(Instructions);
    FreeSdsEntries();
    VyrUtilLockFinish(AddOnID);
    return Result;
}
