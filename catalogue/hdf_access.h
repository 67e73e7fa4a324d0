// Small owners for the HDF4 SD interface ids the add-on holds (an open file,
// a selected data set), so that every way out of a reading function gives
// them back exactly once, and the one scratch buffer that receives the names
// HDF4 copies out without a bound.
#ifndef LOADHDF_CATALOGUE_HDF_ACCESS_H
#define LOADHDF_CATALOGUE_HDF_ACCESS_H

#include <cstddef>
#include <cstdint>

// Owns a file id from SDstart: SDend when the owner goes, unless SDstart
// failed (-1), in which case there is nothing to close.
class SdFileOwner {
  public:
    explicit SdFileOwner(int32_t FileId) : Id(FileId) {}
    ~SdFileOwner();
    SdFileOwner(const SdFileOwner&) = delete;
    SdFileOwner& operator=(const SdFileOwner&) = delete;
    bool IsOpen() const { return Id != -1; }
    const int32_t Id;
};

// Owns a data-set id from SDselect: SDendaccess when the owner goes, unless
// SDselect failed (-1).
class SdsAccessOwner {
  public:
    explicit SdsAccessOwner(int32_t SdsId) : Id(SdsId) {}
    ~SdsAccessOwner();
    SdsAccessOwner(const SdsAccessOwner&) = delete;
    SdsAccessOwner& operator=(const SdsAccessOwner&) = delete;
    bool IsSelected() const { return Id != -1; }
    const int32_t Id;
};

// SDgetinfo and SDdiminfo copy the object's name into the buffer they are
// given without a bound, and a file stores names with a 16-bit length: the
// longest one and its terminator need 65,536 bytes. The add-on drops those
// names, so one process-wide buffer serves every call (the host runs the
// add-on on one thread).
constexpr size_t HdfNameScratchSize = 65536;
char* HdfNameScratch();

// Rank and number type of a selected data set, and its extents in
// DimSizes (MaxSdsDims slots) when the rank is 1 to MaxSdsDims. SDgetinfo
// writes one extent per dimension whatever the rank, so the rank is asked
// for first and the extents only when they fit. False when HDF4 fails.
bool ReadSdsShape(int32_t SdsId, int32_t* Rank, int32_t* DimSizes, int32_t* NumberType);

#endif
