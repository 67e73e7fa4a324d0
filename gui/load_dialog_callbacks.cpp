// The load dialog's init, OK and Cancel callbacks. OK hands the user's
// choices to LoadHdfData through an instruction list, exactly the road a
// replayed load takes; the dialog never reads HDF data itself. OK's success
// path and Cancel each end the host lock that LaunchLoadDialog started.
#include "gui/load_dialog_callbacks.h"

#include "catalogue/file_scan.h"
#include "gui/data_set_list.h"
#include "gui/skip_fields.h"
#include "interface/addon_state.h"
#include "loader/load_hdf_data.h"
#include "loader/loader_instructions.h"

void LoadDialogInitCallback(void) {
    VyrUtilSetClear(SelectedSds);
    VyrGUIListDeleteAllItems(DataSetList);
    ShowSkipsInFields();
    FileName[0] = '\0';
    VyrGUILabelSetText(FileNameLabel, NoFileSelectedText);
    UpdateDataSetControls(false);
}

void LoadDialogOkCallback(void) {
    if (FileName[0] == '\0') {
        VyrUtilDialogErrMsg("Please select a file");
        return;
    }
    if (VyrUtilSetIsEmpty(SelectedSds)) {
        VyrUtilDialogErrMsg("Please select at least one DataSet");
        return;
    }
    // The conversion's percent-done dialog runs without the load dialog.
    VyrGUIDialogDrop(LoadDialog);

    VyrStringList_pa Instructions = BuildLoaderInstructions();
    bool Loaded = false;
    if (Instructions != nullptr) {
        Loaded = LoadHdfData(Instructions);
    } else {
        // Without a list the loader never runs, so the catalogue it would
        // have emptied is emptied here: none survives a closed dialog.
        FreeSdsEntries();
    }
    if (!Loaded)
        VyrUtilDialogErrMsg("Error reading file");
    VyrUtilStringListDealloc(&Instructions);
    VyrUtilLockFinish(AddOnID);
}

void LoadDialogCancelCallback(void) {
    VyrGUIDialogDrop(LoadDialog);
    FreeSdsEntries();
    VyrUtilLockFinish(AddOnID);
}
