/*
 * The host's add-on library, libvyr: every host operation that the add-on
 * calls, with its C signature. The real host is closed; the project's
 * stand-in (host/) implements exactly these.
 *
 * Conventions shared by all operations:
 *  - Handles (add-on, set, string list, field-value reference) are opaque.
 *  - String-list items, set positions, list items, zones, variables and
 *    points count from 1.
 *  - Deallocators take the address of the handle and set it to null; a null
 *    handle is a no-op.
 *  - Strings, string lists, sets and arrays that the host hands out belong to
 *    the add-on, which gives them back with the matching deallocator.
 *  - Dialog ids: a parent of -1 means none; -2 marks a dialog not built yet.
 */
#ifndef LOADHDF_ADDON_VYR_HOST_API_H
#define LOADHDF_ADDON_VYR_HOST_API_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef bool VyrBoolean_t;
typedef struct VyrAddOn_s* VyrAddOn_pa;
typedef struct VyrSet_s* VyrSet_pa;
typedef struct VyrStringList_s* VyrStringList_pa;
typedef struct VyrFieldData_s* VyrFieldData_pa;
typedef int32_t VyrSetIndex_t;  /* set members and positions */
typedef int16_t VyrEntIndex_t;  /* zone and variable numbers */
typedef int32_t VyrLgIndex_t;   /* extents and point indices */
typedef int32_t VyrFieldType_t; /* 1 float, 2 double, 3 int32, 4 int16, 5 byte */

/* Returned by VyrUtilSetGetMember for a position that holds no member. */
#define VYR_SET_NOT_MEMBER ((VyrSetIndex_t)-1)

/* Callbacks that the add-on hands to the host. */
typedef void (*VyrStateChangeCallback_pf)(int32_t StateChange, intptr_t CallData);
typedef VyrBoolean_t (*VyrDataLoader_pf)(VyrStringList_pa Instructions);
typedef void (*VyrDynamicMenuCallback_pf)(void);
typedef VyrBoolean_t (*VyrLoaderInstrOverride_pf)(VyrStringList_pa Instructions);
typedef void (*VyrGUIVoidCallback_pf)(void);
/* Text fields: the host passes the new text; the callback returns 1 to accept. */
typedef int32_t (*VyrGUITextCallback_pf)(const char* NewText);
/* Lists: the host passes the item the user last touched (1-based). */
typedef void (*VyrGUIIntCallback_pf)(const int32_t* Value);

/* ---- Registration, version, state changes ---------------------------- */

/* Registers the add-on; returns its handle. VersionNeeded is 100 here. */
VyrAddOn_pa VyrUtilAddOnRegister(int32_t VersionNeeded, const char* Name, const char* Version,
                                 const char* Credits);
/* The host's version number, 740400 or above for a host the add-on accepts. */
int32_t VyrUtilGetVyrlithVersion(void);
/* Adds a listener for the host's state changes (15: shutting down). False
 * when the host could not add it. */
VyrBoolean_t VyrUtilStateChangeAddCallback(VyrStateChangeCallback_pf Callback);

/* ---- The host lock: pairs nest and keep a depth ----------------------- */

void VyrUtilLockOn(void);
void VyrUtilLockOff(void);
void VyrUtilLockStart(VyrAddOn_pa AddOn);
void VyrUtilLockFinish(VyrAddOn_pa AddOn);

/* ---- Import: loaders and their instruction lists ---------------------- */

/* Registers a data loader: the loader function that replays a list, the
 * loader name shown to the user, the menu callback that starts an
 * interactive load, and an optional override (null). */
void VyrUtilImportAddLoader(VyrDataLoader_pf Loader, const char* LoaderName,
                            VyrDynamicMenuCallback_pf MenuCallback,
                            VyrLoaderInstrOverride_pf InstrOverride);
/* Records the list of a completed load for replay. The host keeps its own
 * copy; the caller still owns and frees Instructions. */
void VyrUtilImportSetLoaderInstr(const char* LoaderName, VyrStringList_pa Instructions);

