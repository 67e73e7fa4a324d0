// The add-on's calls that can fail, as the loader test program sees them:
// every HDF4 function that the add-on imports (windows/hdf4-imports/), and
// every host operation that the host's failure injection can fail
// (VyrHost::FailPoint). The program is linked with all of them wrapped
// (wraps.txt), so each call on its way to HDF4 or the host passes through
// here: it is shown to an observer, which may have it fail, and the HDF4
// files and data sets it opens and closes are counted.
#ifndef LOADHDF_TESTS_LOADER_FAILABLE_CALLS_H
#define LOADHDF_TESTS_LOADER_FAILABLE_CALLS_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace FailableCalls {

// One SDreaddata's start and edge, their first three entries (every caller
// in this program passes arrays of three or more; a data set of lower rank
// uses the first Rank).
struct ReadBox {
    int32_t Start[3];
    int32_t Edge[3];
};

struct Counts {
    int32_t FilesOpened = 0;        // successful SDstart
    int32_t FilesClosed = 0;        // SDend of an open file
    int32_t Selected = 0;           // successful SDselect
    int32_t AccessEnded = 0;        // SDendaccess of a selected data set
    int32_t Reads = 0;              // SDreaddata calls, failed ones included
    std::vector<ReadBox> ReadBoxes; // of those calls, in order
};

// Zeroes the counts.
void ResetCounts();
const Counts& Get();

// Sees every call in order, by name: the HDF4 function ("SDstart"), or the
// host's failure point ("StringListAppend"), StringAlloc with its tag
// ("StringAlloc HDF Data"). When it returns true the call fails: an HDF4
// function returns its failure value without running, except SDend and
// SDendaccess, which give the id back and then report failure (a release
// cannot be tried again, so what matters is what the add-on makes of the
// report); a host operation is failed by the host itself (VyrHost::FailNth),
// as when it is out of memory. Null, the default: every call goes through.
using Observer = std::function<bool(const std::string& Name)>;
void Observe(Observer Decide);

} // namespace FailableCalls

#endif
