// LoadSelectedDataSets: the conversion of the selected catalogue records
// into the host's data set. It owns the HDF file for the length of one load,
// one buffer of kept values at a time and the percent-done dialog; the
// reading by slabs is ReadKeptValues', the walk over each
// zone's points is FillZone's, the checks of the selection CheckSelection's.
#include "loader/data_set_build.h"

#include "catalogue/hdf_access.h"
#include "catalogue/structure_check.h"
#include "interface/addon_state.h"
#include "loader/loader_owners.h"
#include "loader/selection_check.h"
#include "loader/slab_reader.h"
#include "loader/zone_fill.h"

#include <hdf/mfhdf.h>

namespace {

const char* const ReadError = "Error reading HDF Dataset";

// Creates the host's data set: one coordinate variable per dimension of the
// load rank, then "V". Returns the error text that ends the load, or null.
// A list of names the host could not give or fill whole would make a data
// set with fewer variables than the zones fill, so it is never handed on.
const char* CreateHostDataSet(int32_t LoadRank) {
    static const char* const CoordNames[MaxLoadRank] = {"Dimension 1", "Dimension 2",
                                                        "Dimension 3"};
    HostStringList Names(VyrUtilStringListAlloc());
    bool Named = Names.Get() != nullptr;
    for (int32_t Dim = 1; Named && Dim <= MaxLoadRank; ++Dim)
        if (Dim == 1 || LoadRank >= Dim)
            Named = VyrUtilStringListAppendString(Names.Get(), CoordNames[Dim - 1]);
    if (!Named || !VyrUtilStringListAppendString(Names.Get(), "V"))
        return "Out of memory";
    if (!VyrUtilDataSetCreate("Converted HDF data set", Names.Get(), true))
        return "Could not create data set";
    return nullptr;
}

// Source values of every selected record, before skipping, counted with the
// load rank's formula. CheckSelection has bounded the sum to 32 bits.
int32_t SelectedPointsTotal(int32_t LoadRank) {
    int64_t Total = 0;
    for (int32_t Number = 1; Number <= SdsCount; ++Number) {
        if (!VyrUtilSetIsMember(SelectedSds, Number))
            continue;
        const int32_t* Dims = SdsEntries[Number - 1].DimSizes;
        if (LoadRank == 1)
            Total += Dims[0];
        else if (LoadRank == 2)
            Total += int64_t(Dims[0]) * Dims[1];
        else if (LoadRank == 3)
            Total += int64_t(Dims[0]) * Dims[1] * Dims[2];
    }
    return int32_t(Total);
}

// The zone's I, J and K follow the HDF dimensions from the fastest-varying.
void SetSourceExtents(const SdsEntry& Record, int32_t LoadRank) {
    const int32_t* Dims = Record.DimSizes;
    SrcIMax = LoadRank >= 1 && LoadRank <= MaxLoadRank ? Dims[LoadRank - 1] : 1;
    SrcJMax = LoadRank >= 2 && LoadRank <= MaxLoadRank ? Dims[LoadRank - 2] : 1;
    SrcKMax = LoadRank == 3 ? Dims[0] : 1;
}

// True when the selected data set still has the rank, extents and number
// type that the scan recorded. The file can change on disk between the
// scan (when the user chose it in the dialog) and OK; SDreaddata writes
// whatever the data set holds now, so a buffer sized from a stale record
// would be overrun.
bool DataSetMatchesRecord(int32_t SdsId, const SdsEntry& Record) {
    int32_t Rank = 0, NumberType = 0;
    int32_t Dims[MaxSdsDims] = {};
    if (!ReadSdsShape(SdsId, &Rank, Dims, &NumberType) || Rank != Record.Rank ||
        NumberType != Record.DataNumberType)
        return false;
    for (int32_t D = 0; D < Record.Rank; ++D)
        if (Dims[D] != Record.DimSizes[D])
            return false;
    return true;
}

// Reads the values of one selected record's data set that the skips keep
// and has FillZone make its zone from them. Returns the error text that ends
// the load, or null; *Result takes FillZone's answer. Every slab is read
// before the zone is added, so a read that fails leaves no zone behind; the
// buffer goes back before the access ends.
const char* ConvertRecord(SdsEntry Record, int32_t FileId, int32_t ZoneNumber, int32_t LoadRank,
                          bool* Result) {
    // A file that did not open gives no data set either; either way nothing
    // is asked of the host for values that cannot be read.
    SdsAccessOwner DataSet(SDselect(FileId, Record.HdfIndex));
    if (!DataSet.IsSelected())
        return ReadError;
    SetSourceExtents(Record, LoadRank);
    if (LoadRank < 1 || LoadRank > MaxLoadRank) {
        VyrUtilDialogErrMsg("Internal error.");
        return nullptr;
    }
    const int32_t IMax = SkippedExtent(SrcIMax, ISkip), JMax = SkippedExtent(SrcJMax, JSkip),
                  KMax = SkippedExtent(SrcKMax, KSkip);
    const int64_t Bytes = int64_t(IMax) * JMax * KMax * Record.DataElemSize;
    HostBuffer Kept(int32_t(Bytes), "HDF Data");
    if (Kept.Get() == nullptr)
        return "Out of memory";
    if (!DataSetMatchesRecord(DataSet.Id, Record))
        return ReadError;
    const SlabSource Source = {DataSet.Id,
                               LoadRank,
                               {SrcIMax, SrcJMax, SrcKMax},
                               {ISkip, JSkip, KSkip},
                               Record.DataElemSize};
    const KeptRead Read = ReadKeptValues(Source, Kept.Get());
    if (Read == KeptRead::OutOfMemory)
        return "Out of memory";
    if (Read != KeptRead::Done)
        return ReadError;

    Record.DataBuffer = Kept.Get();
    *Result = FillZone(Record, int16_t(ZoneNumber), IMax, JMax, KMax);
    return nullptr;
}

// True when a selected record's data set is one whose values HDF4 must not
// read (a chunk cut short, data in an external file, a fill value HDF4 would
// misread): the load then stops before it replaces the host's data set.
bool SelectionHasDataKeptOut(const StructureVerdict& Verdict) {
    for (int32_t Number = 1; Number <= SdsCount; ++Number)
        if (VyrUtilSetIsMember(SelectedSds, Number) &&
            Verdict.DataRule(SdsEntries[Number - 1].HdfIndex) != nullptr)
            return true;
    return false;
}

// After an error or a Stop the host shows a fresh frame for what was made.
void OpenFreshFrame() {
    VyrUtilFrameCreateNew(false, 0.0, 0.0, 0.0, 0.0);
    VyrUtilPickSetMouseMode(VYR_MOUSE_MODE_SELECT);
}

} // namespace