/* ---- Data set, zones and field values --------------------------------- */

/* True when the host holds a data set. */
VyrBoolean_t VyrUtilDataSetIsAvailable(void);
/* Replaces the host's data set by an empty one with the given title and
 * variable names (one list item each). ResetStyle is true here. */
VyrBoolean_t VyrUtilDataSetCreate(const char* Title, VyrStringList_pa VarNames,
                                  VyrBoolean_t ResetStyle);
/* Adds a zone to the data set; zone type 0 is ordered (I, J, K).
 * FieldTypes holds one field data type per variable, in variable order.
 * Every value of the new zone starts at 0. */
VyrBoolean_t VyrUtilDataSetAddZone(const char* Name, VyrLgIndex_t IMax, VyrLgIndex_t JMax,
                                   VyrLgIndex_t KMax, int32_t ZoneType,
                                   const VyrFieldType_t* FieldTypes);
/* The field-value reference of one variable of one zone; null when the
 * zone or variable does not exist. */
VyrFieldData_pa VyrUtilDataValueGetRef(VyrEntIndex_t Zone, VyrEntIndex_t Var);
/* Stores a value at a 1-based point index, converted to the field's type. */
void VyrUtilDataValueSetByRef(VyrFieldData_pa FieldData, VyrLgIndex_t PointIndex, double Value);

/* ---- Messages and standard dialogs ------------------------------------ */

/* Shows a modal error message. */
void VyrUtilDialogErrMsg(const char* Message);
/* Shows a question; Kind 4 is yes/no and the result is true for yes. */
VyrBoolean_t VyrUtilDialogMessageBox(const char* Message, int32_t Kind);
/* The host's file dialog. Option 0 picks one file to read. On true,
 * *ChosenName is a new host string that the caller frees with
 * VyrUtilStringDealloc; on false (cancelled) it is left as it was. */
VyrBoolean_t VyrUtilDialogGetFileName(int32_t Option, char** ChosenName, const char* FileTypeName,
                                      const char* DefaultName, const char* Filter);
/* The percent-done dialog. With ShowStopButton true,
 * VyrUtilDialogCheckPercentDone returns false once the user pressed Stop. */
void VyrUtilDialogLaunchPercentDone(const char* Label, VyrBoolean_t ShowStopButton);
VyrBoolean_t VyrUtilDialogCheckPercentDone(int32_t PercentDone);
void VyrUtilDialogDropPercentDone(void);
/* Opens a help page. */
void VyrUtilHelp(const char* Page, VyrBoolean_t GoToId, int32_t HelpId);

/* ---- Frames and drawing ------------------------------------------------ */

VyrBoolean_t VyrUtilFrameCreateNew(VyrBoolean_t UseSuppliedSize, double X, double Y, double Width,
                                   double Height);
/* 3, 2, 1: the plot types for one, two and three dimensions. */
void VyrUtilFrameSetPlotType(int32_t PlotType);
void VyrUtilPickSetMouseMode(int32_t MouseMode);
void VyrUtilRedraw(VyrBoolean_t Full);

/* ---- Sets: positive members in ascending order -------------------------- */

VyrSet_pa VyrUtilSetAlloc(VyrBoolean_t ShowErr);
void VyrUtilSetDealloc(VyrSet_pa* Set);
/* False, changing nothing, for a member below 1. */
VyrBoolean_t VyrUtilSetAddMember(VyrSet_pa Set, VyrSetIndex_t Member, VyrBoolean_t ShowErr);
void VyrUtilSetClear(VyrSet_pa Set);
VyrSetIndex_t VyrUtilSetGetMemberCount(VyrSet_pa Set);
/* The member at a 1-based position; VYR_SET_NOT_MEMBER outside 1..count. */
VyrSetIndex_t VyrUtilSetGetMember(VyrSet_pa Set, VyrSetIndex_t Position);
VyrBoolean_t VyrUtilSetIsEmpty(VyrSet_pa Set);
VyrBoolean_t VyrUtilSetIsMember(VyrSet_pa Set, VyrSetIndex_t Member);

