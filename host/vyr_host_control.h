// The stand-in host's own side: what the host program (vyrhost) and the
// tests use to load the add-on, act as the host's user and look at what the
// add-on did. The add-on never sees this header; it reaches the host only
// through interface/vyr_host_api.h.
//
// Everything here runs on the caller's thread, like the real host's UI
// thread: pressing a button calls the add-on's callback before returning.
#ifndef LOADHDF_HOST_VYR_HOST_CONTROL_H
#define LOADHDF_HOST_VYR_HOST_CONTROL_H

#include "vyr_host_api.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace VyrHost {

// ---- Whole-host lifecycle ------------------------------------------------

// Forgets everything: data set, frames, messages, loaders, listeners,
// dialogs, lock depths, fault injection, and frees every tracked object.
// Handles the add-on still holds become invalid; tests reset the add-on's
// own state after this.
void Reset();

// The version VyrUtilGetVyrlithVersion reports (default: DefaultVersion).
constexpr int32_t DefaultVersion = 750100;
void SetVersion(int32_t Version);

// Loads an add-on module the way the host does: the system's loader (dlopen
// of loadhdf.so, LoadLibraryEx of loadhdf.dll), then its InitVyrAddOn. On
// failure returns false and says why.
bool LoadAddOn(const std::string& Path, std::string* Why);

// Sends a state-change code to every listener, in the order they were added.
void SendStateChange(int32_t Code);

// ---- Registration ---------------------------------------------------------

struct AddOnRecord {
    int32_t VersionNeeded = 0;
    std::string Name, Version, Credits;
};
const std::vector<AddOnRecord>& RegisteredAddOns();

// ---- Loaders ----------------------------------------------------------------

std::vector<std::string> LoaderNames();
// Calls the loader's menu callback, as when the user picks it. False when no
// such loader is registered.
bool PickLoader(const std::string& LoaderName);
// Calls the loader function with a list made of Items (the host's replay).
// False when no such loader; otherwise *Result holds what it returned.
bool CallLoader(const std::string& LoaderName, const std::vector<std::string>& Items, bool* Result);
// The items of the last list recorded with VyrUtilImportSetLoaderInstr.
std::optional<std::vector<std::string>> RecordedInstructions(const std::string& LoaderName);

// ---- Lock ---------------------------------------------------------------------

int32_t LockDepth();   // VyrUtilLockStart / VyrUtilLockFinish
int32_t LockOnDepth(); // VyrUtilLockOn / VyrUtilLockOff

// ---- What the add-on said -------------------------------------------------

const std::vector<std::string>& ErrorMessages(); // VyrUtilDialogErrMsg, in order
const std::vector<std::string>& Questions();     // VyrUtilDialogMessageBox, in order
const std::vector<std::string>& HelpPages();     // VyrUtilHelp, in order
// Breaches of the host's rules (finish without start, bad handle, position
// out of range, ...), in order. A correct add-on leaves this empty.
const std::vector<std::string>& HostErrors();
// Called for every error message as it is shown (vyrhost prints it).
void OnErrorMessage(std::function<void(const std::string&)> Sink);

// ---- Allocation tracking and failure injection ------------------------------

// Buffers, strings, lists, sets and arrays handed to the add-on and not yet
// given back.
int32_t OutstandingAllocations();
// One tag per outstanding object, oldest first.
std::vector<std::string> OutstandingTags();

// The host operations that can fail for want of memory or resources, and
// what each then returns, as the host does when it cannot go on. A call that
// is a breach (host errors) fails as a breach and is not counted here.
enum class FailPoint {
    StringAlloc,            // VyrUtilStringAlloc: null
    DataSetCreate,          // false, the old data set staying
    DataSetAddZone,         // false, adding nothing
    SetAlloc,               // null, after "Out of memory" when ShowErr asks for it
    StateChangeAddCallback, // false, adding nothing
    StringListAlloc,        // VyrUtilStringListAlloc and ...FromNLString: null
    StringListAppend,       // VyrUtilStringListAppendString: false, appending nothing
    StringListGetString,    // null: no copy of the item
    SetAddMember,           // a member not yet in the set: false, as SetAlloc for ShowErr
    DialogCreate,           // VyrGUIDialogCreateModal: -1, no dialog
    ControlAdd              // each VyrGUI...Add of a control: -1, no control
};
// Makes the N-th call (1-based, counted from now) of that operation fail;
// for StringAlloc only calls whose tag equals TagFilter count, unless it is
// empty. With AndLater, every later call fails too. N of 0 disarms.
void FailNth(FailPoint Point, int32_t N, const std::string& TagFilter = "", bool AndLater = false);

// ---- The data set -------------------------------------------------------------

