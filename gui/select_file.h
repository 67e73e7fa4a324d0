// The load dialog's "Select File..." button: the host's file dialog, then
// the scan of the chosen HDF file into the catalogue and the list.
#ifndef LOADHDF_GUI_SELECT_FILE_H
#define LOADHDF_GUI_SELECT_FILE_H

// Shown when the file dialog hands back a path that FileName cannot hold.
constexpr const char* PathTooLongText =
    "The chosen file name is too long: at most 9999 characters are allowed.";

// Asks the host for one HDF file (offering DefaultFileName), copies the
// path into DefaultFileName and FileName, drops the selection and scans the
// file. The list, its controls and the file label then show the scan's
// outcome; after a failure FileName is empty. A cancelled file dialog
// changes nothing.
void SelectFileCallback(void);

#endif
