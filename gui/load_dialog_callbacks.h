// The load dialog's own buttons: init (every launch), OK and Cancel.
#ifndef LOADHDF_GUI_LOAD_DIALOG_CALLBACKS_H
#define LOADHDF_GUI_LOAD_DIALOG_CALLBACKS_H

// Every launch: empties FileName, the selection and the list, shows the
// current skips and leaves the data-set controls insensitive.
void LoadDialogInitCallback(void);
// Checks that a file and at least one data set are chosen (otherwise says
// which is missing and leaves the dialog up, lock held); then closes the
// dialog, runs the load through LoadHdfData and finishes the launch's lock.
void LoadDialogOkCallback(void);
// Closes the dialog, empties the catalogue and finishes the launch's lock.
void LoadDialogCancelCallback(void);

#endif
