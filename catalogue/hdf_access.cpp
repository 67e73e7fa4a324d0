// The HDF4 id owners' release, and the process-wide scratch buffer for the
// names HDF4 reports and the add-on drops.
#include "catalogue/hdf_access.h"

#include "catalogue/sds_entry.h"

#include <hdf/mfhdf.h>

#include <algorithm>

SdFileOwner::~SdFileOwner() {
    if (IsOpen())
        SDend(Id);
}

SdsAccessOwner::~SdsAccessOwner() {
    if (IsSelected())
        SDendaccess(Id);
}

char* HdfNameScratch() {
    static char Scratch[HdfNameScratchSize];
    return Scratch;
}

// HDF4's int32 is a long where long has 32 bits (i386, Windows), not the
// int32_t of the records, so the values pass through HDF4's own type.
bool ReadSdsShape(int32_t SdsId, int32_t* Rank, int32_t* DimSizes, int32_t* NumberType) {
    int32 HdfRank = 0, HdfType = 0, Attrs = 0;
    int32 HdfSizes[MaxSdsDims];
    if (SDgetinfo(SdsId, HdfNameScratch(), &HdfRank, nullptr, &HdfType, &Attrs) == FAIL)
        return false;
    *Rank = HdfRank;
    *NumberType = HdfType;
    if (HdfRank < 1 || HdfRank > MaxSdsDims)
        return true;
    if (SDgetinfo(SdsId, HdfNameScratch(), &HdfRank, HdfSizes, &HdfType, &Attrs) == FAIL)
        return false;
    std::copy(HdfSizes, HdfSizes + HdfRank, DimSizes);
    return true;
}
