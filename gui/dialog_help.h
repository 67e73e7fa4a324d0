// The Help action that the load dialog and the attributes dialog share.
#ifndef LOADHDF_GUI_DIALOG_HELP_H
#define LOADHDF_GUI_DIALOG_HELP_H

// The host help page for importing HDF files.
constexpr const char* ImportHelpPage = "vyrlith/import_hdf.html";

// Opens ImportHelpPage through the host, inside a lock pair of its own.
void DialogHelpCallback(void);

#endif
