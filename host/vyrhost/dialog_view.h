// The open dialog as text: what `show` prints and what the interactive
// session draws after each command.
#ifndef LOADHDF_HOST_VYRHOST_DIALOG_VIEW_H
#define LOADHDF_HOST_VYRHOST_DIALOG_VIEW_H

#include <string>

namespace VyrHostProgram {

// The topmost dialog that is up: its title, then each control in creation
// order with its kind, text and sensitivity, a list's items with their
// selection, a text field's contents and a multi-line text's lines. Says so
// when no dialog is up. Ends with a newline.
std::string DescribeOpenDialog();

} // namespace VyrHostProgram

#endif
