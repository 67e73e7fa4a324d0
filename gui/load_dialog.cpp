// The load dialog's launch and construction. LaunchLoadDialog starts the
// host lock and, once the dialog is up, leaves it held: the dialog's OK
// (after its checks) or Cancel callback finishes it. A user who declines to
// replace the host's data set, or a dialog the host could not build, gets
// the lock finished at once.
#include "gui/load_dialog.h"

#include "gui/attr_dialog.h"
#include "gui/data_set_list.h"
#include "gui/dialog_building.h"
#include "gui/dialog_help.h"
#include "gui/load_dialog_callbacks.h"
#include "gui/select_file.h"
#include "gui/skip_fields.h"
#include "interface/addon_state.h"

#include <initializer_list>

void LaunchLoadDialog(void) {
    VyrUtilLockStart(AddOnID);
    if (VyrUtilDataSetIsAvailable() &&
        !VyrUtilDialogMessageBox("The current data set will be replaced.  Continue?",
                                 VYR_MESSAGE_BOX_YES_NO)) {
        VyrUtilLockFinish(AddOnID);
        return;
    }
    if (!BuildLoadDialog(-1)) {
        VyrUtilDialogErrMsg(DialogNotBuiltText);
        VyrUtilLockFinish(AddOnID);
        return;
    }
    VyrGUIDialogLaunch(LoadDialog);
}

bool BuildLoadDialog(int32_t Parent) {
    if (LoadDialog == NotBuilt)
        LoadDialog = BuiltOrNot(VyrGUIDialogCreateModal(
            Parent, 5225, 2544, "HDF Loader", LoadDialogInitCallback, LoadDialogOkCallback, nullptr,
            LoadDialogCancelCallback, DialogHelpCallback));
    if (LoadDialog == NotBuilt)
        return false;

    AddMissingControl(ISkipLabel, [] { return VyrGUILabelAdd(LoadDialog, 420, 1231, "I-Skip:"); });
    AddMissingControl(JSkipLabel, [] { return VyrGUILabelAdd(LoadDialog, 369, 1455, "J-Skip:"); });
    AddMissingControl(KSkipLabel, [] { return VyrGUILabelAdd(LoadDialog, 331, 1689, "K-Skip:"); });
    AddMissingControl(DataSetListLabel, [] {
        return VyrGUILabelAdd(LoadDialog, 318, 79, "Scientific Data Sets to load:");
    });
    AddMissingControl(FileLabel, [] { return VyrGUILabelAdd(LoadDialog, 152, 2132, "File:"); });
    // The init callback replaces this text before the dialog first shows.
    AddMissingControl(FileNameLabel,
                      [] { return VyrGUILabelAdd(LoadDialog, 178, 2270, "Label12"); });
    AddMissingControl(DataSetList, [] {
        return VyrGUIListAdd(LoadDialog, 331, 255, 4711, 868, true, DataSetListCallback);
    });
    AddMissingControl(AttributesButton, [] {
        return VyrGUIButtonAdd(LoadDialog, 3693, 47, 1362, 143, "Attributes...",
                               AttributesButtonCallback);
    });
    AddMissingControl(ISkipField, [] {
        return VyrGUITextFieldAdd(LoadDialog, 1298, 1199, 1222, 143, ISkipFieldCallback);
    });
    AddMissingControl(JSkipField, [] {
        return VyrGUITextFieldAdd(LoadDialog, 1311, 1412, 1222, 143, JSkipFieldCallback);
    });
    AddMissingControl(KSkipField, [] {
        return VyrGUITextFieldAdd(LoadDialog, 1311, 1647, 1222, 143, KSkipFieldCallback);
    });
    AddMissingControl(SelectFileButton, [] {
        return VyrGUIButtonAdd(LoadDialog, 318, 1897, 1439, 143, "Select File...",
                               SelectFileCallback);
    });
    for (int32_t Id :
         {ISkipLabel, JSkipLabel, KSkipLabel, DataSetListLabel, FileLabel, FileNameLabel,
          DataSetList, AttributesButton, ISkipField, JSkipField, KSkipField, SelectFileButton})
        if (Id == NotBuilt)
            return false;
    return true;
}
