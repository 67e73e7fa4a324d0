/*
 * The host's add-on library, libvyr: every host operation that the add-on
 * calls, with its C signature and its contract. The real host is closed; the
 * project's stand-in (host/) implements exactly these, strictly.
 *
 * Conventions shared by all operations:
 *  - Handles (add-on, set, string list, field-value reference) are opaque.
 *  - String-list items, set positions, list items, zones, variables and
 *    points count from 1.
 *  - Text arguments are never null. The host copies what it keeps: the
 *    caller's text may change or go as soon as the call returns.
 *  - Deallocators take the address of the handle and set it to null; a null
 *    handle is a no-op, a null address a breach.
 *  - Strings, string lists, sets and arrays that the host hands out belong to
 *    the add-on, which gives them back with the matching deallocator. The one
 *    exception is the instruction list that the host passes to a loader.
 *  - Dialog ids: a parent of -1 means none; -2 marks a dialog not built yet.
 *    Dialogs and controls take their ids from one counter, so an id names
 *    one object.
 *  - A breach is a call that breaks a rule stated here: a null text, a
 *    handle or id the host did not hand out or that is no longer live, one
 *    of another kind, a number out of range, a null address for a result.
 *    The stand-in records every breach; where the call cannot go on it
 *    changes nothing and returns the failure value given below. A correct
 *    add-on commits none.
 *  - Other failures (the host out of memory) are silent: the host shows no
 *    message, except VyrUtilSetAlloc when asked to. The add-on tells the
 *    user itself.
 */
#ifndef LOADHDF_INTERFACE_VYR_HOST_API_H
#define LOADHDF_INTERFACE_VYR_HOST_API_H

#include <stdint.h>
/* The host's booleans are C++'s bool, one byte; C99 names the same type
 * bool through <stdbool.h>. */
#ifndef __cplusplus
#include <stdbool.h>
#endif

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
typedef int32_t VyrFieldType_t; /* one of VYR_FIELD_TYPE_... */

/* Returned by VyrUtilSetGetMember for a position that holds no member. */
#define VYR_SET_NOT_MEMBER ((VyrSetIndex_t)-1)

/* ---- The codes passed to and from the host ----------------------------- */
/* Each code the add-on and the host exchange is named here once; the
 * numbers are the host's and cannot change. */

/* State-change codes that listeners hear. The add-on acts on shutdown only;
 * the host has others, which it may send at any time. */
#define VYR_STATE_CHANGE_SHUTDOWN ((int32_t)15)

/* Field data types: how one zone variable's values are stored. */
#define VYR_FIELD_TYPE_FLOAT ((VyrFieldType_t)1)
#define VYR_FIELD_TYPE_DOUBLE ((VyrFieldType_t)2)
#define VYR_FIELD_TYPE_INT32 ((VyrFieldType_t)3)
#define VYR_FIELD_TYPE_INT16 ((VyrFieldType_t)4)
#define VYR_FIELD_TYPE_BYTE ((VyrFieldType_t)5)

/* Zone types: ordered (I, J, K), the only one the host takes. */
#define VYR_ZONE_TYPE_ORDERED ((int32_t)0)

/* Message-box kinds: a yes/no question, the only one the host takes. */
#define VYR_MESSAGE_BOX_YES_NO ((int32_t)4)

/* File-dialog options: pick one file to read, the only one the host takes. */
#define VYR_FILE_DIALOG_READ_ONE ((int32_t)0)

/* Plot types of a frame, by the dimensions of what it shows. */
#define VYR_PLOT_TYPE_3D ((int32_t)1)
#define VYR_PLOT_TYPE_2D ((int32_t)2)
#define VYR_PLOT_TYPE_1D ((int32_t)3)

/* The mouse mode the add-on sets after a load that drew nothing: the
 * host's selecting pointer. */
#define VYR_MOUSE_MODE_SELECT ((int32_t)1)

/* Callbacks that the add-on hands to the host. The host calls each on its
 * user-interface thread and waits for it to return. */
/* A state-change listener: the host's code (VYR_STATE_CHANGE_...) and data
 * that goes with it, none for VYR_STATE_CHANGE_SHUTDOWN. */
typedef void (*VyrStateChangeCallback_pf)(int32_t StateChange, intptr_t CallData);
/* A loader function: loads from Instructions and returns true on success.
 * The list is the host's, live during the call: the loader reads it and may
 * pass it to VyrUtilImportSetLoaderInstr, but must not free it. */
