// The stand-in host's private state, shared by the files of libvyr: one
// process-wide HostState, the checks that every operation applies to the
// handles and ids the add-on passes in, allocation tracking and the failure
// hooks. Neither the add-on nor the tests include this header.
#ifndef LOADHDF_HOST_LIBVYR_HOST_STATE_H
#define LOADHDF_HOST_LIBVYR_HOST_STATE_H

#include "printf_format.h"
#include "vyr_host_control.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// The opaque handles of vyr_host_api.h, as this host builds them.
struct VyrAddOn_s {
    int32_t Number = 0; // 1-based registration order
};
struct VyrSet_s {
    std::vector<VyrSetIndex_t> Members; // ascending, all >= 1
};
struct VyrStringList_s {
    std::vector<std::string> Items;
};
// A field-value reference carries what VyrUtilDataValueSetByRef needs, so
// that a store looks nothing up: the generation of the data set it was handed
// out for (it is live while the host's generation is the same), and the
// variable's array with its point count and field data type.
struct VyrFieldData_s {
    uint32_t Generation = 0;
    VyrEntIndex_t Zone = 0; // 1-based
    VyrEntIndex_t Var = 0;  // 1-based
    // The zone's points, or INT32_MAX where it has more: a point index is
    // 32 bits.
    uint32_t Points = 0;
    VyrFieldType_t FieldType = 0;
    unsigned char* Values = nullptr;
};

namespace VyrHost::Detail {

// What kind of object a tracked pointer is, so that each deallocator accepts
// only its own kind.
enum class AllocKind { Buffer, List, Set, Array };

struct Allocation {
    AllocKind Kind = AllocKind::Buffer;
    std::string Tag;
    // Objects the host made for its own call into the add-on (a replayed
    // instruction list): live for the add-on, but not the add-on's to free.
    bool HostOwned = false;
    uint64_t Serial = 0; // order of allocation, for a stable listing
};

struct FailRule {
    int32_t N = 0; // 0: disarmed
    std::string TagFilter;
    bool AndLater = false;
    int32_t Calls = 0; // matching calls since the rule was armed
};

struct LoaderRecord {
    std::string Name;
    VyrDataLoader_pf Loader = nullptr;
    VyrDynamicMenuCallback_pf MenuCallback = nullptr;
    VyrLoaderInstrOverride_pf InstrOverride = nullptr;
    std::optional<std::vector<std::string>> Recorded;
};

struct DialogCallbacks {
    VyrGUIVoidCallback_pf Init = nullptr, Ok = nullptr, Apply = nullptr, Cancel = nullptr,
                          Help = nullptr;
};

struct ControlRecord {
    Control Public;
    int32_t DialogId = 0;
    VyrGUIVoidCallback_pf Pressed = nullptr;         // buttons
    VyrGUIIntCallback_pf SelectionChanged = nullptr; // lists
    VyrGUITextCallback_pf TextChanged = nullptr;     // text fields, texts
};

// Zone storage above this many bytes is refused like memory the host cannot
// get, so that a huge extent fails the zone instead of the process.
constexpr int64_t DefaultZoneStorageLimit = int64_t(1) << 30;

// One rule per FailPoint; ControlAdd is the last.
constexpr size_t FailPointCount = size_t(FailPoint::ControlAdd) + 1;

struct HostState {
    int32_t Version = DefaultVersion;

    // Registration and state changes.
    std::vector<std::unique_ptr<VyrAddOn_s>> AddOns;
    std::vector<AddOnRecord> Registered;
    std::vector<VyrStateChangeCallback_pf> Listeners;

    // Lock.
    int32_t LockOnDepth = 0;
    std::vector<VyrAddOn_pa> LockOwners; // one entry per unfinished VyrUtilLockStart

    // Tracking and failure injection.
    std::map<const void*, Allocation> Allocations;
    uint64_t NextSerial = 1;
    std::array<FailRule, FailPointCount> FailRules;

    // Loaders.
    std::vector<LoaderRecord> Loaders;

    // Data set, its field-value references, frames.
    std::optional<DataSet> Data;
    // The live references, by zone << 16 | variable: one per pair.
    std::unordered_map<uint32_t, VyrFieldData_s*> RefsByZoneVar;
    int64_t ZoneStorageLimit = DefaultZoneStorageLimit;
    FrameState Frame;

