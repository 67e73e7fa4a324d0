// The loader instruction list: the add-on's whole record of one load, a host
// string list of items led by a code letter. "M" path, "I", "J", "K" skips
// and one "S" per selected catalogue number are written; "F" followed by an
// item that is the whole path is also accepted on reading.
#ifndef LOADHDF_LOADER_LOADER_INSTRUCTIONS_H
#define LOADHDF_LOADER_LOADER_INSTRUCTIONS_H

#include "interface/vyr_host_api.h"

// A new list from FileName, ISkip, JSkip, KSkip and SelectedSds (in the
// set's order), one item per entry, whatever the length of the path or the
// number of data sets. The caller frees it with VyrUtilStringListDealloc.
// Null, after the message "Out of memory", when the host cannot hold it.
VyrStringList_pa BuildLoaderInstructions();

// Sets FileName, the skips (raised to at least 1) and SelectedSds from the
// list, which stays as it was and the caller's. Items with another code, and
// empty items, are ignored. Returns false, after one message, when the list
// cannot be loaded as it stands: an item the host could not copy out or a
// data-set number its set could not take ("Out of memory"), a data-set
// number below 1, or a path longer than FileName holds that no later "M" or
// "F" item replaces (FileName is then left empty, never cut).
bool ParseLoaderInstructions(VyrStringList_pa Instructions);

#endif
