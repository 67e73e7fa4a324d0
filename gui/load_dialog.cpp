// PLACEHOLDER until the dialogs land.
#include "gui/load_dialog.h"

void LaunchLoadDialog(void) {}
