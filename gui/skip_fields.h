// The load dialog's three skip fields, "I-Skip:", "J-Skip:" and "K-Skip:":
// each shows its stride and accepts a new one of 1 or more.
#ifndef LOADHDF_GUI_SKIP_FIELDS_H
#define LOADHDF_GUI_SKIP_FIELDS_H

#include <cstdint>

// Reads Text as atoi does (leading white space, one optional sign, then
// decimal digits up to the first other character; no digits reads as 0),
// but clamps a value beyond 32 bits to INT32_MIN or INT32_MAX instead of
// overflowing.
int32_t ReadSkipValue(const char* Text);

// Writes ISkip, JSkip and KSkip into their fields as decimal integers.
void ShowSkipsInFields(void);

// The fields' callbacks, given the field's new text: store a value of 1 or
// more and return 1; otherwise say what is wanted, reset the field to "1",
// leave the skip as it was and return 0.
int32_t ISkipFieldCallback(const char* NewText);
int32_t JSkipFieldCallback(const char* NewText);
int32_t KSkipFieldCallback(const char* NewText);

#endif