typedef VyrBoolean_t (*VyrDataLoader_pf)(VyrStringList_pa Instructions);
/* The user picked the loader from the host's import menu. */
typedef void (*VyrDynamicMenuCallback_pf)(void);
/* A loader's own editor of its instruction list; the add-on has none. */
typedef VyrBoolean_t (*VyrLoaderInstrOverride_pf)(VyrStringList_pa Instructions);
/* Buttons, and a dialog's init, OK, apply, cancel and help. */
typedef void (*VyrGUIVoidCallback_pf)(void);
/* Text fields: the host passes the new text; the callback returns 1 to
 * accept. The field holds the new text when the callback runs, so one that
 * refuses it sets the field's text back itself. */
typedef int32_t (*VyrGUITextCallback_pf)(const char* NewText);
/* Lists: after each change of the selection, the host passes the item the
 * user last touched (1-based), or 0 when the selection was emptied; never a
 * null pointer. VyrGUIListGetSelectedItems reads the whole selection. */
typedef void (*VyrGUIIntCallback_pf)(const int32_t* Value);

/* ---- Registration, version, state changes ---------------------------- */

/* Registers the add-on under Name, with its Version text and Credits, and
 * returns its handle for the lock operations; the handle stays live for the
 * host's run and is never given back. VersionNeeded is the host interface
 * version the add-on is written against, 100 here. Null after a breach. */
VyrAddOn_pa VyrUtilAddOnRegister(int32_t VersionNeeded, const char* Name, const char* Version,
                                 const char* Credits);
/* The host's version number, 740400 or above for a host the add-on accepts.
 * Cannot fail. */
int32_t VyrUtilGetVyrlithVersion(void);
/* Adds a listener for the host's state changes; listeners hear each code in
 * the order they were added. False, adding nothing, when the host could not
 * add it; the add-on then never hears of the shutdown. */
VyrBoolean_t VyrUtilStateChangeAddCallback(VyrStateChangeCallback_pf Callback);

/* ---- The host lock: pairs nest and keep a depth ----------------------- */

/* The lock that needs no add-on handle, for start-up before registration:
 * each VyrUtilLockOn is ended by one VyrUtilLockOff; an Off with the lock
 * not on is a breach. */
void VyrUtilLockOn(void);
void VyrUtilLockOff(void);
/* The lock for all later work, taken on behalf of AddOn (the handle from
 * VyrUtilAddOnRegister). A finish ends the innermost open start and must
 * name the same add-on; it may come in a later callback than its start. A
 * finish with no start open, for another add-on, or with a handle the host
 * did not hand out, is a breach and ends nothing; a start with such a
 * handle is one too and opens nothing. The two kinds of lock keep separate
 * depths. */
void VyrUtilLockStart(VyrAddOn_pa AddOn);
void VyrUtilLockFinish(VyrAddOn_pa AddOn);

/* ---- Import: loaders and their instruction lists ---------------------- */

/* Registers a data loader: the loader function that replays a list, the
 * loader name shown to the user, the menu callback that starts an
 * interactive load, and an optional override (null). MenuCallback may be
 * null. A null loader function, or a name already registered, is a breach
 * and registers nothing; nothing tells the caller. */
void VyrUtilImportAddLoader(VyrDataLoader_pf Loader, const char* LoaderName,
                            VyrDynamicMenuCallback_pf MenuCallback,
                            VyrLoaderInstrOverride_pf InstrOverride);
/* Records the list of a completed load for replay, in place of any list
 * recorded before for LoaderName, which must be registered. The host keeps
 * its own copy; the caller still owns and frees Instructions (unless it is
 * the host's list, given to the loader). A breach records nothing. */
void VyrUtilImportSetLoaderInstr(const char* LoaderName, VyrStringList_pa Instructions);

/* ---- Data set, zones and field values --------------------------------- */

/* True when the host holds a data set, whoever made it. */
VyrBoolean_t VyrUtilDataSetIsAvailable(void);
/* Replaces the host's data set by an empty one with the given title and
 * variable names (one list item each, in variable order). The host copies
 * the names; the caller still owns and frees VarNames. ResetStyle is true
 * here. Every field-value reference handed out before becomes stale. False,
 * the old data set and its references staying, when the host cannot make
 * the new one or after a breach. */
