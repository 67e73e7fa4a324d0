// The GUI model and the session acting as the user: launch calls init and
// leaves the dialog up, the session acts only on the top dialog's sensitive
// controls, TypeInto finds the field next to a label, SelectItems sets the
// list and calls its callback, and OK/Cancel/Help reach the dialog.
#include "host_test.h"

#include <cstdlib>

namespace {

// What the dialog's callbacks saw, across one test.
struct Seen {
    int32_t Inits = 0, Oks = 0, Cancels = 0, Helps = 0, Presses = 0;
    std::vector<int32_t> ListValues;
    std::vector<std::string> Typed;
    int32_t Dialog = -2;
};
Seen Calls;

void OnInit() {
    ++Calls.Inits;
}
void OnOk() {
    ++Calls.Oks;
    VyrGUIDialogDrop(Calls.Dialog);
}
void OnCancel() {
    ++Calls.Cancels;
}
void OnHelp() {
    ++Calls.Helps;
}
void OnPress() {
    ++Calls.Presses;
}
void OnList(const int32_t* Value) {
    Calls.ListValues.push_back(*Value);
}
int32_t OnType(const char* Text) {
    Calls.Typed.emplace_back(Text);
    return 1;
}

class HostGuiSession : public HostTest {
  protected:
    void SetUp() override {
        HostTest::SetUp();
        Calls = Seen{};
        Dialog =
            VyrGUIDialogCreateModal(-1, 100, 100, "Test", OnInit, OnOk, nullptr, OnCancel, OnHelp);
        Calls.Dialog = Dialog;
        // Labels sit a little off their fields' rows, as in a real layout.
        VyrGUILabelAdd(Dialog, 10, 1231, "First:");
        VyrGUILabelAdd(Dialog, 10, 1455, "Second:");
        FirstField = VyrGUITextFieldAdd(Dialog, 50, 1199, 10, 10, OnType);
        SecondField = VyrGUITextFieldAdd(Dialog, 50, 1412, 10, 10, OnType);
        List = VyrGUIListAdd(Dialog, 0, 0, 10, 10, true, OnList);
        for (const char* Item : {"a", "b", "c"})
            VyrGUIListAppendItem(List, Item);
        Button = VyrGUIButtonAdd(Dialog, 0, 0, 10, 10, "Go", OnPress);
    }
    int32_t Dialog = -2, FirstField = -2, SecondField = -2, List = -2, Button = -2;
    std::string Why;
};

} // namespace

TEST_F(HostGuiSession, LaunchCallsInitAndLeavesTheDialogUp) {
    EXPECT_EQ(VyrHost::TopDialog(), nullptr);
    VyrGUIDialogLaunch(Dialog);
    EXPECT_EQ(Calls.Inits, 1);
    ASSERT_NE(VyrHost::TopDialog(), nullptr);
    EXPECT_EQ(VyrHost::TopDialog()->Id, Dialog);
    EXPECT_TRUE(VyrHost::TopDialog()->Up);
    EXPECT_EQ(VyrHost::TopDialog()->Launches, 1);
    VyrGUIDialogDrop(Dialog);
    EXPECT_EQ(VyrHost::TopDialog(), nullptr);
    EXPECT_TRUE(VyrHost::HostErrors().empty());
}

TEST_F(HostGuiSession, ActionsWithoutADialogUpAreRefused) {
    EXPECT_FALSE(VyrHost::PressButton("Go", &Why));
    EXPECT_FALSE(VyrHost::PressOk(&Why));
    EXPECT_FALSE(VyrHost::SelectItems({1}, &Why));
    EXPECT_FALSE(VyrHost::TypeInto("First:", "1", &Why));
    EXPECT_EQ(Why, "no dialog is up");
    EXPECT_EQ(Calls.Presses + Calls.Oks, 0);
}

