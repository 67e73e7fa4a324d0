// The host lock: both kinds nest and keep their own depth; an unmatched or
// foreign finish is a host error and never drives the depth below 0.
#include "host_test.h"

using HostLock = HostTest;

TEST_F(HostLock, BothKindsOfPairsNestAndKeepTheirOwnDepths) {
    VyrAddOn_pa AddOn = VyrUtilAddOnRegister(100, "A", "1", "c");
    VyrUtilLockStart(AddOn);
    VyrUtilLockStart(AddOn);
    EXPECT_EQ(VyrHost::LockDepth(), 2);
    EXPECT_EQ(VyrHost::LockOnDepth(), 0);
    VyrUtilLockOn();
    VyrUtilLockOn();
    EXPECT_EQ(VyrHost::LockOnDepth(), 2);
    VyrUtilLockFinish(AddOn);
    EXPECT_EQ(VyrHost::LockDepth(), 1);
    VyrUtilLockFinish(AddOn);
    EXPECT_EQ(VyrHost::LockDepth(), 0);
    EXPECT_EQ(VyrHost::LockOnDepth(), 2);
    VyrUtilLockOff();
    VyrUtilLockOff();
    EXPECT_EQ(VyrHost::LockOnDepth(), 0);
    EXPECT_TRUE(VyrHost::HostErrors().empty());
}

TEST_F(HostLock, FinishWithoutStartIsAHostErrorAndDepthStaysAtZero) {
    VyrAddOn_pa AddOn = VyrUtilAddOnRegister(100, "A", "1", "c");
    VyrUtilLockFinish(AddOn);
    EXPECT_EQ(VyrHost::LockDepth(), 0);
    VyrUtilLockOff();
    EXPECT_EQ(VyrHost::LockOnDepth(), 0);
    EXPECT_EQ(HostErrorCount(), 2u);
}

TEST_F(HostLock, FinishByAnotherOrUnknownAddOnIsRefused) {
    VyrAddOn_pa First = VyrUtilAddOnRegister(100, "A", "1", "c");
    VyrAddOn_pa Second = VyrUtilAddOnRegister(100, "B", "1", "c");
    VyrUtilLockStart(First);
    VyrUtilLockFinish(Second);
    VyrUtilLockFinish(nullptr);
    EXPECT_EQ(VyrHost::LockDepth(), 1);
    EXPECT_EQ(HostErrorCount(), 2u);
    VyrUtilLockStart(nullptr);
    EXPECT_EQ(VyrHost::LockDepth(), 1) << "a start with an unknown handle takes no lock";
    VyrUtilLockFinish(First);
    EXPECT_EQ(VyrHost::LockDepth(), 0);
}
