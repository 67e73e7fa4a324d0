// The attributes dialog. It only reads the catalogue and makes no lock
// calls: it is reachable only from the load dialog, whose launch holds the
// host lock. The text is rebuilt from scratch at every launch, so it always
// describes the file whose entries fill the load dialog's list.
#include "gui/attr_dialog.h"

#include "catalogue/sds_entry.h"
#include "gui/dialog_building.h"
#include "gui/dialog_help.h"
#include "interface/addon_state.h"
#include "interface/printf_format.h"

#include <cstdarg>
#include <cstdio>

namespace {

// Formats one line into Scratch (AttrLineSize bytes) and appends it to the
// text.
__attribute__((format(LOADHDF_PRINTF_FORMAT, 2, 3))) void AppendLine(char* Scratch,
                                                                     const char* Format, ...) {
    va_list Values;
    va_start(Values, Format);
    vsnprintf(Scratch, AttrLineSize, Format, Values);
    va_end(Values);
    VyrGUITextAppendString(AttrText, Scratch);
}

// Appends the lines that describe catalogue entry Number (1-based).
void AppendEntry(char* Scratch, int32_t Number, const SdsEntry& Entry) {
    // The precision keeps every read inside the record's text fields.
    const int TextLen = SdsTextLen;
    AppendLine(Scratch, "Scientific Data Set #%d\n", static_cast<int>(Number));
    // Dimension 1 is the fastest-varying, the last in HDF order, as in the
    // load dialog's list.
    const int32_t Rank = Entry.Rank < MaxSdsDims ? Entry.Rank : MaxSdsDims;
    for (int32_t Dim = 1; Dim <= Rank; ++Dim)
        AppendLine(Scratch, "  Dimension Size %d:%d\n", static_cast<int>(Dim),
                   static_cast<int>(Entry.DimSizes[Rank - Dim]));
    AppendLine(Scratch, "Label: %.*s\n", TextLen, Entry.Label);
    AppendLine(Scratch, "Unit: %.*s\n", TextLen, Entry.Unit);
    AppendLine(Scratch, "Format: %.*s\n", TextLen, Entry.Format);
    AppendLine(Scratch, "Coordinate System: %.*s\n", TextLen, Entry.CoordSys);
    AppendLine(Scratch, "Rank: %d\n", static_cast<int>(Entry.Rank));
    VyrGUITextAppendString(AttrText, "\n");
}

} // namespace

void AttributesButtonCallback(void) {
    if (!BuildAttrDialog(LoadDialog)) {
        VyrUtilDialogErrMsg(DialogNotBuiltText);
        return;
    }
    VyrGUIDialogLaunch(AttrDialog);
}

bool BuildAttrDialog(int32_t Parent) {
    if (AttrDialog == NotBuilt)
        AttrDialog = BuiltOrNot(VyrGUIDialogCreateModal(
            Parent, 5569, 2338, "Attributes", AttrDialogInitCallback, AttrDialogCloseCallback,
            nullptr, AttrDialogCloseCallback, DialogHelpCallback));
    if (AttrDialog == NotBuilt)
        return false;
    AddMissingControl(
        AttrText, [] { return VyrGUITextAdd(AttrDialog, 229, 255, 5144, 1961, true, nullptr); });
    AddMissingControl(AttrTextLabel, [] {
        return VyrGUILabelAdd(AttrDialog, 254, 117, "Attributes for all data sets:");
    });
    return AttrText != NotBuilt && AttrTextLabel != NotBuilt;
}

void AttrDialogInitCallback(void) {
    char* Scratch = VyrUtilStringAlloc(AttrLineSize, "HDF Temp String");
    VyrGUITextSetString(AttrText, "");
    if (Scratch == nullptr)
        return;
    for (int32_t Index = 0; Index < SdsCount; ++Index)
        AppendEntry(Scratch, Index + 1, SdsEntries[Index]);
    VyrUtilStringDealloc(&Scratch);
}

void AttrDialogCloseCallback(void) {
    VyrGUIDialogDrop(AttrDialog);
}
