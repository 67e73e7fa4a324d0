// SdsEntry: the fixed-size record that describes one convertible scientific
// data set of the open HDF file. Records are copied whole by value.
#ifndef LOADHDF_CATALOGUE_SDS_ENTRY_H
#define LOADHDF_CATALOGUE_SDS_ENTRY_H

#include "catalogue/hdf4_facts.h"

#include <cstdint>

// The most dimensions the HDF4 SD interface allows a data set.
constexpr int32_t MaxSdsDims = Hdf4::MaxVarDims;
// Longest descriptive text kept, without its terminating zero byte.
constexpr int32_t SdsTextLen = 256;
// Dimensions the add-on converts.
constexpr int32_t MaxLoadRank = 3;

struct SdsEntry {
    int32_t HdfIndex;              // 0-based index in the file, as SDselect takes it
    int32_t Rank;                  // at most 3 in every stored record
    int32_t DimSizes[MaxSdsDims];  // HDF order: first slowest; unused ranks hold 1
    char Label[SdsTextLen + 1];    // "long_name"
    char Unit[SdsTextLen + 1];     // "units"
    char Format[SdsTextLen + 1];   // "format"
    char CoordSys[SdsTextLen + 1]; // "coordsys"
    int32_t ScaleFieldType[MaxLoadRank];
    int32_t ScaleNumberType[MaxLoadRank];
    int32_t ScaleElemSize[MaxLoadRank];
    char* ScaleBuffer[MaxLoadRank]; // host buffers tagged "HDF Scale Data"; null above Rank
    int32_t DataFieldType;
    int32_t DataNumberType;
    int32_t DataElemSize;
    char* DataBuffer; // set only in the conversion's own copy of the record
};

#endif
