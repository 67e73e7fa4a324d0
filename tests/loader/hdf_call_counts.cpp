// Link-time wrappers of SDstart, SDend, SDselect, SDendaccess and
// SDreaddata for the loader tests: each counts and calls the real function,
// except an SDreaddata that a test has armed to fail.
#include "hdf_call_counts.h"

#include <hdf/mfhdf.h>

extern "C" {
int32 __real_SDstart(const char* Name, int32 Access);
intn __real_SDend(int32 FileId);
int32 __real_SDselect(int32 FileId, int32 Index);
intn __real_SDendaccess(int32 Id);
intn __real_SDreaddata(int32 SdsId, int32* Start, int32* Stride, int32* Edge, void* Data);
}

namespace HdfCalls {
namespace {
Counts Current;
int32_t ReadToFail = 0;
} // namespace

void ResetCounts() {
    Current = Counts();
}
const Counts& Get() {
    return Current;
}
void FailRead(int32_t N) {
    ReadToFail = N;
}

} // namespace HdfCalls

extern "C" {

int32 __wrap_SDstart(const char* Name, int32 Access) {
    const int32 Id = __real_SDstart(Name, Access);
    if (Id != FAIL)
        ++HdfCalls::Current.FilesOpened;
    return Id;
}

intn __wrap_SDend(int32 FileId) {
    const intn Status = __real_SDend(FileId);
    if (Status != FAIL)
        ++HdfCalls::Current.FilesClosed;
    return Status;
}

int32 __wrap_SDselect(int32 FileId, int32 Index) {
    const int32 Id = __real_SDselect(FileId, Index);
    if (Id != FAIL)
        ++HdfCalls::Current.Selected;
    return Id;
}

intn __wrap_SDendaccess(int32 Id) {
    const intn Status = __real_SDendaccess(Id);
    if (Status != FAIL)
        ++HdfCalls::Current.AccessEnded;
    return Status;
}

intn __wrap_SDreaddata(int32 SdsId, int32* Start, int32* Stride, int32* Edge, void* Data) {
    ++HdfCalls::Current.Reads;
    if (HdfCalls::ReadToFail > 0 && --HdfCalls::ReadToFail == 0)
        return FAIL;
    return __real_SDreaddata(SdsId, Start, Stride, Edge, Data);
}

} // extern "C"
