// Writing and reading the loader instruction list. The writer appends one
// item at a time, so that no scratch text limits the length of the path or
// the number of data sets, and a path that holds a line break stays one
// item. The reader takes numbers the way atoi reads them, but saturated at
// the 32-bit limits, and never copies a path past the end of FileName.
#include "loader/loader_instructions.h"

#include "interface/addon_state.h"
#include "loader/loader_owners.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Appends Code followed by the decimal Number as one item.
bool AppendNumberItem(VyrStringList_pa List, char Code, int32_t Number) {
    char Item[32];
    snprintf(Item, sizeof Item, "%c%d", Code, int(Number));
    return VyrUtilStringListAppendString(List, Item);
}

// Leading white space, an optional sign, then decimal digits up to the first
// other character; no digits read as 0. Values beyond 32 bits are held at
// the nearest limit instead of being undefined as they are for atoi.
int32_t ReadPayloadNumber(const char* Payload) {
    const long Value = strtol(Payload, nullptr, 10);
    if (Value > INT32_MAX)
        return INT32_MAX;
    if (Value < INT32_MIN)
        return INT32_MIN;
    return int32_t(Value);
}

// What reading the list has met that stops the load. An item or a member
// that the host could not hand out or take always stops it, and is shown
// first: the list read so far is not the list recorded, and loading it would
// load something else. A refused data-set number always stops it; a path
// that is too long only while no later "M" or "F" item replaces it, since
// the path that stands after the whole list is the one loaded. Of the faults
// in the list that stand, the one met first is shown.
struct ReadState {
    bool HostFailed = false;
    int32_t RefusedNumberAt = 0; // item index of the first number below 1; 0: none
    int32_t LongPathAt = 0;      // item index of the too-long path that stands; 0: none
    // The message to show, or null when the list can be loaded.
    const char* Failure() const {
        if (HostFailed)
            return "Out of memory";
        if (RefusedNumberAt != 0 && (LongPathAt == 0 || RefusedNumberAt < LongPathAt))
            return "Selected data set is not in this HDF file";
        return LongPathAt != 0 ? "File path is too long" : nullptr;
    }
};

// FileName := Path, the payload of item Index, unless Path is longer than
// FileName can hold; then FileName is emptied, so that no cut path is ever
// read.
void SetPath(const char* Path, int32_t Index, ReadState* State) {
    if (strnlen(Path, FileNameSize) >= size_t(FileNameSize)) {
        FileName[0] = '\0';
        State->LongPathAt = Index;
        return;
    }
    snprintf(FileName, FileNameSize, "%s", Path);
    State->LongPathAt = 0;
}

// Acts on item Index, one other than "F"; unknown codes and empty items do
// nothing.
void ReadItem(const char* Item, int32_t Index, ReadState* State) {
    const char* Payload = Item + (Item[0] != '\0' ? 1 : 0);
    switch (Item[0]) {
    case 'M':
        SetPath(Payload, Index, State);
        break;
    case 'I':
        ISkip = ReadPayloadNumber(Payload);
        break;
    case 'J':
        JSkip = ReadPayloadNumber(Payload);
        break;
    case 'K':
        KSkip = ReadPayloadNumber(Payload);
        break;
    case 'S': {
        const int32_t Number = ReadPayloadNumber(Payload);
        // The host's set takes no member below 1; such a number names no
        // data set, and loading the rest alone would load the wrong thing.
        if (Number >= 1)
            State->HostFailed |= !VyrUtilSetAddMember(SelectedSds, Number, false);
        else if (State->RefusedNumberAt == 0)
            State->RefusedNumberAt = Index;
        break;
    }
    default:
        break;
    }
}

} // namespace

VyrStringList_pa BuildLoaderInstructions() {
    HostStringList List(VyrUtilStringListAlloc());
    bool Built = List.Get() != nullptr;
    if (Built) {
        const std::string PathItem = "M" + std::string(FileName, strnlen(FileName, FileNameSize));
        Built = VyrUtilStringListAppendString(List.Get(), PathItem.c_str()) &&
                AppendNumberItem(List.Get(), 'I', ISkip) &&
                AppendNumberItem(List.Get(), 'J', JSkip) &&
                AppendNumberItem(List.Get(), 'K', KSkip);
    }
    const int32_t Count = Built ? VyrUtilSetGetMemberCount(SelectedSds) : 0;
    for (int32_t Position = 1; Built && Position <= Count; ++Position)
        Built = AppendNumberItem(List.Get(), 'S', VyrUtilSetGetMember(SelectedSds, Position));
    if (!Built) {
        VyrUtilDialogErrMsg("Out of memory");
        return nullptr;
    }
    return List.Release();
}

bool ParseLoaderInstructions(VyrStringList_pa Instructions) {
    const int32_t Count = VyrUtilStringListGetCount(Instructions);
    FileName[0] = '\0';
    KSkip = JSkip = ISkip = 1;
    VyrUtilSetClear(SelectedSds);

    ReadState State;
    for (int32_t Index = 1; !State.HostFailed && Index <= Count; ++Index) {
        HostString Item(VyrUtilStringListGetString(Instructions, Index));
        if (Item.Get() == nullptr) {
            State.HostFailed = true;
            break;
        }
        if (Item.Get()[0] != 'F') {
            ReadItem(Item.Get(), Index, &State);
            continue;
        }
        // "F": the next item, whole, is the path. As the last item it has
        // no path to give and changes nothing.
        if (Index == Count)
            break;
        ++Index;
        HostString Path(VyrUtilStringListGetString(Instructions, Index));
        if (Path.Get() == nullptr)
            State.HostFailed = true;
        else
            SetPath(Path.Get(), Index, &State);
    }

    for (int32_t* Skip : {&ISkip, &JSkip, &KSkip})
        if (*Skip < 1)
            *Skip = 1;
    if (const char* Failure = State.Failure()) {
        VyrUtilDialogErrMsg(Failure);
        return false;
    }
    return true;
}
