// The link-time wrappers behind HdfFault: each counts its calls, fails the
// armed one, and otherwise calls the real HDF4 function (or realloc).
#include "catalogue/hdf_faults.h"

#include <hdf/mfhdf.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>

namespace HdfFault {
namespace {

struct Arm {
    int32_t FailAt = 0;
    int32_t Seen = 0;
};
std::array<Arm, size_t(Call::Count)> Arms;
GetInfoHook GetInfo;
DimInfoHook DimInfo;
bool Overrun = false;
int32_t FilesOpen = 0;
int32_t DataSetsOpen = 0;

// Counts the call; true when this is the one to fail.
bool Fails(Call Which) {
    Arm& A = Arms[size_t(Which)];
    ++A.Seen;
    return A.FailAt > 0 && A.Seen == A.FailAt;
}

} // namespace

void FailNth(Call Which, int32_t N) {
    Arms[size_t(Which)] = Arm{N, 0};
}

int32_t Calls(Call Which) {
    return Arms[size_t(Which)].Seen;
}

void OnGetInfo(GetInfoHook Hook) {
    GetInfo = std::move(Hook);
}

void OnDimInfo(DimInfoHook Hook) {
    DimInfo = std::move(Hook);
}

bool ExtentsOverrun() {
    return Overrun;
}

int32_t OpenFiles() {
    return FilesOpen;
}

int32_t OpenDataSets() {
    return DataSetsOpen;
}

void Reset() {
    Arms = {};
    GetInfo = nullptr;
    DimInfo = nullptr;
    Overrun = false;
    FilesOpen = DataSetsOpen = 0;
}

} // namespace HdfFault

using HdfFault::Call;
using HdfFault::Fails;

extern "C" {

int32 __real_SDstart(const char* Name, int32 Access);
intn __real_SDend(int32 FileId);
intn __real_SDendaccess(int32 SdsId);
intn __real_SDfileinfo(int32 FileId, int32* DataSets, int32* Attrs);
int32 __real_SDselect(int32 FileId, int32 Index);
intn __real_SDgetinfo(int32 SdsId, char* Name, int32* Rank, int32* Dims, int32* Type, int32* Attrs);
intn __real_SDgetdatastrs(int32 SdsId, char* L, char* U, char* F, char* C, intn Len);
intn __real_SDdiminfo(int32 DimId, char* Name, int32* Size, int32* Type, int32* Attrs);
intn __real_SDgetdimscale(int32 DimId, void* Data);
void* __real_realloc(void* Block, size_t Size);

int32 __wrap_SDstart(const char* Name, int32 Access) {
    const int32 Id = Fails(Call::SDstart) ? FAIL : __real_SDstart(Name, Access);
    if (Id != FAIL)
        ++HdfFault::FilesOpen;
    return Id;
}

intn __wrap_SDend(int32 FileId) {
    const intn Status = __real_SDend(FileId);
    if (Status != FAIL)
        --HdfFault::FilesOpen;
    return Status;
}

intn __wrap_SDfileinfo(int32 FileId, int32* DataSets, int32* Attrs) {
    return Fails(Call::SDfileinfo) ? FAIL : __real_SDfileinfo(FileId, DataSets, Attrs);
}

int32 __wrap_SDselect(int32 FileId, int32 Index) {
    const int32 Id = Fails(Call::SDselect) ? FAIL : __real_SDselect(FileId, Index);
    if (Id != FAIL)
        ++HdfFault::DataSetsOpen;
    return Id;
}

intn __wrap_SDendaccess(int32 SdsId) {
    const intn Status = __real_SDendaccess(SdsId);
    if (Status != FAIL)
        --HdfFault::DataSetsOpen;
    return Status;
}

intn __wrap_SDgetinfo(int32 SdsId, char* Name, int32* Rank, int32* Dims, int32* Type,
                      int32* Attrs) {
    if (Fails(Call::SDgetinfo))
        return FAIL;
    int32 RealRank = 0;
    // A hook may claim a higher rank than the file holds: HDF4 itself then
    // writes into Dims only as many extents as the real data set has.
    const intn Status = __real_SDgetinfo(SdsId, Name, &RealRank, Dims, Type, Attrs);
    *Rank = RealRank;
    if (Status != FAIL && HdfFault::GetInfo) {
        // The hooks take int32_t; HDF4's int32 is a long on i386 and Windows.
        const int32 Filled = std::min<int32>(RealRank, H4_MAX_VAR_DIMS);
        int32_t HookRank = *Rank, HookType = *Type, HookDims[H4_MAX_VAR_DIMS] = {};
        if (Dims != nullptr)
            std::copy(Dims, Dims + Filled, HookDims);
        HdfFault::GetInfo(Name, &HookRank, Dims != nullptr ? HookDims : nullptr, &HookType);
        *Rank = HookRank;
        *Type = HookType;
        if (Dims != nullptr)
            std::copy(HookDims, HookDims + Filled, Dims);
        if (Dims != nullptr && *Rank > H4_MAX_VAR_DIMS)
            HdfFault::Overrun = true;
    }
    return Status;
}

intn __wrap_SDgetdatastrs(int32 SdsId, char* L, char* U, char* F, char* C, intn Len) {
    return Fails(Call::SDgetdatastrs) ? FAIL : __real_SDgetdatastrs(SdsId, L, U, F, C, Len);
}

intn __wrap_SDdiminfo(int32 DimId, char* Name, int32* Size, int32* Type, int32* Attrs) {
    if (Fails(Call::SDdiminfo))
        return FAIL;
    const intn Status = __real_SDdiminfo(DimId, Name, Size, Type, Attrs);
    if (Status != FAIL && HdfFault::DimInfo) {
        int32_t HookSize = *Size, HookType = *Type;
        HdfFault::DimInfo(Name, &HookSize, &HookType);
        *Size = HookSize;
        *Type = HookType;
    }
    return Status;
}

intn __wrap_SDgetdimscale(int32 DimId, void* Data) {
    return Fails(Call::SDgetdimscale) ? FAIL : __real_SDgetdimscale(DimId, Data);
}

void* __wrap_realloc(void* Block, size_t Size) {
    return Fails(Call::Realloc) ? nullptr : __real_realloc(Block, Size);
}

} // extern "C"
