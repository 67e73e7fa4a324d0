// The checks that a selection of catalogue records passes before any of it
// is converted: every number names a record with dimensions, the records
// share one rank, and every size that the conversion works out fits the
// 32-bit integers in which the host and HDF4 take it.
#ifndef LOADHDF_LOADER_SELECTION_CHECK_H
#define LOADHDF_LOADER_SELECTION_CHECK_H

#include "catalogue/sds_entry.h"

#include <cstdint>

// On success returns true and sets *LoadRank to the Rank of the record that
// the first member of SelectedSds names. Otherwise shows one message with
// VyrUtilDialogErrMsg and returns false, having allocated nothing.
bool CheckSelection(int32_t* LoadRank);

// Values in one record's data set, counting the three extent slots (those
// above the record's rank hold 1).
int64_t RecordValueCount(const SdsEntry& Record);

#endif
