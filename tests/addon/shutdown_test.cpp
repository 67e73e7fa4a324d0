// The state-change listener: shutdown (code 15) gives the global state
// back, once, under the add-on's lock; every other code changes nothing.
#include "support/addon_fixture.h"

#include "addon/addon_entry.h"
#include "interface/addon_state.h"
#include "vyr_host_control.h"

#include <cstring>

using AddOnShutdown = AddOnTest;

TEST_F(AddOnShutdown, ShutdownGivesBackTheBuffersAndTheSetOnce) {
    ASSERT_EQ(VyrHost::OutstandingAllocations(), 1); // SelectedSds
    ShutDown();
    EXPECT_EQ(FileName, nullptr);
    EXPECT_EQ(DefaultFileName, nullptr);
    EXPECT_EQ(SdsEntries, nullptr);
    EXPECT_EQ(SelectedSds, nullptr);
    EXPECT_EQ(VyrHost::OutstandingAllocations(), 0);
    EXPECT_EQ(VyrHost::LockDepth(), 0);
    // A second notice finds nothing to free twice.
    ShutDown();
    EXPECT_EQ(FileName, nullptr);
    EXPECT_EQ(SelectedSds, nullptr);
    EXPECT_TRUE(VyrHost::HostErrors().empty());
}

// The listener also takes the lock and gives it back on every code.
TEST_F(AddOnShutdown, OtherCodesLeaveEveryFieldAndTheLockAsTheyWere) {
    VyrUtilSetAddMember(SelectedSds, 2, false);
    ISkip = 4;
    snprintf(FileName, FileNameSize, "%s", "/data/x.hdf");
    char* const Buffer = FileName;
    VyrSet_pa const Set = SelectedSds;
    SdsEntry* const Entries = SdsEntries;
    VyrUtilLockStart(AddOnID); // a held lock, as while the load dialog is up
    // Codes near shutdown's, and its negation, as a sign or off-by-one slip
    // in the listener would mistake them.
    for (int32_t Code : {0, 1, 3, VYR_STATE_CHANGE_SHUTDOWN - 1, VYR_STATE_CHANGE_SHUTDOWN + 1,
                         -VYR_STATE_CHANGE_SHUTDOWN})
        VyrHost::SendStateChange(Code);
    EXPECT_EQ(VyrHost::LockDepth(), 1);
    VyrUtilLockFinish(AddOnID);
    EXPECT_EQ(FileName, Buffer);
    EXPECT_STREQ(FileName, "/data/x.hdf");
    EXPECT_EQ(SdsEntries, Entries);
    EXPECT_EQ(SelectedSds, Set);
    EXPECT_TRUE(VyrUtilSetIsMember(SelectedSds, 2));
    EXPECT_EQ(ISkip, 4);
    EXPECT_EQ(VyrHost::OutstandingAllocations(), 1);
    EXPECT_FALSE(ShutdownSent());
}
