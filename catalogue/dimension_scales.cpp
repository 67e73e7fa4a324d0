// ReadDimensionScales: reads the scale of each dimension of one data set into
// a host buffer, or makes the index scale 1..n where the file's scale cannot
// be used, so that listing and converting never go back to the file for it.
#include "catalogue/file_scan.h"

#include "catalogue/hdf_access.h"
#include "catalogue/number_types.h"
#include "catalogue/structure_check.h"
#include "interface/vyr_host_api.h"

#include <hdf/mfhdf.h>

#include <cstring>
#include <limits>

namespace {

enum class ScaleRead { FileScale, UseIndexScale, NoBuffer };

int64_t ScaleBytesLeft = std::numeric_limits<int64_t>::max();
const StructureVerdict* ScanVerdict = nullptr;

// A host buffer of ElemSize * Count bytes, or null when the host has none,
// the size does not fit the host's 32-bit byte count, or the scan's scale
// memory is spent. Asks for at least one byte, so that a dimension without
// elements still has a buffer.
char* AllocScaleBuffer(int32_t ElemSize, int32_t Count) {
    const int64_t Bytes = int64_t(ElemSize) * (Count > 0 ? Count : 0);
    if (Bytes > std::numeric_limits<int32_t>::max() || Bytes > ScaleBytesLeft)
        return nullptr;
    ScaleBytesLeft -= Bytes;
    return VyrUtilStringAlloc(Bytes > 0 ? int32_t(Bytes) : 1, ScaleBufferTag);
}

// Tries dimension D's own scale from the file.
ScaleRead ReadFileScale(int32_t SdsId, int32_t D, SdsEntry* Entry) {
    const int32 DimId = SDgetdimid(SdsId, D);
    int32 Extent = 0, ScaleType = 0, Attrs = 0;
    const intn Status =
        DimId == FAIL ? FAIL : SDdiminfo(DimId, HdfNameScratch(), &Extent, &ScaleType, &Attrs);
    Entry->ScaleNumberType[D] = ScaleType;
    // The extent test guards the buffer: SDgetdimscale writes one value per
    // unit of the dimension's own extent, or per record of the scale for an
    // unlimited dimension, whose extent SDdiminfo reports as 0. A buffer is
    // only sized from an extent that is positive and the data set's own.
    if (Status != SUCCEED || Extent != Entry->DimSizes[D] || Extent <= 0)
        return ScaleRead::UseIndexScale;
    // SDdiminfo has left the dimension's name in the scratch buffer.
    if (ScanVerdict != nullptr && !ScanVerdict->ScaleReadable(HdfNameScratch()))
        return ScaleRead::UseIndexScale;
    if (!MapNumberType(&Entry->ScaleFieldType[D], &Entry->ScaleElemSize[D], ScaleType))
        return ScaleRead::UseIndexScale;
    char* Buffer = AllocScaleBuffer(Entry->ScaleElemSize[D], Extent);
    if (Buffer == nullptr)
        return ScaleRead::NoBuffer;
    if (SDgetdimscale(DimId, Buffer) == FAIL) {
        // A buffer that HDF4 did not fill must not stand for the scale.
        VyrUtilStringDealloc(&Buffer);
        return ScaleRead::UseIndexScale;
    }
    Entry->ScaleBuffer[D] = Buffer;
    return ScaleRead::FileScale;
}

// The integers 1..n as signed 32-bit values, n being the data set's extent.
// False when the host has no buffer for it.
bool MakeIndexScale(int32_t D, SdsEntry* Entry) {
    Entry->ScaleElemSize[D] = 4;
    Entry->ScaleFieldType[D] = VYR_FIELD_TYPE_INT32;
    Entry->ScaleNumberType[D] = HdfType::Int32;
    const int32_t Extent = Entry->DimSizes[D];
    char* Buffer = AllocScaleBuffer(4, Extent);
    if (Buffer == nullptr)
        return false;
    for (int32_t J = 0; J < Extent; ++J) {
        const int32_t Value = J + 1;
        std::memcpy(Buffer + int64_t(J) * 4, &Value, sizeof Value);
    }
    Entry->ScaleBuffer[D] = Buffer;
    return true;
}

} // namespace

void LimitScaleMemory(int64_t Bytes) {
    ScaleBytesLeft = Bytes;
}

void KeepScalesOut(const StructureVerdict* Verdict) {
    ScanVerdict = Verdict;
}

void ReadDimensionScales(int32_t SdsId, SdsEntry* Entry) {
    for (int32_t D = 0; D < Entry->Rank && D < MaxLoadRank; ++D) {
        const ScaleRead Outcome = ReadFileScale(SdsId, D, Entry);
        // Without a buffer the record cannot be stored: the scan gives back
        // what this record holds, so reading further dimensions is no use.
        if (Outcome == ScaleRead::NoBuffer ||
            (Outcome == ScaleRead::UseIndexScale && !MakeIndexScale(D, Entry)))
            return;
    }
}
