// Emptying the catalogue: giving the scale buffers back to the host.
#include "catalogue/file_scan.h"

#include "interface/addon_state.h"

void ReleaseScaleBuffers(SdsEntry* Entry) {
    for (char*& Buffer : Entry->ScaleBuffer) {
        if (Buffer != nullptr)
            VyrUtilStringDealloc(&Buffer);
        Buffer = nullptr;
    }
}

void FreeSdsEntries() {
    VyrUtilLockStart(AddOnID);
    if (SdsEntries != nullptr)
        for (int32_t I = 0; I < SdsCount; ++I)
            ReleaseScaleBuffers(&SdsEntries[I]);
    VyrUtilLockFinish(AddOnID);
    SdsCount = 0;
}
