// FillZone: adds one ordered zone and stores every kept point's coordinates
// and value. I follows the last (fastest-varying) HDF dimension, so the
// dimension scales are read in the reverse order of the HDF dimensions:
// "Dimension 1" takes scale Rank-1, "Dimension Rank" takes scale 0.
// The data set, the scales and the skips are the caller's; this file only
// walks them.
#include "loader/zone_fill.h"

#include "catalogue/number_types.h"
#include "interface/addon_state.h"
#include "loader/skip_steps.h"

#include <cstdio>

namespace {

// True when the zone extents and the record's buffers describe a zone that
// can be filled without reading or writing outside any of them: every
// source extent at least 1, no more source values than a 32-bit point index
// counts, each zone extent the skipped extent of its source extent, and a
// buffer for the values and for each scale in use.
bool ZoneInputsAgree(const SdsEntry& Entry, int32_t IMax, int32_t JMax, int32_t KMax) {
    if (SrcIMax < 1 || SrcJMax < 1 || SrcKMax < 1)
        return false;
    if (int64_t(SrcIMax) * SrcJMax * SrcKMax > INT32_MAX)
        return false;
    if (IMax != SkippedExtent(SrcIMax, ISkip) || JMax != SkippedExtent(SrcJMax, JSkip) ||
        KMax != SkippedExtent(SrcKMax, KSkip))
        return false;
    if (Entry.DataBuffer == nullptr)
        return false;
    for (int32_t Dim = 0; Dim < Entry.Rank; ++Dim)
        if (Entry.ScaleBuffer[Dim] == nullptr)
            return false;
    return true;
}

// What one zone's walk reads, copied once from the globals and the record:
// nothing changes them while the zone fills, and copies in registers spare
// a reload of each after every host call. Indexed by direction: I, J, K.
struct ZoneWalk {
    int32_t Extent[MaxLoadRank];
    int32_t Skip[MaxLoadRank];
    // Direction d takes the scale of HDF dimension Rank-1-d.
    const void* Scale[MaxLoadRank];
    int32_t ScaleType[MaxLoadRank];
    VyrFieldData_pa Refs[MaxLoadRank + 1]; // "Dimension 1".."Dimension Rank", then "V"
    const void* Data;
};

// Stores the points of one row, I from 1 to its extent by the skip, each as
// the host sees it: the coordinate variables from Rank down to 1, then "V".
// J's and K's coordinates are the row's; I's and the value are read per
// point, the value from the kept values at the point's own index. Rank, the data's number type and,
// for the two common ones, the I scale's (float32 scales, and the int32 index scale 1..n) are fixed
// per instantiation, so that GetValueAsDouble's selection on the type folds away; ScaleType 0 reads
// the I scale with the selection.
template <int32_t Rank, int32_t DataType, int32_t ScaleType>
void StoreRow(const ZoneWalk& Walk, double CoordJ, double CoordK, int32_t PointIndex) {
    const VyrFieldData_pa RefI = Walk.Refs[0], RefJ = Walk.Refs[Rank >= 2 ? 1 : 0],
                          RefK = Walk.Refs[Rank >= 3 ? 2 : 0], RefV = Walk.Refs[Rank];
    const void* const ScaleI = Walk.Scale[0];
    const int32_t ScaleIType = ScaleType != 0 ? ScaleType : Walk.ScaleType[0];
    const int32_t Extent = Walk.Extent[0], Skip = Walk.Skip[0];
    const void* const Data = Walk.Data;
    for (int32_t I = 1;; ++PointIndex) {
        if constexpr (Rank >= 3)
            VyrUtilDataValueSetByRef(RefK, PointIndex, CoordK);
        if constexpr (Rank >= 2)
            VyrUtilDataValueSetByRef(RefJ, PointIndex, CoordJ);
        VyrUtilDataValueSetByRef(RefI, PointIndex, GetValueAsDouble(ScaleI, I - 1, ScaleIType));
        VyrUtilDataValueSetByRef(RefV, PointIndex,
                                 GetValueAsDouble(Data, PointIndex - 1, DataType));
        if (I >= Extent)
            return;
        I = Skip == 1 ? I + 1 : NextSourceIndex(I, Skip, Extent);
    }
}

using RowStorer = void (*)(const ZoneWalk&, double, double, int32_t);

template <int32_t Rank, int32_t DataType> RowStorer RowStorerFor(int32_t ScaleType) {
    if (ScaleType == HdfType::Float32)
        return StoreRow<Rank, DataType, HdfType::Float32>;
    if (ScaleType == HdfType::Int32)
        return StoreRow<Rank, DataType, HdfType::Int32>;
    return StoreRow<Rank, DataType, 0>;
}

// The row storer for the data's and the I scale's number types; a data code
// outside the table reads as 0.0, as GetValueAsDouble gives it.
template <int32_t Rank> RowStorer RowStorerFor(int32_t DataType, int32_t ScaleType) {
    switch (DataType) {
    case HdfType::Float32:
        return RowStorerFor<Rank, HdfType::Float32>(ScaleType);
    case HdfType::Float64:
        return RowStorerFor<Rank, HdfType::Float64>(ScaleType);
    case HdfType::Int8:
        return RowStorerFor<Rank, HdfType::Int8>(ScaleType);
    case HdfType::UInt8:
        return RowStorerFor<Rank, HdfType::UInt8>(ScaleType);
    case HdfType::Int16:
        return RowStorerFor<Rank, HdfType::Int16>(ScaleType);
    case HdfType::UInt16:
        return RowStorerFor<Rank, HdfType::UInt16>(ScaleType);
    case HdfType::Int32:
        return RowStorerFor<Rank, HdfType::Int32>(ScaleType);
    case HdfType::UInt32:
        return RowStorerFor<Rank, HdfType::UInt32>(ScaleType);
    default:
        return RowStorerFor<Rank, 0>(ScaleType);
    }
}

RowStorer RowStorerFor(int32_t Rank, int32_t DataType, int32_t ScaleType) {
    if (Rank == 1)
        return RowStorerFor<1>(DataType, ScaleType);
    if (Rank == 2)
        return RowStorerFor<2>(DataType, ScaleType);
    return RowStorerFor<3>(DataType, ScaleType);
}

// The percentage for PointsDone out of PointsTotal, worked out in double so
// that PointsDone * 100 cannot overflow: cut towards zero, within 0 to 100.
int32_t ProgressPercent() {
    if (PointsTotal <= 0 || PointsDone <= 0)
        return 0;
    const double Percent = double(PointsDone) * 100.0 / double(PointsTotal);
    if (Percent >= 100.0)
        return 100;
    return int32_t(Percent);
}

// One progress check before a row: the user's Stop arrives here.
void CheckProgress() {
    LoadInterrupted = !VyrUtilDialogCheckPercentDone(ProgressPercent());
}

} // namespace

