// The load dialog "HDF Loader": its launch from the host's list of loaders
// and its construction. Its callbacks live in the files beside it.
#ifndef LOADHDF_GUI_LOAD_DIALOG_H
#define LOADHDF_GUI_LOAD_DIALOG_H

#include <cstdint>

// The loader's menu callback: asks before replacing the host's data set,
// builds the dialog on first use and launches it, returning with the host
// lock held while the dialog is up. A dialog the host could not build whole
// is not launched: the user is told, and the lock finished.
void LaunchLoadDialog(void);

// Creates LoadDialog and its twelve controls on the given parent (-1: none),
// each unless it is built already: the dialog is built once and reused, and
// what the host could not make is tried again at the next launch (the host
// offers no way to destroy a dialog). True when the dialog and every control
// exist.
bool BuildLoadDialog(int32_t Parent);

#endif
