// LoadHdfData: the loader function the host calls with an instruction list,
// both for the load dialog's OK and for a replay of a recorded load.
#ifndef LOADHDF_LOADER_LOAD_HDF_DATA_H
#define LOADHDF_LOADER_LOAD_HDF_DATA_H

#include "interface/vyr_host_api.h"

// Reads the list into the global state, scans the file when the catalogue is
// empty, converts the selected data sets and, after a completed load, hands
// the list to the host for replay. The list stays the caller's.
VyrBoolean_t LoadHdfData(VyrStringList_pa Instructions);

#endif
