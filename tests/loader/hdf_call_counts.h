// Counts of the HDF4 SD calls that the loader tests watch, and a way to make
// one SDreaddata fail. The test program wraps these functions at link time
// (wraps.txt), so the add-on's own calls pass through here.
#ifndef LOADHDF_TESTS_LOADER_HDF_CALL_COUNTS_H
#define LOADHDF_TESTS_LOADER_HDF_CALL_COUNTS_H

#include <cstdint>

namespace HdfCalls {

struct Counts {
    int32_t FilesOpened = 0; // successful SDstart
    int32_t FilesClosed = 0; // successful SDend
    int32_t Selected = 0;    // successful SDselect
    int32_t AccessEnded = 0; // successful SDendaccess
    int32_t Reads = 0;       // SDreaddata calls, failed ones included
};

// Zeroes the counts; an armed read failure stays armed.
void ResetCounts();
const Counts& Get();
// The N-th SDreaddata from now fails without reading (1-based; 0 disarms).
void FailRead(int32_t N);

} // namespace HdfCalls

#endif
