// The dialogs' Help action. It takes its own lock pair, which nests inside
// the one the open load dialog holds.
#include "gui/dialog_help.h"

#include "interface/addon_state.h"

void DialogHelpCallback(void) {
    VyrUtilLockStart(AddOnID);
    VyrUtilHelp(ImportHelpPage, false, 0);
    VyrUtilLockFinish(AddOnID);
}
