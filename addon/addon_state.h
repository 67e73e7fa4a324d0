// The add-on's global state: one process-wide instance, read and written by
// every subsystem. Values before start-up are those of ResetAddOnState.
#ifndef LOADHDF_ADDON_ADDON_STATE_H
#define LOADHDF_ADDON_ADDON_STATE_H

#include "catalogue/sds_entry.h"
#include "vyr_host_api.h"

#include <cstdint>

// Size of FileName and DefaultFileName: a path of at most 9999 characters.
constexpr int32_t FileNameSize = 10000;
// A dialog or control id that the host has not handed out yet.
constexpr int32_t NotBuilt = -2;

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
