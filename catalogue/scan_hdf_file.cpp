// ScanHdfFile: opens the HDF file named in FileName through HDF4's SD
// interface and builds the catalogue, one record per convertible data set,
// with its dimension scales already in memory. The file is closed again
// before the scan returns, and before any message is shown.
#include "catalogue/file_scan.h"

#include "catalogue/hdf_access.h"
#include "catalogue/number_types.h"
#include "catalogue/structure_check.h"
#include "interface/addon_state.h"

#include <hdf/mfhdf.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char* const FileMissing = "File does not exist";
// Also for a file whose structure HDF4's readers cannot take, or whose data
// sets the SD interface cannot open or count: to the user it is a damaged,
// so not a valid, file.
const char* const NotHdf = "Not a valid HDF File";
const char* const NoDataSets = "No Scientific Datasets were found in this HDF file";
const char* const NoMemory = "Not enough memory to read this HDF file.";
const char* const UnknownType = "Unknown data type in HDF file";
const char* const NoneStored = "No Scientific Data Sets found.";
// A data set that HDF4 counts but cannot select or describe.
const char* const Unreadable = "Unable to read a Scientific Data Set in this HDF file";

// The scales of a file's data sets take host memory in proportion to the
// extents the file declares, not to what it stores: a damaged file of a few
// kilobytes that claims a dimension of hundreds of millions made every scan
// fill gigabytes of index scales. A file's scales may take eight times the
// file's size, and at least 256 MiB: a file whose data are written (even
// compressed eightfold) stays inside that, while a claim that no data stand
// behind ends in "Not enough memory to read this HDF file.".
int64_t ScaleMemoryFor(int64_t FileSize) {
    constexpr int64_t Floor = int64_t(256) << 20;
    return std::max(Floor, 8 * FileSize);
}

// Hands the verdict to ReadDimensionScales for the length of one scan.
class ScalesKeptOut {
  public:
    explicit ScalesKeptOut(const StructureVerdict& Verdict) { KeepScalesOut(&Verdict); }
    ~ScalesKeptOut() { KeepScalesOut(nullptr); }
    ScalesKeptOut(const ScalesKeptOut&) = delete;
    ScalesKeptOut& operator=(const ScalesKeptOut&) = delete;
};

enum class DataSetOutcome { Stored, PassedOver, UnknownType, Unreadable, NoMemory };

// True when Path opens for reading; *Size is then its length in bytes (0
// where it cannot be told, as for a directory).
bool FileCanBeRead(const char* Path, int64_t* Size) {
    FILE* File = std::fopen(Path, "rb");
    if (File == nullptr)
        return false;
    *Size = 0;
    if (std::fseek(File, 0, SEEK_END) == 0)
        *Size = std::max<long>(std::ftell(File), 0);
    std::fclose(File);
    return true;
}

// Rank, extents, number type and texts of the selected data set into Entry.
bool ReadDescription(int32 SdsId, SdsEntry* Entry) {
    int32_t Rank = 0, NumberType = 0;
    if (!ReadSdsShape(SdsId, &Rank, Entry->DimSizes, &NumberType))
        return false;
    Entry->Rank = Rank;
    Entry->DataNumberType = NumberType;
    // SDgetdatastrs leaves a text of SdsTextLen characters or more
    // unterminated: the record's last byte stays the terminator.
    if (SDgetdatastrs(SdsId, Entry->Label, Entry->Unit, Entry->Format, Entry->CoordSys,
                      SdsTextLen) == FAIL)
        return false;
    Entry->Label[SdsTextLen] = Entry->Unit[SdsTextLen] = '\0';
    Entry->Format[SdsTextLen] = Entry->CoordSys[SdsTextLen] = '\0';
    return true;
}