// One variable's array in a zone: a fixed number of bytes, all zero when
// made (calloc'd). Copies are deep; == compares the bytes.
class ZoneArray {
  public:
    ZoneArray() = default;
    // Throws std::bad_alloc when the memory cannot be had.
    explicit ZoneArray(size_t Size);
    ~ZoneArray();
    ZoneArray(const ZoneArray& Other);
    ZoneArray& operator=(const ZoneArray& Other);
    ZoneArray(ZoneArray&& Other) noexcept;
    ZoneArray& operator=(ZoneArray&& Other) noexcept;

    unsigned char* data() { return Bytes; }
    const unsigned char* data() const { return Bytes; }
    size_t size() const { return Size; }
    bool operator==(const ZoneArray& Other) const;
    bool operator!=(const ZoneArray& Other) const { return !(*this == Other); }

  private:
    void Release();
    unsigned char* Bytes = nullptr;
    size_t Size = 0;
};

struct Zone {
    std::string Name;
    int32_t ZoneType = 0;
    int32_t IMax = 0, JMax = 0, KMax = 0;
    std::vector<VyrFieldType_t> FieldTypes;
    // One typed array per variable, IMax*JMax*KMax elements of the field
    // data type, stored as raw bytes.
    std::vector<ZoneArray> Storage;
    int64_t PointCount() const { return int64_t(IMax) * JMax * KMax; }
    // 1-based variable and point; throws std::out_of_range outside them.
    double Value(int32_t Var, int64_t Point) const;
};
struct DataSet {
    std::string Title;
    std::vector<std::string> VarNames;
    std::vector<Zone> Zones;
};
// Null when the host holds no data set.
const DataSet* CurrentDataSet();
// The most bytes one zone's arrays may take together; a zone that needs more
// is refused (VyrUtilDataSetAddZone returns false) as memory the host cannot
// get, and the host says so in an error message of its own that names the
// zone, the bytes it needed and this limit. Reset sets it back to 1 GiB.
void SetZoneStorageLimit(int64_t Bytes);

struct FrameState {
    std::optional<int32_t> PlotType;
    int32_t NewFrames = 0;
    std::optional<int32_t> MouseMode;
    int32_t Redraws = 0;
};
const FrameState& Frame();

// ---- The percent-done dialog -------------------------------------------------

struct PercentDoneState {
    bool Up = false;
    std::string Label;
    int32_t Launches = 0, Drops = 0;
    int32_t Checks = 0;      // checks since the last launch
    int32_t TotalChecks = 0; // since Reset
    int32_t LastPercent = -1;
    std::vector<int32_t> Percents; // every percentage checked since the last launch
};
const PercentDoneState& PercentDone();
// The user presses Stop at the N-th check after the next launch (0: never).
void StopAtCheck(int32_t N);
// Called at every check with the percentage; returning false presses Stop.
void OnPercentDone(std::function<bool(const PercentDoneState&)> Observer);

// ---- The GUI model, and the session acting as the user -----------------------

enum class ControlKind { Label, Button, List, TextField, Text };
struct Control {
    int32_t Id = 0;
    ControlKind Kind = ControlKind::Label;
    int32_t X = 0, Y = 0, Width = 0, Height = 0;
    std::string Text; // label, button, text field or multi-line text
    bool Sensitive = true;
    bool MultiSelection = false, ReadOnly = false;
    std::vector<std::string> Items; // lists
    std::vector<int32_t> Selected;  // lists: 1-based, ascending
};
struct Dialog {
    int32_t Id = 0, Parent = -1, Width = 0, Height = 0;
    std::string Title;
    bool Up = false;
    int32_t Launches = 0;
    std::vector<int32_t> Controls; // in creation order
};
const std::vector<Dialog>& Dialogs();
const Control* FindControl(int32_t Id);
// The dialog the user acts on: the most recently launched one still up.
const Dialog* TopDialog();

// What the next question and file dialog return. Without a queued answer a
// question is answered yes and a file dialog is cancelled.
void QueueAnswer(bool Yes);
void QueueFileName(std::optional<std::string> Path); // nullopt: cancel
// The default name and filter the add-on offered at the last file dialog.
const std::string& LastFileDialogDefault();

// Acts on the top dialog. Each returns false with a reason, doing nothing,
// when the dialog cannot take the action (no dialog up, no such control,
// control insensitive).
bool PressButton(const std::string& Text, std::string* Why);
bool SelectItems(const std::vector<int32_t>& Items, std::string* Why); // the dialog's list
bool TypeInto(const std::string& LabelText, const std::string& Text, std::string* Why);
bool PressOk(std::string* Why);
bool PressCancel(std::string* Why);
bool PressHelp(std::string* Why);

} // namespace VyrHost

#endif