VyrBoolean_t VyrUtilDataSetCreate(const char* Title, VyrStringList_pa VarNames,
                                  VyrBoolean_t ResetStyle);
/* Adds a zone to the data set, numbered after the zones before it;
 * ZoneType is VYR_ZONE_TYPE_ORDERED, the only type taken. Each extent is 1
 * or more. FieldTypes holds one field data type (VYR_FIELD_TYPE_...) per
 * variable, in variable order: how that variable's values are stored. Every value of the new zone
 * starts at 0. False, adding nothing, when the host cannot get the zone's
 * memory (the host then shows its own message naming the zone and the bytes
 * it needed, before any of the add-on's), or after a breach: no data set, a
 * bad extent, zone type or field type, or a data set that already holds
 * 32767 zones. */
VyrBoolean_t VyrUtilDataSetAddZone(const char* Name, VyrLgIndex_t IMax, VyrLgIndex_t JMax,
                                   VyrLgIndex_t KMax, int32_t ZoneType,
                                   const VyrFieldType_t* FieldTypes);
/* The field-value reference of one variable of one zone, the same at every
 * call for that pair. It belongs to the host (nothing to give back) and
 * goes stale when the data set is replaced. Null, a breach, when there is
 * no data set or the zone or variable does not exist. */
VyrFieldData_pa VyrUtilDataValueGetRef(VyrEntIndex_t Zone, VyrEntIndex_t Var);
/* Stores a value at a 1-based point index, converted to the field's type.
 * I runs fastest: point I + IMax * ((J - 1) + JMax * (K - 1)). Integer types
 * cut toward zero, hold values beyond their range at the nearest bound and
 * take NaN as 0; float rounds to the nearest. A null, stale or foreign
 * reference, or a point outside 1..IMax*JMax*KMax, is a breach and stores
 * nothing. */
void VyrUtilDataValueSetByRef(VyrFieldData_pa FieldData, VyrLgIndex_t PointIndex, double Value);

/* ---- Messages and standard dialogs ------------------------------------ */

/* Shows a modal error message. */
void VyrUtilDialogErrMsg(const char* Message);
/* Shows a question; Kind VYR_MESSAGE_BOX_YES_NO asks yes or no and the
 * result is true for yes. Any other kind is a breach. False for a null
 * message. */
VyrBoolean_t VyrUtilDialogMessageBox(const char* Message, int32_t Kind);
/* The host's file dialog. Option VYR_FILE_DIALOG_READ_ONE picks one file to
 * read; any other is a breach. FileTypeName names the kind of file, DefaultName is the path the
 * dialog offers first (may be empty), Filter the pattern of names it lists.
 * On true, *ChosenName is a new host string that the caller frees with
 * VyrUtilStringDealloc; on false (cancelled, no memory, a breach) it is
 * left as it was. */
VyrBoolean_t VyrUtilDialogGetFileName(int32_t Option, char** ChosenName, const char* FileTypeName,
                                      const char* DefaultName, const char* Filter);
/* The percent-done dialog, one at a time: launch it with Label, check it
 * with the percentage done (0 to 100) as the work goes on, drop it at the
 * end. With ShowStopButton true, VyrUtilDialogCheckPercentDone returns false
 * once the user pressed Stop, and at every check after until the next
 * launch. Launching while one is up, checking or dropping with none up, and
 * a percentage outside 0 to 100, are breaches; a check with none up returns
 * false. */
void VyrUtilDialogLaunchPercentDone(const char* Label, VyrBoolean_t ShowStopButton);
VyrBoolean_t VyrUtilDialogCheckPercentDone(int32_t PercentDone);
void VyrUtilDialogDropPercentDone(void);
/* Opens a help page, named by its path in the host's help. GoToId and
 * HelpId are false and 0 here. Nothing tells the caller of a failure. */
void VyrUtilHelp(const char* Page, VyrBoolean_t GoToId, int32_t HelpId);

/* ---- Frames and drawing ------------------------------------------------ */

/* Creates a new frame. With UseSuppliedSize false the host places and sizes
 * it itself and X, Y, Width and Height are unused (0.0 here). False when no
 * frame was made. */
VyrBoolean_t VyrUtilFrameCreateNew(VyrBoolean_t UseSuppliedSize, double X, double Y, double Width,
                                   double Height);
