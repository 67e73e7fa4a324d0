// The load dialog's list: one line per catalogue entry, and the selection
// that it feeds into SelectedSds. Labels run to 256 characters, so lines are
// formed in a buffer sized for the longest one: the user always sees the
// whole label and every extent.
#include "gui/data_set_list.h"

#include "interface/addon_state.h"

#include <cstdio>
#include <initializer_list>

void FormatListLine(const SdsEntry& Entry, char (&Line)[ListLineSize]) {
    // The precision keeps the read inside the record's label field even if
    // its terminating zero byte were missing.
    const int LabelLen = SdsTextLen;
    const int32_t* Dims = Entry.DimSizes;
    switch (Entry.Rank) {
    case 3:
        snprintf(Line, ListLineSize, "(3) %.*s (%dx%dx%d)", LabelLen, Entry.Label, Dims[2], Dims[1],
                 Dims[0]);
        break;
    case 2:
        snprintf(Line, ListLineSize, "(2) %.*s (%dx%d)", LabelLen, Entry.Label, Dims[1], Dims[0]);
        break;
    case 1:
        snprintf(Line, ListLineSize, "(1) %.*s (%d)", LabelLen, Entry.Label, Dims[0]);
        break;
    default:
        // The catalogue keeps no rank above 3; a rank below 1 from the HDF
        // library has no extents, so the brackets stay empty.
        snprintf(Line, ListLineSize, "(%d) %.*s ()", static_cast<int>(Entry.Rank), LabelLen,
                 Entry.Label);
        break;
    }
}

void UpdateDataSetControls(bool Sensitive) {
    for (int32_t Control : {ISkipLabel, JSkipLabel, KSkipLabel, ISkipField, JSkipField, KSkipField,
                            DataSetListLabel, DataSetList, AttributesButton})
        VyrGUISetSensitivity(Control, Sensitive);
    VyrGUIListDeleteAllItems(DataSetList);
    if (!Sensitive)
        return;
    char Line[ListLineSize];
    for (int32_t Index = 0; Index < SdsCount; ++Index) {
        FormatListLine(SdsEntries[Index], Line);
        VyrGUIListAppendItem(DataSetList, Line);
    }
}

void DataSetListCallback(const int32_t* /*Item*/) {
    int32_t* Items = nullptr;
    int32_t Count = 0;
    VyrGUIListGetSelectedItems(DataSetList, &Items, &Count);
    VyrUtilSetClear(SelectedSds);

    // A selection the set cannot mirror whole is none: mixed ranks, or a
    // member the host could not add.
    bool Refused = false;
    bool HaveRank = false;
    int32_t SelectionRank = 0;
    for (int32_t Position = 0; Items != nullptr && Position < Count; ++Position) {
        const int32_t Number = Items[Position];
        // List item k is catalogue number k; a position the catalogue does
        // not hold cannot name a data set.
        if (Number < 1 || Number > SdsCount)
            continue;
        const int32_t Rank = SdsEntries[Number - 1].Rank;
        if (!HaveRank) {
            SelectionRank = Rank;
            HaveRank = true;
        } else if (Rank != SelectionRank) {
            VyrUtilDialogErrMsg("Invalid Selection: Data sets must have the same rank.");
            Refused = true;
            break;
        }
        if (!VyrUtilSetAddMember(SelectedSds, Number, false)) {
            VyrUtilDialogErrMsg("Out of memory");
            Refused = true;
            break;
        }
    }
    VyrUtilArrayDealloc(reinterpret_cast<void**>(&Items));

    if (Refused) {
        VyrUtilSetClear(SelectedSds);
        VyrGUIListDeselectAllItems(DataSetList);
    }
}
