// Start-up of the add-on through InitVyrAddOn, against hosts of different
// versions and hosts that cannot give what it asks for.
#include "support/addon_fixture.h"

#include "addon/addon_entry.h"
#include "catalogue/sds_entry.h"
#include "interface/addon_state.h"
#include "vyr_host_control.h"

#include <hdf/mfhdf.h>

#include <cstring>
#include <optional>
#include <sstream>

namespace {

// The HDF4 release Hgetlibversion reports to the add-on: HDF4's own, unless a
// test plays another HDF4 (nullopt in Release: the call fails).
struct PlayedHdf4 {
    uint32 Major, Minor;
    std::optional<uint32> Release;
};
std::optional<PlayedHdf4> PlayedRelease;

} // namespace

extern "C" intn __real_Hgetlibversion(uint32* Major, uint32* Minor, uint32* Release, char* Text);
extern "C" intn __wrap_Hgetlibversion(uint32* Major, uint32* Minor, uint32* Release, char* Text) {
    if (!PlayedRelease)
        return __real_Hgetlibversion(Major, Minor, Release, Text);
    if (!PlayedRelease->Release)
        return FAIL;
    *Major = PlayedRelease->Major;
    *Minor = PlayedRelease->Minor;
    *Release = *PlayedRelease->Release;
    snprintf(Text, 81, "HDF Version %u.%u Release %u", unsigned(*Major), unsigned(*Minor),
             unsigned(*Release));
    return SUCCEED;
}

namespace {

bool LoaderRegistered() {
    const std::vector<std::string> Names = VyrHost::LoaderNames();
    return std::find(Names.begin(), Names.end(), "HDF Loader") != Names.end();
}

std::vector<std::string> LinesOf(const std::string& Text) {
    std::vector<std::string> Lines;
    std::istringstream In(Text);
    for (std::string Line; std::getline(In, Line);)
        Lines.push_back(Line);
    return Lines;
}

} // namespace

using AddOnStartup = AddOnTest;
using AddOnStartupManual = AddOnManualStartTest;

TEST_F(AddOnStartup, LeavesTheStateReadyForTheFirstLoad) {
    ASSERT_NE(FileName, nullptr);
    ASSERT_NE(DefaultFileName, nullptr);
    EXPECT_STREQ(FileName, "");
    EXPECT_STREQ(DefaultFileName, "");
    EXPECT_EQ(ISkip, 1);
    EXPECT_EQ(JSkip, 1);
    EXPECT_EQ(KSkip, 1);
    ASSERT_NE(SelectedSds, nullptr);
    EXPECT_TRUE(VyrUtilSetIsEmpty(SelectedSds));
    EXPECT_EQ(SdsCount, 0);
    ASSERT_NE(SdsEntries, nullptr);
    const SdsEntry Zero{};
    EXPECT_EQ(std::memcmp(SdsEntries, &Zero, sizeof Zero), 0) << "one zero-filled record";
    for (int32_t Id : {LoadDialog, AttrDialog, DataSetList, ISkipField, AttrText})
        EXPECT_EQ(Id, NotBuilt);
    EXPECT_TRUE(VyrHost::ErrorMessages().empty());
    EXPECT_EQ(VyrHost::LockOnDepth(), 0) << "the start-up lock is given back";
    EXPECT_EQ(VyrHost::OutstandingTags(), std::vector<std::string>{"set"});
}

TEST_F(AddOnStartup, RegistersItsNameVersionAndCredits) {
    ASSERT_EQ(VyrHost::RegisteredAddOns().size(), 1u);
    const VyrHost::AddOnRecord& Record = VyrHost::RegisteredAddOns()[0];
    EXPECT_EQ(Record.VersionNeeded, 100);
    EXPECT_EQ(Record.Name, "HDF Loader");
    EXPECT_EQ(Record.Version, "11.2-0-002 (11.2-0-563) Dec 20 2007");
    const std::vector<std::string> Credits = LinesOf(Record.Credits);
    ASSERT_EQ(Credits.size(), 9u) << Record.Credits;
    EXPECT_NE(Credits[0].rfind("    ", 0), 0u) << "the maker's line is not indented";
    for (size_t Line = 1; Line < Credits.size(); ++Line) {
        EXPECT_EQ(Credits[Line].rfind("    ", 0), 0u) << Credits[Line];
        EXPECT_NE(Credits[Line][4], ' ') << "indented by exactly four blanks: " << Credits[Line];
    }
    for (const char* Credited : {"HDF", "NCSA", "Jean-loup Gailly", "Mark Adler", "zlib"})
        EXPECT_NE(Record.Credits.find(Credited), std::string::npos) << Credited;
    EXPECT_NE(AddOnID, nullptr);
}

