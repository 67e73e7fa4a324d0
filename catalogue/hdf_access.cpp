// The HDF4 id owners' release, and the process-wide scratch buffer for the
// names HDF4 reports and the add-on drops.
#include "catalogue/hdf_access.h"

#include "catalogue/sds_entry.h"

#include <hdf/mfhdf.h>

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

bool ReadSdsShape(int32_t SdsId, int32_t* Rank, int32_t* DimSizes, int32_t* NumberType) {
    int32 Attrs = 0;
    if (SDgetinfo(SdsId, HdfNameScratch(), Rank, nullptr, NumberType, &Attrs) == FAIL)
        return false;
    return *Rank < 1 || *Rank > MaxSdsDims ||
           SDgetinfo(SdsId, HdfNameScratch(), Rank, DimSizes, NumberType, &Attrs) != FAIL;
}