    // Percent-done dialog.
    PercentDoneState PercentDone;
    int32_t StopAtPending = 0; // armed for the next launch
    int32_t StopAtActive = 0;  // armed for the dialog that is up
    bool Stopped = false;
    std::function<bool(const PercentDoneState&)> PercentObserver;

    // What the add-on said, and what the user answers.
    std::vector<std::string> ErrorMessages, Questions, HelpPages, HostErrors;
    std::function<void(const std::string&)> ErrorSink;
    std::deque<bool> Answers;
    std::deque<std::optional<std::string>> FileNames;
    std::string LastFileDefault;

    // GUI model.
    std::vector<Dialog> Dialogs;
    std::map<int32_t, DialogCallbacks> DialogCalls;
    std::map<int32_t, ControlRecord> Controls;
    std::vector<int32_t> UpStack; // dialogs up, in launch order
    int32_t NextGuiId = 1;
};

HostState& State();

// Records a breach of the host's rules: "Operation: what was wrong".
void HostError(const char* Format, ...) __attribute__((format(LOADHDF_PRINTF_FORMAT, 1, 2)));

// Counts a call at a failure point and says whether it must fail. For
// StringAlloc only calls whose tag matches the rule's filter count.
bool ShouldFail(FailPoint Point, const char* Tag);

// Allocation tracking.
void Track(const void* Object, AllocKind Kind, const std::string& Tag, bool HostOwned = false);
// The record of a live object of that kind, or null.
const Allocation* FindTracked(const void* Object, AllocKind Kind);
// Frees one tracked object according to its kind (and forgets it).
void FreeTracked(const void* Object);
void FreeAllTracked();
// A malloc'd copy of Text, tracked as "host string"; null when memory is out.
char* NewHostString(const std::string& Text);

// Handle checks: the live object, or null after recording a host error that
// names Operation.
template <typename T>
T* LiveHandle(T* Handle, AllocKind Kind, const char* Operation, const char* What) {
    if (FindTracked(Handle, Kind) == nullptr) {
        HostError("%s: %s %s", Operation, Handle == nullptr ? "null" : "unknown", What);
        return nullptr;
    }
    return Handle;
}
inline VyrSet_s* LiveSet(VyrSet_pa Set, const char* Operation) {
    return LiveHandle(Set, AllocKind::Set, Operation, "set handle");
}
inline VyrStringList_s* LiveList(VyrStringList_pa List, const char* Operation) {
    return LiveHandle(List, AllocKind::List, Operation, "string list handle");
}
bool IsLiveAddOn(VyrAddOn_pa AddOn);

// What every deallocator does with the address of a handle: null is an
// error, a null handle nothing; a live object of Kind that the add-on owns is
// freed and the handle nulled; anything else is a host error, left alone.
template <typename T> void GiveBack(T** Address, AllocKind Kind, const char* Operation) {
    if (Address == nullptr) {
        HostError("%s: null address", Operation);
        return;
    }
    if (*Address == nullptr)
        return;
    const Allocation* Record = FindTracked(*Address, Kind);
    if (Record == nullptr) {
        HostError("%s: not handed out by this host", Operation);
        return;
    }
    if (Record->HostOwned) {
        HostError("%s: belongs to the host", Operation);
        return;
    }
    FreeTracked(*Address);
    *Address = nullptr;
}
// True for a non-null text; otherwise records that Operation needed one.
bool HasText(const char* Text, const char* Operation, const char* What);

// GUI lookups, with the same contract.
Dialog* FindDialog(int32_t Id);
ControlRecord* LiveControl(int32_t Id, const char* Operation);
ControlRecord* LiveControlOfKind(int32_t Id, ControlKind Kind, const char* Operation);
// Marks a dialog down and takes it off the stack of dialogs that are up.
void TakeDown(Dialog& D);

// The data set: every field-value reference handed out so far becomes
// stale, so that VyrUtilDataValueSetByRef refuses it.
void DropFieldRefs();

} // namespace VyrHost::Detail

#endif