TEST_F(HostGuiSession, InsensitiveControlsRefuseTheUser) {
    VyrGUIDialogLaunch(Dialog);
    VyrGUISetSensitivity(Button, false);
    VyrGUISetSensitivity(List, false);
    VyrGUISetSensitivity(FirstField, false);
    EXPECT_FALSE(VyrHost::PressButton("Go", &Why));
    EXPECT_FALSE(VyrHost::SelectItems({1}, &Why));
    EXPECT_FALSE(VyrHost::TypeInto("First:", "5", &Why));
    EXPECT_EQ(Calls.Presses, 0);
    EXPECT_TRUE(Calls.ListValues.empty());
    EXPECT_TRUE(Calls.Typed.empty());
    EXPECT_TRUE(VyrHost::FindControl(List)->Selected.empty());
    EXPECT_EQ(VyrHost::FindControl(FirstField)->Text, "");

    VyrGUISetSensitivity(Button, true);
    EXPECT_TRUE(VyrHost::PressButton("Go", &Why));
    EXPECT_EQ(Calls.Presses, 1);
    EXPECT_FALSE(VyrHost::PressButton("Missing", &Why));
    VyrGUIDialogDrop(Dialog);
}

TEST_F(HostGuiSession, TypeIntoPicksTheFieldClosestToTheLabelsRow) {
    VyrGUIDialogLaunch(Dialog);
    ASSERT_TRUE(VyrHost::TypeInto("Second:", "7", &Why)) << Why;
    ASSERT_TRUE(VyrHost::TypeInto("First:", "3", &Why)) << Why;
    EXPECT_EQ(VyrHost::FindControl(FirstField)->Text, "3");
    EXPECT_EQ(VyrHost::FindControl(SecondField)->Text, "7");
    EXPECT_EQ(Calls.Typed, (std::vector<std::string>{"7", "3"}));
    EXPECT_FALSE(VyrHost::TypeInto("Third:", "1", &Why));
    VyrGUIDialogDrop(Dialog);
}

TEST_F(HostGuiSession, SelectItemsSetsTheSelectionAndCallsTheListCallback) {
    VyrGUIDialogLaunch(Dialog);
    ASSERT_TRUE(VyrHost::SelectItems({3, 1}, &Why)) << Why;
    EXPECT_EQ(VyrHost::FindControl(List)->Selected, (std::vector<int32_t>{1, 3}));
    int32_t* Items = nullptr;
    int32_t Count = 0;
    VyrGUIListGetSelectedItems(List, &Items, &Count);
    ASSERT_EQ(Count, 2);
    EXPECT_EQ(Items[0], 1);
    EXPECT_EQ(Items[1], 3);
    EXPECT_EQ(VyrHost::OutstandingTags(), std::vector<std::string>{"array"});
    VyrUtilArrayDealloc(reinterpret_cast<void**>(&Items));
    EXPECT_EQ(Items, nullptr);

    ASSERT_TRUE(VyrHost::SelectItems({}, &Why));
    VyrGUIListGetSelectedItems(List, &Items, &Count);
    EXPECT_EQ(Count, 0);
    EXPECT_EQ(Items, nullptr) << "an empty selection hands out no array";
    EXPECT_EQ(Calls.ListValues, (std::vector<int32_t>{1, 0}));

    EXPECT_FALSE(VyrHost::SelectItems({4}, &Why));
    EXPECT_FALSE(VyrHost::SelectItems({0}, &Why));
    EXPECT_EQ(Calls.ListValues.size(), 2u);
    VyrGUIDialogDrop(Dialog);
    EXPECT_EQ(VyrHost::OutstandingAllocations(), 0);
}

TEST_F(HostGuiSession, SingleSelectionListTakesOneItem) {
    const int32_t Single =
        VyrGUIDialogCreateModal(-1, 1, 1, "Single", nullptr, nullptr, nullptr, nullptr, nullptr);
    const int32_t OneList = VyrGUIListAdd(Single, 0, 0, 1, 1, false, OnList);
    VyrGUIListAppendItem(OneList, "x");
    VyrGUIListAppendItem(OneList, "y");
    VyrGUIDialogLaunch(Single);
    EXPECT_FALSE(VyrHost::SelectItems({1, 2}, &Why));
    EXPECT_TRUE(VyrHost::SelectItems({2}, &Why));
    EXPECT_EQ(VyrHost::FindControl(OneList)->Selected, std::vector<int32_t>{2});
    EXPECT_TRUE(VyrHost::PressCancel(&Why)) << "Cancel without a callback closes";
    EXPECT_FALSE(VyrHost::FindControl(OneList) == nullptr);
    EXPECT_EQ(VyrHost::TopDialog(), nullptr);
    EXPECT_FALSE(VyrHost::PressHelp(&Why));
}

