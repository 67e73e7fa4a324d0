// The catalogue of the HDF file named in FileName: the scan that fills
// SdsEntries/SdsCount with one record per convertible scientific data set,
// the reading of each record's dimension scales, and the emptying of the
// catalogue. The records themselves are described in sds_entry.h.
#ifndef LOADHDF_CATALOGUE_FILE_SCAN_H
#define LOADHDF_CATALOGUE_FILE_SCAN_H

#include "catalogue/sds_entry.h"

#include <cstdint>

// Tag of the host buffers that hold dimension scales.
constexpr const char* ScaleBufferTag = "HDF Scale Data";

// Empties the catalogue, then opens FileName with HDF4, stores a record for
// every data set that is not a coordinate variable, has a rank of 1 to 3 and
// a number type in the table, with its scales read into host buffers, and
// closes the file. True when at least one record was stored and nothing
// failed, without a message. Otherwise shows exactly one message and returns
// false with an empty catalogue, except after "Unknown data type in HDF
// file", which keeps the records stored before the first such data set.
// Runs inside the host lock its caller holds; FileName is left as it was.
bool ScanHdfFile();

// Fills scale slots 0 to Rank-1 of *Entry for a data set selected in an open
// file (SdsId), whose Rank and DimSizes are set and whose ScaleBuffer
// pointers are null: the file's own scale where the dimension has one of a
// type in the table and the data set's extent, otherwise the index scale
// 1..n as 32-bit integers. A slot whose buffer the host could not give is
// left with a null ScaleBuffer, which the caller must treat as a failure.
void ReadDimensionScales(int32_t SdsId, SdsEntry* Entry);

// Bounds the bytes that ReadDimensionScales may take from the host, from now
// on, for all the records of one scan: beyond it a slot gets no buffer, as
// when the host has none. The scan sets it from the file's size before it
// reads any data set.
void LimitScaleMemory(int64_t Bytes);

struct StructureVerdict;
// The structure check's verdict on the file being scanned, or null: from now
// on ReadDimensionScales gives the index scale to every dimension whose scale
// HDF4 would read from a data set it must not read. The verdict must outlive
// the reads; the scan sets it, then null, around its reading.
void KeepScalesOut(const StructureVerdict* Verdict);

// Gives back the scale buffers of records 0 to SdsCount-1 and sets SdsCount
// to 0; keeps the array SdsEntries. Takes its own host lock pair.
void FreeSdsEntries();

// Gives back the scale buffers of one record and sets the pointers to null;
// no lock calls. For records that are not (or no longer) in the catalogue.
void ReleaseScaleBuffers(SdsEntry* Entry);

#endif