TEST_F(AddOnStartupManual, HostVersionBelowTheMinimumLeavesTheAddOnInert) {
    struct Case {
        int32_t Version;
        bool Accepted;
    };
    for (const Case& C : {Case{740399, false}, Case{740400, true}, Case{0, false},
                          Case{VyrHost::DefaultVersion, true}}) {
        VyrHost::Reset();
        ResetAddOnState();
        VyrHost::SetVersion(C.Version);
        InitVyrAddOn();
        EXPECT_EQ(LoaderRegistered(), C.Accepted) << C.Version;
        EXPECT_EQ(VyrHost::RegisteredAddOns().size(), 1u) << "registered either way";
        if (C.Accepted) {
            EXPECT_TRUE(VyrHost::ErrorMessages().empty()) << C.Version;
            EXPECT_NE(FileName, nullptr);
        } else {
            EXPECT_EQ(VyrHost::ErrorMessages(),
                      std::vector<std::string>{
                          "Add-on \"HDF Loader\" requires Vyrlith version 11.2-0-563 or greater"})
                << C.Version;
            EXPECT_EQ(FileName, nullptr);
            EXPECT_EQ(DefaultFileName, nullptr);
            EXPECT_EQ(SdsEntries, nullptr);
            EXPECT_EQ(SelectedSds, nullptr);
            EXPECT_EQ(VyrHost::OutstandingAllocations(), 0);
        }
        EXPECT_EQ(SdsCount, 0);
        EXPECT_EQ(VyrHost::LockOnDepth(), 0);
        // Shutdown gives back what exists, and nothing when nothing does.
        VyrHost::SendStateChange(VYR_STATE_CHANGE_SHUTDOWN);
        EXPECT_EQ(VyrHost::OutstandingAllocations(), 0) << C.Version;
        EXPECT_TRUE(VyrHost::HostErrors().empty()) << C.Version;
    }
}

// The structure check is exact to HDF4 4.2.15's readers; another HDF4 in the
// process (the user's own DLLs on Windows) leaves the add-on inert, saying
// which release it found.
TEST_F(AddOnStartupManual, Hdf4OfAnotherReleaseLeavesTheAddOnInert) {
    const std::string Requires = "Add-on \"HDF Loader\" requires HDF4 version 4.2.15; ";
    struct Case {
        std::optional<PlayedHdf4> Played;
        const char* Message; // null: accepted
    };
    const Case Cases[] = {
        {std::nullopt, nullptr}, // the HDF4 the tests link
        {PlayedHdf4{4, 2, 15}, nullptr},
        {PlayedHdf4{4, 2, 16}, "the HDF4 libraries found are version 4.2.16"},
        {PlayedHdf4{4, 2, 14}, "the HDF4 libraries found are version 4.2.14"},
        {PlayedHdf4{4, 3, 0}, "the HDF4 libraries found are version 4.3.0"},
        {PlayedHdf4{4, 2, std::nullopt},
         "the HDF4 libraries found are of a version they do not tell"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Message != nullptr ? C.Message : "accepted");
        VyrHost::Reset();
        ResetAddOnState();
        PlayedRelease = C.Played;
        InitVyrAddOn();
        PlayedRelease.reset();
        EXPECT_EQ(LoaderRegistered(), C.Message == nullptr);
        EXPECT_EQ(VyrHost::RegisteredAddOns().size(), 1u) << "registered either way";
        if (C.Message == nullptr) {
            EXPECT_TRUE(VyrHost::ErrorMessages().empty());
        } else {
            EXPECT_EQ(VyrHost::ErrorMessages(), std::vector<std::string>{Requires + C.Message});
            EXPECT_EQ(FileName, nullptr);
            EXPECT_EQ(SelectedSds, nullptr);
        }
        EXPECT_EQ(VyrHost::LockOnDepth(), 0);
        VyrHost::SendStateChange(VYR_STATE_CHANGE_SHUTDOWN);
        EXPECT_EQ(VyrHost::OutstandingAllocations(), 0);
        EXPECT_TRUE(VyrHost::HostErrors().empty());
    }
}

TEST_F(AddOnStartupManual, WithoutAListenerNothingIsRegisteredOrShown) {
    VyrHost::FailNth(VyrHost::FailPoint::StateChangeAddCallback, 1);
    InitVyrAddOn();
    EXPECT_TRUE(VyrHost::RegisteredAddOns().empty());
    EXPECT_FALSE(LoaderRegistered());
    EXPECT_TRUE(VyrHost::ErrorMessages().empty());
    EXPECT_EQ(AddOnID, nullptr);
    EXPECT_EQ(FileName, nullptr);
    EXPECT_EQ(SelectedSds, nullptr);
    EXPECT_EQ(VyrHost::OutstandingAllocations(), 0);
    EXPECT_EQ(VyrHost::LockOnDepth(), 0);
}

TEST_F(AddOnStartupManual, SetThatCannotBeHadIsOutOfMemoryAndLeaksNothingAfterShutdown) {
    VyrHost::FailNth(VyrHost::FailPoint::SetAlloc, 1);
    InitVyrAddOn();
    EXPECT_EQ(VyrHost::ErrorMessages(), std::vector<std::string>{"HDF Loader: Out of memory"});
    EXPECT_FALSE(LoaderRegistered());
    EXPECT_EQ(SelectedSds, nullptr);
    // The C runtime's buffers were obtained and stay until shutdown.
    EXPECT_NE(FileName, nullptr);
    EXPECT_NE(SdsEntries, nullptr);
    EXPECT_EQ(ISkip, 1);
    EXPECT_EQ(SdsCount, 0);
    EXPECT_EQ(VyrHost::LockOnDepth(), 0);
    ShutDown();
    EXPECT_EQ(FileName, nullptr);
    EXPECT_EQ(DefaultFileName, nullptr);
    EXPECT_EQ(SdsEntries, nullptr);
}