bool FillZone(const SdsEntry& Entry, int16_t ZoneNumber, int32_t IMax, int32_t JMax, int32_t KMax) {
    const int32_t Rank = Entry.Rank;
    if (Rank < 1 || Rank > MaxLoadRank || !ZoneInputsAgree(Entry, IMax, JMax, KMax))
        return false;

    // ---- Add the zone: one field data type per variable, scales reversed.
    char ZoneName[32];
    snprintf(ZoneName, sizeof ZoneName, "Zone %d", int(ZoneNumber));
    VyrFieldType_t FieldTypes[MaxLoadRank + 1];
    for (int32_t Var = 1; Var <= Rank; ++Var)
        FieldTypes[Var - 1] = Entry.ScaleFieldType[Rank - Var];
    FieldTypes[Rank] = Entry.DataFieldType;
    if (!VyrUtilDataSetAddZone(ZoneName, IMax, JMax, KMax, VYR_ZONE_TYPE_ORDERED, FieldTypes))
        return false;

    // ---- References, fetched in the order the points are stored.
    VyrFieldData_pa Refs[MaxLoadRank + 1] = {};
    for (int32_t Var = Rank; Var >= 1; --Var)
        Refs[Var - 1] = VyrUtilDataValueGetRef(ZoneNumber, int16_t(Var));
    Refs[Rank] = VyrUtilDataValueGetRef(ZoneNumber, int16_t(Rank + 1));
    // A zone the host added under another number has no references here;
    // storing into it would address a zone that is not this one.
    for (int32_t Var = 0; Var <= Rank; ++Var)
        if (Refs[Var] == nullptr)
            return false;

    // ---- Walk K, J and I with the skips; the last index of each is kept.
    ZoneWalk Walk = {};
    const int32_t Extents[MaxLoadRank] = {SrcIMax, SrcJMax, SrcKMax};
    const int32_t Skips[MaxLoadRank] = {ISkip, JSkip, KSkip};
    for (int32_t Dir = 0; Dir < MaxLoadRank; ++Dir) {
        Walk.Extent[Dir] = Extents[Dir];
        Walk.Skip[Dir] = Skips[Dir];
        if (Dir < Rank) {
            Walk.Scale[Dir] = Entry.ScaleBuffer[Rank - 1 - Dir];
            Walk.ScaleType[Dir] = Entry.ScaleNumberType[Rank - 1 - Dir];
        }
    }
    for (int32_t Var = 0; Var <= Rank; ++Var)
        Walk.Refs[Var] = Refs[Var];
    Walk.Data = Entry.DataBuffer;
    const RowStorer StoreRowOf = RowStorerFor(Rank, Entry.DataNumberType, Walk.ScaleType[0]);

    int32_t PointIndex = 1;
    for (int32_t K = 1;;) {
        if (LoadInterrupted)
            return true;
        const double CoordK =
            Rank >= 3 ? GetValueAsDouble(Walk.Scale[2], K - 1, Walk.ScaleType[2]) : 0.0;
        for (int32_t J = 1;;) {
            // One progress check before each row: the user's Stop arrives
            // here, and a stopped row stores nothing.
            CheckProgress();
            if (LoadInterrupted)
                break;
            const double CoordJ =
                Rank >= 2 ? GetValueAsDouble(Walk.Scale[1], J - 1, Walk.ScaleType[1]) : 0.0;
            StoreRowOf(Walk, CoordJ, CoordK, PointIndex);
            PointIndex += IMax;
            // Each point but the row's last counts one source step done.
            PointsDone += IMax - 1;
            if (J >= Walk.Extent[1])
                break;
            J = NextSourceIndex(J, Walk.Skip[1], Walk.Extent[1]);
        }
        if (K >= Walk.Extent[2])
            return true;
        K = NextSourceIndex(K, Walk.Skip[2], Walk.Extent[2]);
    }
}