TEST_F(HostGuiSession, DialogButtonsReachTheTopDialogsCallbacks) {
    VyrGUIDialogLaunch(Dialog);
    const int32_t Inner =
        VyrGUIDialogCreateModal(Dialog, 1, 1, "Inner", nullptr, nullptr, nullptr, nullptr, nullptr);
    VyrGUIDialogLaunch(Inner);
    EXPECT_EQ(VyrHost::TopDialog()->Id, Inner);
    EXPECT_FALSE(VyrHost::PressButton("Go", &Why)) << "the outer dialog's button is not on top";
    EXPECT_TRUE(VyrHost::PressOk(&Why));
    EXPECT_EQ(VyrHost::TopDialog()->Id, Dialog);

    EXPECT_TRUE(VyrHost::PressHelp(&Why));
    EXPECT_TRUE(VyrHost::PressCancel(&Why));
    EXPECT_EQ(Calls.Helps, 1);
    EXPECT_EQ(Calls.Cancels, 1);
    EXPECT_EQ(VyrHost::TopDialog()->Id, Dialog) << "the cancel callback decides to close";
    EXPECT_TRUE(VyrHost::PressOk(&Why));
    EXPECT_EQ(Calls.Oks, 1);
    EXPECT_EQ(VyrHost::TopDialog(), nullptr);
    EXPECT_TRUE(VyrHost::HostErrors().empty());
}

TEST_F(HostGuiSession, ControlCallsOnWrongIdsAreHostErrors) {
    VyrGUILabelSetText(List, "x");                 // not a label
    VyrGUIListAppendItem(Button, "x");             // not a list
    VyrGUITextFieldSetString(9999, "x");           // no such control
    VyrGUIDialogDrop(Dialog);                      // not up
    VyrGUIDialogLaunch(12345);                     // no such dialog
    EXPECT_EQ(VyrGUILabelAdd(777, 0, 0, "x"), -1); // parent is no dialog
    EXPECT_EQ(HostErrorCount(), 6u);
    VyrGUIDialogLaunch(Dialog);
    VyrGUIDialogLaunch(Dialog); // already up
    EXPECT_EQ(HostErrorCount(), 7u);
    EXPECT_EQ(Calls.Inits, 1);
    VyrGUIDialogDrop(Dialog);
}

TEST_F(HostGuiSession, ListAndTextContentsFollowTheAddOnsCalls) {
    const int32_t Text = VyrGUITextAdd(Dialog, 0, 0, 1, 1, true, nullptr);
    VyrGUITextSetString(Text, "one\n");
    VyrGUITextAppendString(Text, "two\n");
    EXPECT_EQ(VyrHost::FindControl(Text)->Text, "one\ntwo\n");
    EXPECT_TRUE(VyrHost::FindControl(Text)->ReadOnly);

    VyrGUIDialogLaunch(Dialog);
    VyrHost::SelectItems({2}, &Why);
    VyrGUIListDeselectAllItems(List);
    EXPECT_TRUE(VyrHost::FindControl(List)->Selected.empty());
    EXPECT_EQ(VyrHost::FindControl(List)->Items.size(), 3u);
    VyrHost::SelectItems({2}, &Why);
    VyrGUIListDeleteAllItems(List);
    EXPECT_TRUE(VyrHost::FindControl(List)->Items.empty());
    EXPECT_TRUE(VyrHost::FindControl(List)->Selected.empty());
    VyrGUIDialogDrop(Dialog);
}
