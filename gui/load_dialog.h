// The load dialog "HDF Loader": its launch from the host's list of loaders
// and its one-time construction. Its callbacks live in the files beside it.
#ifndef LOADHDF_GUI_LOAD_DIALOG_H
#define LOADHDF_GUI_LOAD_DIALOG_H

#include <cstdint>

// The loader's menu callback: asks before replacing the host's data set,
// builds the dialog on first use and launches it, returning with the host
// lock held while the dialog is up.
void LaunchLoadDialog(void);

// Creates LoadDialog and its twelve controls on the given parent (-1: none),
// unless LoadDialog is already built; the dialog is then reused as it is.
void BuildLoadDialog(int32_t Parent);

#endif