/* Sets the current frame's plot type (VYR_PLOT_TYPE_...). */
void VyrUtilFrameSetPlotType(int32_t PlotType);
/* Sets the mouse mode; VYR_MOUSE_MODE_SELECT here. */
void VyrUtilPickSetMouseMode(int32_t MouseMode);
/* Redraws the frames; Full is true here. */
void VyrUtilRedraw(VyrBoolean_t Full);

/* ---- Sets: positive members in ascending order -------------------------- */

/* A new empty set, given back with VyrUtilSetDealloc. Null when the host
 * has no memory for it; with ShowErr true the host then first shows its own
 * "Out of memory" with VyrUtilDialogErrMsg. The add-on passes false and
 * words the message itself. */
VyrSet_pa VyrUtilSetAlloc(VyrBoolean_t ShowErr);
/* Gives a set back and sets *Set to null. */
void VyrUtilSetDealloc(VyrSet_pa* Set);
/* Adds Member; true also when it was there already. False, changing
 * nothing, for a member below 1 (no breach), when the host has no memory
 * for a new member, and after a breach. ShowErr asks the host to show "Out
 * of memory" itself when memory fails; the add-on passes false and words
 * its own message. */
VyrBoolean_t VyrUtilSetAddMember(VyrSet_pa Set, VyrSetIndex_t Member, VyrBoolean_t ShowErr);
/* Removes every member. */
void VyrUtilSetClear(VyrSet_pa Set);
/* The number of members; 0 after a breach. */
VyrSetIndex_t VyrUtilSetGetMemberCount(VyrSet_pa Set);
/* The member at a 1-based position; VYR_SET_NOT_MEMBER, a breach, outside
 * 1..count. */
VyrSetIndex_t VyrUtilSetGetMember(VyrSet_pa Set, VyrSetIndex_t Position);
/* True when the set holds no member; true after a breach. */
VyrBoolean_t VyrUtilSetIsEmpty(VyrSet_pa Set);
/* True when Member is in the set (any value may be asked); false after a
 * breach. */
VyrBoolean_t VyrUtilSetIsMember(VyrSet_pa Set, VyrSetIndex_t Member);

/* ---- Strings, string lists, arrays -------------------------------------- */

/* A buffer of Size bytes (1 or more) tracked under Tag, which names its use
 * in the host's memory accounting. Its bytes are not zeroed. Given back
 * with VyrUtilStringDealloc. Null when it cannot be had, and after a
 * breach (Size below 1, a null tag). */
char* VyrUtilStringAlloc(int32_t Size, const char* Tag);
/* Gives back a buffer from VyrUtilStringAlloc or any string the host handed
 * out, and sets *String to null. Anything else is a breach, left alone. */
void VyrUtilStringDealloc(char** String);
/* A new empty string list, given back with VyrUtilStringListDealloc; null
 * when the host has no memory for it. */
VyrStringList_pa VyrUtilStringListAlloc(void);
/* Gives a list back and sets *List to null. Freeing the host's list given
 * to a loader is a breach. */
void VyrUtilStringListDealloc(VyrStringList_pa* List);
/* Appends a copy of String as the last item; false, appending nothing,
 * when the host has no memory for it and after a breach. */
VyrBoolean_t VyrUtilStringListAppendString(VyrStringList_pa List, const char* String);
/* A new list with one item per line of Text, the newlines dropped; a final
 * newline makes no empty item, and an empty text gives an empty list.
 * Given back with VyrUtilStringListDealloc; null when the host has no
 * memory for it, or for a null text. */
VyrStringList_pa VyrUtilStringListFromNLString(const char* Text);
/* The number of items; 0 after a breach. */
int32_t VyrUtilStringListGetCount(VyrStringList_pa List);
/* A copy of item Index (1-based) that the caller frees with
 * VyrUtilStringDealloc; null outside 1..count (a breach) and when the host
 * has no memory for the copy. */
char* VyrUtilStringListGetString(VyrStringList_pa List, int32_t Index);
/* Gives back an array that the host handed out (VyrGUIListGetSelectedItems)
 * and sets *Array to null. */
void VyrUtilArrayDealloc(void** Array);

/* ---- GUI: modal dialogs and their controls ------------------------------ */

