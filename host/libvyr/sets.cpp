// Host sets: positive members kept in ascending order, positions from 1.
#include "host_state.h"

#include <algorithm>
#include <new>

using namespace VyrHost::Detail;

extern "C" {

VyrSet_pa VyrUtilSetAlloc(VyrBoolean_t ShowErr) {
    VyrSet_s* Set = nullptr;
    if (!ShouldFail(VyrHost::FailPoint::SetAlloc, nullptr))
        Set = new (std::nothrow) VyrSet_s;
    if (Set == nullptr) {
        if (ShowErr)
            VyrUtilDialogErrMsg("Out of memory");
        return nullptr;
    }
    Track(Set, AllocKind::Set, "set");
    return Set;
}

void VyrUtilSetDealloc(VyrSet_pa* Set) {
    GiveBack(Set, AllocKind::Set, "VyrUtilSetDealloc");
}

VyrBoolean_t VyrUtilSetAddMember(VyrSet_pa Set, VyrSetIndex_t Member, VyrBoolean_t ShowErr) {
    VyrSet_s* S = LiveSet(Set, "VyrUtilSetAddMember");
    if (S == nullptr || Member < 1)
        return false;
    const auto At = std::lower_bound(S->Members.begin(), S->Members.end(), Member);
    if (At != S->Members.end() && *At == Member)
        return true;
    // Only a new member needs memory, so only its addition can fail.
    if (ShouldFail(VyrHost::FailPoint::SetAddMember, nullptr)) {
        if (ShowErr)
            VyrUtilDialogErrMsg("Out of memory");
        return false;
    }
    S->Members.insert(At, Member);
    return true;
}

void VyrUtilSetClear(VyrSet_pa Set) {
    if (VyrSet_s* S = LiveSet(Set, "VyrUtilSetClear"))
        S->Members.clear();
}

VyrSetIndex_t VyrUtilSetGetMemberCount(VyrSet_pa Set) {
    VyrSet_s* S = LiveSet(Set, "VyrUtilSetGetMemberCount");
    return S == nullptr ? 0 : VyrSetIndex_t(S->Members.size());
}

VyrSetIndex_t VyrUtilSetGetMember(VyrSet_pa Set, VyrSetIndex_t Position) {
    VyrSet_s* S = LiveSet(Set, "VyrUtilSetGetMember");
    if (S == nullptr)
        return VYR_SET_NOT_MEMBER;
    if (Position < 1 || size_t(Position) > S->Members.size()) {
        HostError("VyrUtilSetGetMember: position %d outside 1..%zu", Position, S->Members.size());
        return VYR_SET_NOT_MEMBER;
    }
    return S->Members[size_t(Position) - 1];
}

VyrBoolean_t VyrUtilSetIsEmpty(VyrSet_pa Set) {
    VyrSet_s* S = LiveSet(Set, "VyrUtilSetIsEmpty");
    return S == nullptr || S->Members.empty();
}

VyrBoolean_t VyrUtilSetIsMember(VyrSet_pa Set, VyrSetIndex_t Member) {
    VyrSet_s* S = LiveSet(Set, "VyrUtilSetIsMember");
    return S != nullptr && std::binary_search(S->Members.begin(), S->Members.end(), Member);
}

} // extern "C"
