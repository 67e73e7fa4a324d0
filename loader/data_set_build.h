// LoadSelectedDataSets: turns the data sets chosen in SelectedSds into one
// new host data set, "Converted HDF data set", with one zone per data set.
#ifndef LOADHDF_LOADER_DATA_SET_BUILD_H
#define LOADHDF_LOADER_DATA_SET_BUILD_H

#include "loader/skip_steps.h"

#include <cstdint>

// Reads FileName, the catalogue, SelectedSds and the skips; the caller holds
// the host lock and has filled the catalogue. Creates the data set, reads
// the values of each selected data set that the skips keep (ReadKeptValues)
// and has FillZone make its zone, with the percent-done dialog up throughout. Returns true when
// every selected data set was converted or the user pressed Stop (LoadInterrupted is then true);
// false after one message to the user, or when the host refused a zone. A selection that cannot be
// converted as a whole (numbers outside the catalogue, mixed ranks, a data set without dimensions,
// an empty or oversized one) is refused with its message before the host's data set is replaced.
bool LoadSelectedDataSets();

#endif
