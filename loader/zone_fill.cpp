// FillZone: adds one ordered zone and stores every kept point's coordinates
// and value. I follows the last (fastest-varying) HDF dimension, so the
// dimension scales are read in the reverse order of the HDF dimensions:
// "Dimension 1" takes scale Rank-1, "Dimension Rank" takes scale 0.
// The data set, the scales and the skips are the caller's; this file only
// walks them.
#include "loader/zone_fill.h"

#include "addon/addon_state.h"
#include "catalogue/number_types.h"
#include "loader/skip_steps.h"

#include <cstdio>

namespace {

// Source indices of one point, 1-based, in the zone's I, J and K directions.
struct SourcePoint {
    int32_t I, J, K;
};

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

// Stores one point: the coordinate variables from Rank down to 1, then "V".
void StorePoint(const SdsEntry& Entry, VyrFieldData_pa const* Refs, const SourcePoint& Point,
                int32_t PointIndex) {
    const int32_t Rank = Entry.Rank;
    const int32_t Along[MaxLoadRank] = {Point.I, Point.J, Point.K};
    for (int32_t Var = Rank; Var >= 1; --Var) {
        const int32_t Scale = Rank - Var;
        const double Coord = GetValueAsDouble(Entry.ScaleBuffer[Scale], Along[Var - 1] - 1,
                                              Entry.ScaleNumberType[Scale]);
        VyrUtilDataValueSetByRef(Refs[Var - 1], PointIndex, Coord);
    }
    const int64_t Element = (int64_t(Point.K) - 1) * SrcIMax * SrcJMax +
                            (int64_t(Point.J) - 1) * SrcIMax + (Point.I - 1);
    VyrUtilDataValueSetByRef(Refs[Rank], PointIndex,
                             GetValueAsDouble(Entry.DataBuffer, Element, Entry.DataNumberType));
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
    if (!VyrUtilDataSetAddZone(ZoneName, IMax, JMax, KMax, 0, FieldTypes))
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
    int32_t PointIndex = 1;
    SourcePoint Point = {1, 1, 1};
    for (;;) {
        if (LoadInterrupted)
            return true;
        Point.J = 1;
        for (;;) {
            if (LoadInterrupted)
                break;
            Point.I = 1;
            CheckProgress();
            for (;;) {
                if (LoadInterrupted)
                    break;
                StorePoint(Entry, Refs, Point, PointIndex);
                ++PointIndex;
                if (Point.I >= SrcIMax)
                    break;
                Point.I = NextSourceIndex(Point.I, ISkip, SrcIMax);
                ++PointsDone;
            }
            if (Point.J >= SrcJMax)
                break;
            Point.J = NextSourceIndex(Point.J, JSkip, SrcJMax);
        }
        if (Point.K >= SrcKMax)
            return true;
        Point.K = NextSourceIndex(Point.K, KSkip, SrcKMax);
    }
}
