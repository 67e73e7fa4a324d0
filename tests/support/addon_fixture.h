// AddOnTest: the gtest fixture for tests that run the add-on inside the
// stand-in host. The test program links the add-on statically, so tests call
// its functions and read its global state directly.
//
// SetUp:    VyrHost::Reset(), ResetAddOnState(), then InitVyrAddOn() and a
//           check that the loader "HDF Loader" is registered. A test class
//           that overrides StartAddOnInSetUp() to return false (for example
//           AddOnManualStartTest) starts the add-on itself, after arranging
//           the host (version, injected failures).
// TearDown: sends the host's shutdown notice (VYR_STATE_CHANGE_SHUTDOWN) unless the test has
//           already sent it, then expects nothing outstanding in the host,
//           lock depth 0 and no host errors, printing what it finds.
//           A dialog left up holds the lock, so tests close their dialogs.
#ifndef LOADHDF_TESTS_SUPPORT_ADDON_FIXTURE_H
#define LOADHDF_TESTS_SUPPORT_ADDON_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

class AddOnTest : public ::testing::Test {
  protected:
    // Whether SetUp starts the add-on; override to start it in the test.
    virtual bool StartAddOnInSetUp() { return true; }

    void SetUp() override;
    void TearDown() override;

    // Sends the shutdown notice (VYR_STATE_CHANGE_SHUTDOWN), as the host does when it quits.
    void ShutDown();
    // Whether any listener has heard the shutdown notice since SetUp, whoever sent it.
    static bool ShutdownSent();

    // Texts of a host message list joined one per line, for failure output.
    static std::string Joined(const std::vector<std::string>& Lines);
};

// The data set numbers in the add-on's selection set, in the set's order.
std::vector<int32_t> SelectedNumbers();

// For tests of the start-up itself: SetUp resets the host and the add-on's
// state but does not call InitVyrAddOn.
class AddOnManualStartTest : public AddOnTest {
  protected:
    bool StartAddOnInSetUp() override { return false; }
};

#endif