// Reads data set Index and, when it is convertible and StoreAllowed, appends
// its record to the catalogue.
DataSetOutcome ScanDataSet(int32 FileId, int32 Index, bool StoreAllowed) {
    SdsEntry Entry;
    std::memset(&Entry, 0, sizeof Entry);
    Entry.HdfIndex = Index;

    SdsAccessOwner Sds(SDselect(FileId, Index));
    if (!Sds.IsSelected() || !ReadDescription(Sds.Id, &Entry))
        return DataSetOutcome::Unreadable;
    // A coordinate variable is the scale of one dimension. HDF4 4.2.15's
    // SDiscoordvar dereferences a null dimension list for a data set without
    // dimensions whose kind the file leaves unrecorded (ncgen-hdf's scalars),
    // so it is asked only about data sets that have dimensions.
    const bool IsCoordinate = Entry.Rank >= 1 && SDiscoordvar(Sds.Id) > 0;

    // The type is mapped before the other tests: a coordinate variable or a
    // data set of too high a rank with an unknown type fails the scan too.
    if (!MapNumberType(&Entry.DataFieldType, &Entry.DataElemSize, Entry.DataNumberType))
        return DataSetOutcome::UnknownType;
    // A data set without dimensions (a scalar) is stored like the others:
    // the host's recorded lists number the data sets that way, and the
    // loader refuses it with its own message.
    if (!StoreAllowed || IsCoordinate || Entry.Rank > MaxLoadRank)
        return DataSetOutcome::PassedOver;
    for (int32_t D = 0; D < Entry.Rank; ++D)
        if (Entry.DimSizes[D] < 0) // only a damaged file says so
            return DataSetOutcome::Unreadable;

    // SDgetinfo writes no extent for a scalar: entry 0 is 1 too, so that no
    // size worked out from the extents multiplies by a value never read.
    if (Entry.Rank < 1)
        Entry.DimSizes[0] = 1;
    if (Entry.Rank < 3)
        Entry.DimSizes[2] = 1;
    if (Entry.Rank < 2)
        Entry.DimSizes[1] = 1;
    ReadDimensionScales(Sds.Id, &Entry);
    for (int32_t D = 0; D < Entry.Rank; ++D) {
        if (Entry.ScaleBuffer[D] == nullptr) {
            ReleaseScaleBuffers(&Entry); // the record is not stored: nothing else owns them
            return DataSetOutcome::NoMemory;
        }
    }
    SdsEntries[SdsCount] = Entry;
    ++SdsCount;
    return DataSetOutcome::Stored;
}

// Opens the file, fills the catalogue and closes the file (the owner's
// SDend) before it returns. Null on success, else the failure's message.
const char* ReadCatalogue() {
    int64_t FileSize = 0;
    if (FileName == nullptr || FileName[0] == '\0' || !FileCanBeRead(FileName, &FileSize))
        return FileMissing;
    // The structure check comes before any HDF4 call: HDF4's own readers,
    // Hishdf's Hopen included, trust what a damaged file says.
    const StructureVerdict Verdict = CheckHdfStructure(FileName);
    if (!Verdict.Sound || !Hishdf(FileName))
        return NotHdf;
    LimitScaleMemory(ScaleMemoryFor(FileSize));
    ScalesKeptOut Scales(Verdict);

    SdFileOwner File(SDstart(FileName, DFACC_READ));
    int32 Count = 0, GlobalAttrs = 0;
    if (!File.IsOpen() || SDfileinfo(File.Id, &Count, &GlobalAttrs) == FAIL || Count < 0)
        return NotHdf;
    if (Count == 0)
        return NoDataSets;

    // One resize per scan, to room for every data set of the file. On
    // failure realloc keeps the old block, which stays the catalogue's.
    void* Grown = std::realloc(SdsEntries, size_t(Count) * sizeof(SdsEntry));
    if (Grown == nullptr)
        return NoMemory;
    SdsEntries = static_cast<SdsEntry*>(Grown);

    bool TypeUnknown = false;
    for (int32 Index = 0; Index < Count; ++Index) {
        switch (ScanDataSet(File.Id, Index, !TypeUnknown)) {
        case DataSetOutcome::UnknownType:
            TypeUnknown = true; // later data sets are still read, none stored
            break;
        case DataSetOutcome::Unreadable:
            return Unreadable;
        case DataSetOutcome::NoMemory:
            return NoMemory;
        case DataSetOutcome::Stored:
        case DataSetOutcome::PassedOver:
            break;
        }
    }
    if (TypeUnknown)
        return UnknownType;
    return SdsCount >= 1 ? nullptr : NoneStored;
}

} // namespace

bool ScanHdfFile() {
    FreeSdsEntries();
    const char* Failure = ReadCatalogue();
    if (Failure == nullptr)
        return true;
    // Every failure leaves the catalogue empty but the unknown type's, whose
    // callers empty it themselves.
    if (Failure != UnknownType && SdsCount > 0)
        FreeSdsEntries();
    VyrUtilDialogErrMsg(Failure);
    return false;
}
