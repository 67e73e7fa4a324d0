// AddOnTest: resets the stand-in host and the add-on, starts the add-on, and
// checks after each test that the add-on left the host clean.
#include "support/addon_fixture.h"

#include "addon/addon_entry.h"
#include "interface/addon_state.h"
#include "vyr_host_control.h"

#include <algorithm>

namespace {

bool HeardShutdown = false;

// Registered ahead of the add-on's own listener, so the fixture knows
// whether a shutdown notice went out, also one the test sent itself.
void ShutdownWatcher(int32_t StateChange, intptr_t) {
    if (StateChange == VYR_STATE_CHANGE_SHUTDOWN)
        HeardShutdown = true;
}

} // namespace

void AddOnTest::SetUp() {
    VyrHost::Reset();
    ResetAddOnState();
    HeardShutdown = false;
    ASSERT_TRUE(VyrUtilStateChangeAddCallback(ShutdownWatcher));
    if (!StartAddOnInSetUp())
        return;
    InitVyrAddOn();
    const std::vector<std::string> Loaders = VyrHost::LoaderNames();
    ASSERT_NE(std::find(Loaders.begin(), Loaders.end(), "HDF Loader"), Loaders.end())
        << "messages:\n"
        << Joined(VyrHost::ErrorMessages());
}

void AddOnTest::TearDown() {
    if (!HeardShutdown)
        ShutDown();
    EXPECT_EQ(VyrHost::OutstandingAllocations(), 0) << "outstanding:\n"
                                                    << Joined(VyrHost::OutstandingTags());
    EXPECT_EQ(VyrHost::LockDepth(), 0);
    EXPECT_EQ(VyrHost::LockOnDepth(), 0);
    EXPECT_TRUE(VyrHost::HostErrors().empty()) << "host errors:\n" << Joined(VyrHost::HostErrors());
    // Gives back whatever a failing test left, so leak checkers report only
    // the add-on's own leaks.
    VyrHost::Reset();
}

void AddOnTest::ShutDown() {
    VyrHost::SendStateChange(VYR_STATE_CHANGE_SHUTDOWN);
}

bool AddOnTest::ShutdownSent() {
    return HeardShutdown;
}

std::vector<int32_t> SelectedNumbers() {
    std::vector<int32_t> Numbers;
    for (int32_t Position = 1; Position <= VyrUtilSetGetMemberCount(SelectedSds); ++Position)
        Numbers.push_back(VyrUtilSetGetMember(SelectedSds, Position));
    return Numbers;
}

std::string AddOnTest::Joined(const std::vector<std::string>& Lines) {
    std::string All;
    for (const std::string& Line : Lines)
        All += "  " + Line + "\n";
    return All;
}
