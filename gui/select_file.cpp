// "Select File...": the one place where the user names the HDF file. The
// chosen path is copied whole or not at all: a path that FileName cannot
// hold is refused, never cut short, so a truncated path can never name
// some other file.
#include "gui/select_file.h"

#include "catalogue/file_scan.h"
#include "gui/data_set_list.h"
#include "interface/addon_state.h"

#include <cstdio>
#include <cstring>

namespace {

// Copies Chosen into DefaultFileName and FileName when it fits both;
// otherwise tells the user and leaves both as they were.
bool TakeChosenPath(const char* Chosen) {
    if (strnlen(Chosen, FileNameSize) >= size_t(FileNameSize)) {
        VyrUtilDialogErrMsg(PathTooLongText);
        return false;
    }
    snprintf(DefaultFileName, FileNameSize, "%s", Chosen);
    snprintf(FileName, FileNameSize, "%s", Chosen);
    return true;
}

} // namespace

void SelectFileCallback(void) {
    char* Chosen = nullptr;
    if (!VyrUtilDialogGetFileName(VYR_FILE_DIALOG_READ_ONE, &Chosen, "HDF", DefaultFileName,
                                  "*.hdf") ||
        Chosen == nullptr)
        return;
    const bool PathTaken = TakeChosenPath(Chosen);
    VyrUtilStringDealloc(&Chosen);

    // The list is about to lose its items, and with them any selection.
    VyrUtilSetClear(SelectedSds);
    bool Scanned = false;
    if (PathTaken) {
        Scanned = ScanHdfFile();
    } else {
        // A refused path ends like a failed scan: no catalogue of an
        // earlier file may stay behind an empty list.
        FreeSdsEntries();
    }
    UpdateDataSetControls(Scanned);
    if (Scanned) {
        VyrGUILabelSetText(FileNameLabel, FileName);
    } else {
        VyrGUILabelSetText(FileNameLabel, NoFileSelectedText);
        FileName[0] = '\0';
    }
}