bool LoadSelectedDataSets() {
    LoadInterrupted = false;
    int32_t LoadRank = 0;
    if (!CheckSelection(&LoadRank))
        return false;
    // The file may have changed on disk since the scan: it is checked again
    // before HDF4 opens it, and a damaged one reads as no file.
    const StructureVerdict Verdict = CheckHdfStructure(FileName);
    if (Verdict.Sound && SelectionHasDataKeptOut(Verdict)) {
        VyrUtilDialogErrMsg(ReadError);
        return false;
    }

    const char* ErrorText = nullptr;
    bool Result = true;
    {
        // ---- The data set, the file and the progress dialog, held together.
        ErrorText = CreateHostDataSet(LoadRank);
        int32_t ZoneNumber = 1;
        SdFileOwner File(Verdict.Sound ? SDstart(FileName, DFACC_READ) : -1);
        PointsDone = 0;
        PointsTotal = 0;
        PercentDoneDialog Progress("Reading HDF Information...");
        PointsTotal = SelectedPointsTotal(LoadRank);
        LoadInterrupted = false;

        // ---- One zone per selected record, in catalogue order.
        for (int32_t Number = 1; ErrorText == nullptr && Number <= SdsCount; ++Number) {
            if (LoadInterrupted || !Result)
                break;
            if (!VyrUtilSetIsMember(SelectedSds, Number))
                continue;
            ErrorText =
                ConvertRecord(SdsEntries[Number - 1], File.Id, ZoneNumber, LoadRank, &Result);
            ++ZoneNumber;
        }
        // The dialog goes, then the file closes, as the owners leave scope.
    }

    // ---- Endings: interrupted, error, or complete.
    if (LoadInterrupted) {
        OpenFreshFrame();
        return Result;
    }
    if (ErrorText != nullptr) {
        VyrUtilDialogErrMsg(ErrorText);
        OpenFreshFrame();
        return false;
    }
    if (LoadRank == 1)
        VyrUtilFrameSetPlotType(VYR_PLOT_TYPE_1D);
    else if (LoadRank == 2)
        VyrUtilFrameSetPlotType(VYR_PLOT_TYPE_2D);
    else if (LoadRank == 3)
        VyrUtilFrameSetPlotType(VYR_PLOT_TYPE_3D);
    VyrUtilRedraw(true);
    return Result;
}
