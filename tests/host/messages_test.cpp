// What the user sees and answers outside the add-on's dialogs: error
// messages, questions, the file dialog, the percent-done dialog with its
// Stop button; and the loader registry with the host's replay.
#include "host_test.h"

#include <cstring>

using HostMessages = HostTest;
using HostPercentDone = HostTest;
using HostLoaders = HostTest;

TEST_F(HostMessages, ErrorMessagesAreRecordedInOrderAndPassedToTheSink) {
    std::vector<std::string> Sunk;
    VyrHost::OnErrorMessage([&](const std::string& Text) { Sunk.push_back(Text); });
    VyrUtilDialogErrMsg("first");
    VyrUtilDialogErrMsg("second");
    EXPECT_EQ(VyrHost::ErrorMessages(), (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(Sunk, VyrHost::ErrorMessages());
}

TEST_F(HostMessages, QuestionsTakeQueuedAnswersThenYes) {
    VyrHost::QueueAnswer(false);
    EXPECT_FALSE(VyrUtilDialogMessageBox("Replace?", VYR_MESSAGE_BOX_YES_NO));
    EXPECT_TRUE(VyrUtilDialogMessageBox("Again?", VYR_MESSAGE_BOX_YES_NO));
    EXPECT_EQ(VyrHost::Questions(), (std::vector<std::string>{"Replace?", "Again?"}));
}

TEST_F(HostMessages, FileDialogCancelsUnlessAPathIsQueued) {
    char* Chosen = nullptr;
    EXPECT_FALSE(
        VyrUtilDialogGetFileName(VYR_FILE_DIALOG_READ_ONE, &Chosen, "HDF", "last.hdf", "*.hdf"));
    EXPECT_EQ(Chosen, nullptr);
    EXPECT_EQ(VyrHost::LastFileDialogDefault(), "last.hdf");

    VyrHost::QueueFileName(std::string("/data/a.hdf"));
    VyrHost::QueueFileName(std::nullopt);
    ASSERT_TRUE(VyrUtilDialogGetFileName(VYR_FILE_DIALOG_READ_ONE, &Chosen, "HDF", "", "*.hdf"));
    ASSERT_NE(Chosen, nullptr);
    EXPECT_STREQ(Chosen, "/data/a.hdf");
    EXPECT_EQ(VyrHost::OutstandingTags(), std::vector<std::string>{"host string"});
    char* Kept = Chosen;
    EXPECT_FALSE(VyrUtilDialogGetFileName(VYR_FILE_DIALOG_READ_ONE, &Chosen, "HDF", "", "*.hdf"));
    EXPECT_EQ(Chosen, Kept) << "a cancelled dialog leaves the result alone";
    VyrUtilStringDealloc(&Chosen);
    EXPECT_TRUE(VyrHost::HostErrors().empty());
}

TEST_F(HostPercentDone, StopAtCheckStopsTheNthCheckAfterTheNextLaunchAndLater) {
    VyrHost::StopAtCheck(3);
    VyrUtilDialogLaunchPercentDone("Reading", true);
    std::vector<bool> Answers;
    for (int32_t Percent : {10, 20, 30, 40})
        Answers.push_back(VyrUtilDialogCheckPercentDone(Percent));
    EXPECT_EQ(Answers, (std::vector<bool>{true, true, false, false}));
    VyrUtilDialogDropPercentDone();

    // The stop was for that launch only.
    VyrUtilDialogLaunchPercentDone("Reading", true);
    for (int Check = 0; Check < 4; ++Check)
        EXPECT_TRUE(VyrUtilDialogCheckPercentDone(50));
    VyrUtilDialogDropPercentDone();

    const VyrHost::PercentDoneState& State = VyrHost::PercentDone();
    EXPECT_FALSE(State.Up);
    EXPECT_EQ(State.Launches, 2);
    EXPECT_EQ(State.Drops, 2);
    EXPECT_EQ(State.Checks, 4);
    EXPECT_EQ(State.TotalChecks, 8);
    EXPECT_EQ(State.Label, "Reading");
    EXPECT_TRUE(VyrHost::HostErrors().empty());
}

TEST_F(HostPercentDone, ObserverSeesEachCheckAndCanPressStop) {
    std::vector<int32_t> Seen;
    VyrHost::OnPercentDone([&](const VyrHost::PercentDoneState& State) {
        Seen.push_back(State.LastPercent);
        return State.LastPercent < 50;
    });
    VyrUtilDialogLaunchPercentDone("Reading", true);
    EXPECT_TRUE(VyrUtilDialogCheckPercentDone(0));
    EXPECT_FALSE(VyrUtilDialogCheckPercentDone(60));
    VyrUtilDialogDropPercentDone();
    EXPECT_EQ(Seen, (std::vector<int32_t>{0, 60}));
    EXPECT_EQ(VyrHost::PercentDone().Percents, (std::vector<int32_t>{0, 60}));
}

TEST_F(HostPercentDone, MisuseIsAHostError) {
    EXPECT_FALSE(VyrUtilDialogCheckPercentDone(10)) << "no dialog up";
    VyrUtilDialogDropPercentDone();
    VyrUtilDialogLaunchPercentDone("Reading", true);
    VyrUtilDialogCheckPercentDone(101);
    VyrUtilDialogCheckPercentDone(-1);
    VyrUtilDialogDropPercentDone();
    EXPECT_EQ(HostErrorCount(), 4u);
}

namespace {

std::vector<std::string> LoaderSaw;
int32_t MenuPicks = 0;

VyrBoolean_t RecordingLoader(VyrStringList_pa Instructions) {
    LoaderSaw.clear();
    for (int32_t Item = 1; Item <= VyrUtilStringListGetCount(Instructions); ++Item) {
        char* Text = VyrUtilStringListGetString(Instructions, Item);
        LoaderSaw.emplace_back(Text);
        VyrUtilStringDealloc(&Text);
    }
    VyrUtilImportSetLoaderInstr("L", Instructions);
    return LoaderSaw.size() == 2;
}

VyrBoolean_t FreeingLoader(VyrStringList_pa Instructions) {
    VyrUtilStringListDealloc(&Instructions);
    return true;
}

void CountPick() {
    ++MenuPicks;
}

} // namespace

TEST_F(HostLoaders, ReplayCallsTheLoaderWithAHostListItMayRecordAndPickCallsTheMenu) {
    MenuPicks = 0;
    VyrUtilImportAddLoader(RecordingLoader, "L", CountPick, nullptr);
    EXPECT_EQ(VyrHost::LoaderNames(), std::vector<std::string>{"L"});
    EXPECT_TRUE(VyrHost::PickLoader("L"));
    EXPECT_FALSE(VyrHost::PickLoader("Other"));
    EXPECT_EQ(MenuPicks, 1);
    bool Result = false;
    ASSERT_TRUE(VyrHost::CallLoader("L", {"Ma", "I1"}, &Result));
    EXPECT_TRUE(Result);
    EXPECT_EQ(LoaderSaw, (std::vector<std::string>{"Ma", "I1"}));
    EXPECT_EQ(VyrHost::RecordedInstructions("L"), (std::vector<std::string>{"Ma", "I1"}));
    EXPECT_EQ(VyrHost::OutstandingAllocations(), 0) << "the replayed list is the host's";
    EXPECT_FALSE(VyrHost::CallLoader("M", {}, &Result));
    EXPECT_TRUE(VyrHost::HostErrors().empty());
}

TEST_F(HostLoaders, RecordedListIsACopyThatOutlivesTheAddOnsList) {
    VyrUtilImportAddLoader(RecordingLoader, "L", CountPick, nullptr);
    VyrStringList_pa List = VyrUtilStringListFromNLString("a\nb\n");
    VyrUtilImportSetLoaderInstr("L", List);
    VyrUtilStringListAppendString(List, "c");
    VyrUtilStringListDealloc(&List);
    EXPECT_EQ(VyrHost::RecordedInstructions("L"), (std::vector<std::string>{"a", "b"}));
}

TEST_F(HostLoaders, LoaderMayNotFreeTheHostsList) {
    VyrUtilImportAddLoader(FreeingLoader, "L", nullptr, nullptr);
    bool Result = false;
    ASSERT_TRUE(VyrHost::CallLoader("L", {"x"}, &Result));
    EXPECT_EQ(HostErrorCount(), 1u);
}

TEST_F(HostLoaders, RegistrationMistakesAreHostErrors) {
    VyrUtilImportAddLoader(nullptr, "L", CountPick, nullptr);
    VyrUtilImportAddLoader(RecordingLoader, "L", CountPick, nullptr);
    VyrUtilImportAddLoader(RecordingLoader, "L", CountPick, nullptr);
    VyrStringList_pa List = VyrUtilStringListAlloc();
    VyrUtilImportSetLoaderInstr("Unknown", List);
    VyrUtilStringListDealloc(&List);
    EXPECT_EQ(HostErrorCount(), 3u);
    EXPECT_EQ(VyrHost::LoaderNames().size(), 1u);
}
