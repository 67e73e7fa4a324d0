// Failure injection for the catalogue tests: this test program is linked
// with HDF4's SD reading functions and realloc wrapped (wraps.txt), so that a
// test can make the N-th call fail the way HDF4 (or the C runtime) reports
// failure, or make HDF4 report what only a damaged or crafted file would
// hold. Disarmed, every wrapper passes straight through.
#ifndef LOADHDF_TESTS_CATALOGUE_HDF_FAULTS_H
#define LOADHDF_TESTS_CATALOGUE_HDF_FAULTS_H

#include <cstdint>
#include <functional>

namespace HdfFault {

enum class Call {
    SDstart,
    SDfileinfo,
    SDselect,
    SDgetinfo,
    SDgetdatastrs,
    SDdiminfo,
    SDgetdimscale,
    Realloc,
    Count
};

// Makes the N-th call of that function (1-based, counted from now) return
// failure (-1, or null for realloc) without calling it; 0 disarms.
void FailNth(Call Which, int32_t N);

// Calls of that function since the last Reset.
int32_t Calls(Call Which);

// Runs after a real SDgetinfo that succeeded, with its outputs; Dims is null
// when the caller passed no extents array.
using GetInfoHook = std::function<void(char* Name, int32_t* Rank, int32_t* Dims, int32_t* Type)>;
void OnGetInfo(GetInfoHook Hook);

// Runs after a real SDdiminfo that succeeded, with its outputs.
using DimInfoHook = std::function<void(char* Name, int32_t* Extent, int32_t* Type)>;
void OnDimInfo(DimInfoHook Hook);

// Files opened by SDstart and not yet closed by SDend, and data sets
// selected by SDselect and not yet given back by SDendaccess.
int32_t OpenFiles();
int32_t OpenDataSets();

// Set when a caller passed SDgetinfo an extents array although the rank
// (as reported to it) exceeds the 32 slots that HDF4 writes into.
bool ExtentsOverrun();

// Disarms everything and zeroes the counters.
void Reset();

} // namespace HdfFault

#endif
