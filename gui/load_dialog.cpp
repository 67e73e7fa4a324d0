// The load dialog's launch and construction. LaunchLoadDialog starts the
// host lock and, once the dialog is up, leaves it held: the dialog's OK
// (after its checks) or Cancel callback finishes it. A user who declines to
// replace the host's data set gets the lock finished at once.
#include "gui/load_dialog.h"

#include "addon/addon_state.h"
#include "gui/attr_dialog.h"
#include "gui/data_set_list.h"
#include "gui/dialog_help.h"
#include "gui/load_dialog_callbacks.h"
#include "gui/select_file.h"
#include "gui/skip_fields.h"

void LaunchLoadDialog(void) {
    VyrUtilLockStart(AddOnID);
    if (VyrUtilDataSetIsAvailable() &&
        !VyrUtilDialogMessageBox("The current data set will be replaced.  Continue?", 4)) {
        VyrUtilLockFinish(AddOnID);
        return;
    }
    BuildLoadDialog(-1);
    VyrGUIDialogLaunch(LoadDialog);
}

void BuildLoadDialog(int32_t Parent) {
    if (LoadDialog != NotBuilt)
        return;
    LoadDialog = VyrGUIDialogCreateModal(Parent, 5225, 2544, "HDF Loader", LoadDialogInitCallback,
                                         LoadDialogOkCallback, nullptr, LoadDialogCancelCallback,
                                         DialogHelpCallback);

    ISkipLabel = VyrGUILabelAdd(LoadDialog, 420, 1231, "I-Skip:");
    JSkipLabel = VyrGUILabelAdd(LoadDialog, 369, 1455, "J-Skip:");
    KSkipLabel = VyrGUILabelAdd(LoadDialog, 331, 1689, "K-Skip:");
    DataSetListLabel = VyrGUILabelAdd(LoadDialog, 318, 79, "Scientific Data Sets to load:");
    FileLabel = VyrGUILabelAdd(LoadDialog, 152, 2132, "File:");
    // The init callback replaces this text before the dialog first shows.
    FileNameLabel = VyrGUILabelAdd(LoadDialog, 178, 2270, "Label12");
    DataSetList = VyrGUIListAdd(LoadDialog, 331, 255, 4711, 868, true, DataSetListCallback);
    AttributesButton =
        VyrGUIButtonAdd(LoadDialog, 3693, 47, 1362, 143, "Attributes...", AttributesButtonCallback);
    ISkipField = VyrGUITextFieldAdd(LoadDialog, 1298, 1199, 1222, 143, ISkipFieldCallback);
    JSkipField = VyrGUITextFieldAdd(LoadDialog, 1311, 1412, 1222, 143, JSkipFieldCallback);
    KSkipField = VyrGUITextFieldAdd(LoadDialog, 1311, 1647, 1222, 143, KSkipFieldCallback);
    SelectFileButton =
        VyrGUIButtonAdd(LoadDialog, 318, 1897, 1439, 143, "Select File...", SelectFileCallback);
}
