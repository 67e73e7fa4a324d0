// The load dialog "HDF Loader": launch, construction, and its callbacks.
#ifndef LOADHDF_GUI_LOAD_DIALOG_H
#define LOADHDF_GUI_LOAD_DIALOG_H

#include <cstdint>

// The loader's menu callback: asks before replacing the host's data set,
// builds the dialog on first use and launches it, returning with the host
// lock held while the dialog is up.
void LaunchLoadDialog(void);

#endif
