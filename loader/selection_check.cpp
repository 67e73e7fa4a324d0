// Checks a selection of catalogue records before the conversion replaces the
// host's data set. A replayed instruction list can name numbers that the file
// no longer has, or records of different ranks; the user or a list can pick a
// scalar, which the catalogue lists but which has no dimensions to load; HDF4
// can report an extent of 0 (an unlimited dimension without records) or
// extents whose product does not fit the 32-bit sizes that VyrUtilStringAlloc,
// SDreaddata and the host's point indices take. Each of these is refused
// here, with one message.
#include "loader/selection_check.h"

#include "interface/addon_state.h"

namespace {

// Zone numbers are the host's 16-bit entity indices.
constexpr int32_t MaxZones = INT16_MAX;

// The message for the first record of the selection that cannot be
// converted, or null when all can.
const char* CheckRecords(int32_t Count, int32_t LoadRank) {
    int64_t TotalValues = 0;
    for (int32_t Position = 1; Position <= Count; ++Position) {
        const int32_t Number = VyrUtilSetGetMember(SelectedSds, Position);
        if (Number < 1 || Number > SdsCount)
            return "Selected data set is not in this HDF file";
        const SdsEntry& Record = SdsEntries[Number - 1];
        // A scalar gives no direction to a zone and no scale to a
        // coordinate variable: the host would get a data set of "V" alone.
        if (Record.Rank < 1)
            return "Selected data set has no dimensions to load";
        if (Record.Rank != LoadRank)
            return "Selected data sets do not have the same rank";
        for (int32_t Slot = 0; Slot < MaxLoadRank; ++Slot)
            if (Record.DimSizes[Slot] < 1)
                return "HDF Dataset has an empty dimension";
        if (Record.DataElemSize < 1)
            return "Unknown data type in HDF file";
        const int64_t Values = RecordValueCount(Record);
        if (Values > INT32_MAX || Values * Record.DataElemSize > INT32_MAX)
            return "HDF Dataset is too large to load";
        TotalValues += Values;
        if (TotalValues > INT32_MAX)
            return "Selected data sets are too large to load";
    }
    return nullptr;
}

} // namespace

int64_t RecordValueCount(const SdsEntry& Record) {
    return int64_t(Record.DimSizes[0]) * Record.DimSizes[1] * Record.DimSizes[2];
}

bool CheckSelection(int32_t* LoadRank) {
    const int32_t Count = VyrUtilSetGetMemberCount(SelectedSds);
    const int32_t First = Count < 1 ? VYR_SET_NOT_MEMBER : VyrUtilSetGetMember(SelectedSds, 1);
    const char* Failure = nullptr;
    if (Count < 1)
        Failure = "No Scientific Data Sets to load";
    else if (Count > MaxZones)
        Failure = "Too many data sets selected";
    else if (First < 1 || First > SdsCount)
        Failure = "Selected data set is not in this HDF file";
    else
        Failure = CheckRecords(Count, SdsEntries[First - 1].Rank);
    if (Failure != nullptr) {
        VyrUtilDialogErrMsg(Failure);
        return false;
    }
    *LoadRank = SdsEntries[First - 1].Rank;
    return true;
}