/* Creates a modal dialog of Width x Height dialog units with Title over
 * Parent; returns its id, or -1 when the host cannot make it and after a
 * breach (a parent that is no dialog). A host cannot destroy a dialog: one
 * it could not make is simply asked for again later. Callbacks in the
 * host's order: init (each launch), OK, apply, cancel, help; any may be
 * null. When the user presses OK or cancel, the
 * dialog stays up until that callback drops it; without the callback the
 * host just takes it down. Without a help callback the dialog has no Help
 * button. A dialog lasts for the host's run: built once, launched again. */
int32_t VyrGUIDialogCreateModal(int32_t Parent, int32_t Width, int32_t Height, const char* Title,
                                VyrGUIVoidCallback_pf Init, VyrGUIVoidCallback_pf Ok,
                                VyrGUIVoidCallback_pf Apply, VyrGUIVoidCallback_pf Cancel,
                                VyrGUIVoidCallback_pf Help);
/* Puts the dialog up and calls its init callback; returns at once, leaving
 * it up: the user acts on it through its callbacks. The user acts only on
 * the dialog launched last of those up. Launching one that is up is a
 * breach and calls nothing. */
void VyrGUIDialogLaunch(int32_t Dialog);
/* Takes the dialog down; it may be launched again. One that is not up is a
 * breach. */
void VyrGUIDialogDrop(int32_t Dialog);
/* Controls. Each Add puts one into dialog Parent at X, Y (dialog units,
 * Width and Height its size) and returns its id, or -1 when the host
 * cannot make it and after a breach (Parent no dialog, a null text). A
 * control starts sensitive; its callback may be null and runs when the
 * user acts on it. The operations that change a control take its id; an id
 * that names no control of their kind is a breach that changes nothing. */
/* A label showing Text; VyrGUILabelSetText replaces the text. */
int32_t VyrGUILabelAdd(int32_t Parent, int32_t X, int32_t Y, const char* Text);
void VyrGUILabelSetText(int32_t Label, const char* Text);
/* A push button showing Text; Callback runs when the user presses it. */
int32_t VyrGUIButtonAdd(int32_t Parent, int32_t X, int32_t Y, int32_t Width, int32_t Height,
                        const char* Text, VyrGUIVoidCallback_pf Callback);
/* A list of text items, empty at first; MultiSelection true (here) lets the
 * user select several. */
int32_t VyrGUIListAdd(int32_t Parent, int32_t X, int32_t Y, int32_t Width, int32_t Height,
                      VyrBoolean_t MultiSelection, VyrGUIIntCallback_pf Callback);
/* Appends Text as the last item. */
void VyrGUIListAppendItem(int32_t List, const char* Text);
/* Removes every item, and with them the selection. */
void VyrGUIListDeleteAllItems(int32_t List);
/* Empties the selection; the list's callback is not called. */
void VyrGUIListDeselectAllItems(int32_t List);
/* Sets *Items to a new host array of the selected 1-based positions,
 * ascending, and *Count to their number; the array goes back with
 * VyrUtilArrayDealloc. An empty selection, no memory, or an id that names
 * no list give null and 0: nothing to give back. */
void VyrGUIListGetSelectedItems(int32_t List, int32_t** Items, int32_t* Count);
/* A one-line text field; Callback runs with the text the user entered.
 * VyrGUITextFieldSetString replaces its text without calling it. */
int32_t VyrGUITextFieldAdd(int32_t Parent, int32_t X, int32_t Y, int32_t Width, int32_t Height,
                           VyrGUITextCallback_pf Callback);
void VyrGUITextFieldSetString(int32_t Field, const char* Text);
/* A multi-line text, empty at first; ReadOnly 1 here, no callback.
 * VyrGUITextSetString replaces the whole text, VyrGUITextAppendString adds
 * String to its end. */
int32_t VyrGUITextAdd(int32_t Parent, int32_t X, int32_t Y, int32_t Width, int32_t Height,
                      VyrBoolean_t ReadOnly, VyrGUITextCallback_pf Callback);
void VyrGUITextSetString(int32_t Text, const char* String);
void VyrGUITextAppendString(int32_t Text, const char* String);
/* Makes a control of any kind sensitive, or greys it out so that the user
 * cannot act on it. */
void VyrGUISetSensitivity(int32_t Control, VyrBoolean_t Sensitive);

#ifdef __cplusplus
}
#endif

#endif
