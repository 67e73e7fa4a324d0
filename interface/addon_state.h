// The add-on's global state: one process-wide instance, read and written by
// every subsystem. Values before start-up are those of ResetAddOnState.
// The catalogue's records are only pointed to here: a file that reads them
// includes catalogue/sds_entry.h, so that this folder depends on nothing
// above it.
#ifndef LOADHDF_INTERFACE_ADDON_STATE_H
#define LOADHDF_INTERFACE_ADDON_STATE_H

#include "interface/vyr_host_api.h"

#include <cstdint>

// Size of FileName and DefaultFileName: a path of at most 9999 characters.
constexpr int32_t FileNameSize = 10000;
// A dialog or control id that the host has not handed out yet.
constexpr int32_t NotBuilt = -2;

struct SdsEntry;

extern VyrAddOn_pa AddOnID;
extern char* FileName;
extern char* DefaultFileName;
extern SdsEntry* SdsEntries;
extern int32_t SdsCount;
extern VyrSet_pa SelectedSds;
extern int32_t ISkip, JSkip, KSkip;
extern int32_t SrcIMax, SrcJMax, SrcKMax;
extern int32_t PointsDone, PointsTotal;
extern bool LoadInterrupted;

extern int32_t LoadDialog;
extern int32_t ISkipLabel, JSkipLabel, KSkipLabel, DataSetListLabel, FileLabel, FileNameLabel;
extern int32_t DataSetList, AttributesButton, ISkipField, JSkipField, KSkipField, SelectFileButton;
extern int32_t AttrDialog, AttrText, AttrTextLabel;

// Puts every field back to its value before start-up, without giving
// anything back: for a host that has forgotten the add-on (tests).
void ResetAddOnState();

#endif
