// The HDF4 id owners' release, and the process-wide scratch buffer for the
// names HDF4 reports and the add-on drops.
#include "catalogue/hdf_access.h"

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
