// The load dialog's list of catalogue entries: its lines, the sensitivity
// of the controls that only make sense with a scanned file, and the
// selection, which must hold entries of one rank.
#ifndef LOADHDF_GUI_DATA_SET_LIST_H
#define LOADHDF_GUI_DATA_SET_LIST_H

#include "catalogue/sds_entry.h"

#include <cstddef>
#include <cstdint>

// Shown in FileNameLabel whenever no scanned file stands behind the list.
constexpr const char* NoFileSelectedText = "<<No File Selected>>";

// Room for the longest list line: "(%d) " with any 32-bit rank, a label of
// SdsTextLen characters, then " (" three extents of up to 11 characters
// each with two "x" between them, ")" and the terminating zero byte.
constexpr size_t ListLineSize = 1 + 11 + 2 + SdsTextLen + 2 + 3 * 11 + 2 + 1 + 1;

// Formats Entry's list line into Line (ListLineSize bytes): rank, label and
// extents fastest-varying first. An entry whose rank is below 1 has no
// extents to show and reads "(0) label ()".
void FormatListLine(const SdsEntry& Entry, char (&Line)[ListLineSize]);

// Sets the nine data-set controls to Sensitive, empties the list and, when
// Sensitive, refills it with one line per catalogue entry in order, so that
// list item k is catalogue number k.
void UpdateDataSetControls(bool Sensitive);

// The list's callback: mirrors the list's selection into SelectedSds when
// every selected entry has the rank of the first; otherwise, and when the
// set cannot take a member, says so and leaves nothing selected, in the list
// or in the set. The host's argument is not used: the list is asked for its
// whole selection.
void DataSetListCallback(const int32_t* Item);

#endif