/* ---- Strings, string lists, arrays -------------------------------------- */

/* A buffer of Size bytes tracked under Tag; null when it cannot be had. */
char* VyrUtilStringAlloc(int32_t Size, const char* Tag);
/* Gives back a buffer from VyrUtilStringAlloc or any string the host handed
 * out, and sets *String to null. */
void VyrUtilStringDealloc(char** String);
VyrStringList_pa VyrUtilStringListAlloc(void);
void VyrUtilStringListDealloc(VyrStringList_pa* List);
VyrBoolean_t VyrUtilStringListAppendString(VyrStringList_pa List, const char* String);
/* One item per line of Text; a final newline makes no empty item. */
VyrStringList_pa VyrUtilStringListFromNLString(const char* Text);
int32_t VyrUtilStringListGetCount(VyrStringList_pa List);
/* A copy of item Index (1-based) that the caller frees with
 * VyrUtilStringDealloc; null outside 1..count. */
char* VyrUtilStringListGetString(VyrStringList_pa List, int32_t Index);
/* Gives back an array that the host handed out (VyrGUIListGetSelectedItems). */
void VyrUtilArrayDealloc(void** Array);

/* ---- GUI: modal dialogs and their controls ------------------------------ */

/* Creates a modal dialog; returns its id. Callbacks in the host's order:
 * init (each launch), OK, apply, cancel, help; any may be null. */
int32_t VyrGUIDialogCreateModal(int32_t Parent, int32_t Width, int32_t Height, const char* Title,
                                VyrGUIVoidCallback_pf Init, VyrGUIVoidCallback_pf Ok,
                                VyrGUIVoidCallback_pf Apply, VyrGUIVoidCallback_pf Cancel,
                                VyrGUIVoidCallback_pf Help);
/* Calls the init callback and shows the dialog; returns at once, leaving it up. */
void VyrGUIDialogLaunch(int32_t Dialog);
void VyrGUIDialogDrop(int32_t Dialog);
int32_t VyrGUILabelAdd(int32_t Parent, int32_t X, int32_t Y, const char* Text);
void VyrGUILabelSetText(int32_t Label, const char* Text);
int32_t VyrGUIButtonAdd(int32_t Parent, int32_t X, int32_t Y, int32_t Width, int32_t Height,
                        const char* Text, VyrGUIVoidCallback_pf Callback);
int32_t VyrGUIListAdd(int32_t Parent, int32_t X, int32_t Y, int32_t Width, int32_t Height,
                      VyrBoolean_t MultiSelection, VyrGUIIntCallback_pf Callback);
void VyrGUIListAppendItem(int32_t List, const char* Text);
void VyrGUIListDeleteAllItems(int32_t List);
void VyrGUIListDeselectAllItems(int32_t List);
/* Sets *Items to a new host array of the selected 1-based positions and
 * *Count to their number; the array goes back with VyrUtilArrayDealloc. */
void VyrGUIListGetSelectedItems(int32_t List, int32_t** Items, int32_t* Count);
int32_t VyrGUITextFieldAdd(int32_t Parent, int32_t X, int32_t Y, int32_t Width, int32_t Height,
                           VyrGUITextCallback_pf Callback);
void VyrGUITextFieldSetString(int32_t Field, const char* Text);
/* A multi-line text; ReadOnly 1 here, no callback. */
int32_t VyrGUITextAdd(int32_t Parent, int32_t X, int32_t Y, int32_t Width, int32_t Height,
                      VyrBoolean_t ReadOnly, VyrGUITextCallback_pf Callback);
void VyrGUITextSetString(int32_t Text, const char* String);
void VyrGUITextAppendString(int32_t Text, const char* String);
void VyrGUISetSensitivity(int32_t Control, VyrBoolean_t Sensitive);

#ifdef __cplusplus
}
#endif

#endif
