// The attributes dialog "Attributes": a read-only text that describes every
// catalogue entry (number, extents, the four descriptive texts and rank),
// opened from the load dialog's "Attributes..." button.
#ifndef LOADHDF_GUI_ATTR_DIALOG_H
#define LOADHDF_GUI_ATTR_DIALOG_H

#include <cstdint>

// Size of the host scratch buffer each line of the text is formatted into;
// the longest line, a coordinate system of 256 characters, needs 277 bytes.
constexpr int32_t AttrLineSize = 1000;

// The load dialog's "Attributes..." callback: builds the dialog on first
// use, with LoadDialog as parent, and launches it; a dialog the host could
// not build whole is not launched, and the user is told.
void AttributesButtonCallback(void);

// Creates AttrDialog, AttrText and AttrTextLabel on the given parent, each
// unless it is built already, as BuildLoadDialog does. True when all three
// exist.
bool BuildAttrDialog(int32_t Parent);

// Every launch: replaces the text with the description of the current
// catalogue. Without the host's scratch buffer the text stays empty.
void AttrDialogInitCallback(void);

// OK and Cancel alike: closes the dialog.
void AttrDialogCloseCallback(void);

#endif
