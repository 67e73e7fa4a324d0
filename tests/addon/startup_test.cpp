// Start-up of the add-on through InitVyrAddOn, against hosts of different
// versions and hosts that cannot give what it asks for.
#include "support/addon_fixture.h"

#include "addon/addon_entry.h"
#include "addon/addon_state.h"
#include "vyr_host_control.h"

#include <cstring>
#include <sstream>

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
        VyrHost::SendStateChange(VyrHost::StateChangeShutdown);
        EXPECT_EQ(VyrHost::OutstandingAllocations(), 0) << C.Version;
        EXPECT_TRUE(VyrHost::HostErrors().empty()) << C.Version;
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
