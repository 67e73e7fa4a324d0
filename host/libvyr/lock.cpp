// The host lock: VyrUtilLockOn/Off and VyrUtilLockStart/Finish, two
// separate nesting depths. A finish that matches no start, or names another
// add-on than the start it would end, is a host error and changes nothing.
#include "host_state.h"

using namespace VyrHost::Detail;

namespace VyrHost {

int32_t LockDepth() {
    return int32_t(State().LockOwners.size());
}
int32_t LockOnDepth() {
    return State().LockOnDepth;
}

} // namespace VyrHost

extern "C" {

void VyrUtilLockOn(void) {
    ++State().LockOnDepth;
}

void VyrUtilLockOff(void) {
    if (State().LockOnDepth == 0) {
        HostError("VyrUtilLockOff: the lock is not on");
        return;
    }
    --State().LockOnDepth;
}

void VyrUtilLockStart(VyrAddOn_pa AddOn) {
    if (!IsLiveAddOn(AddOn)) {
        HostError("VyrUtilLockStart: unknown add-on handle");
        return;
    }
    State().LockOwners.push_back(AddOn);
}

void VyrUtilLockFinish(VyrAddOn_pa AddOn) {
    HostState& S = State();
    if (!IsLiveAddOn(AddOn)) {
        HostError("VyrUtilLockFinish: unknown add-on handle");
        return;
    }
    if (S.LockOwners.empty()) {
        HostError("VyrUtilLockFinish: no lock started");
        return;
    }
    if (S.LockOwners.back() != AddOn) {
        HostError("VyrUtilLockFinish: the lock was started by another add-on");
        return;
    }
    S.LockOwners.pop_back();
}

} // extern "C"
