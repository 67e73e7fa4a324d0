// Failure injection: each failure point makes exactly the chosen call fail
// (or that call and every later one), returning what the host returns when
// it cannot go on, and the tag filter of StringAlloc counts only the calls
// with that tag.
#include "host_test.h"

#include <functional>

namespace {

void IgnoreStateChange(int32_t, intptr_t) {}

using VyrHost::FailPoint;

class HostFailureInjection : public HostTest {
  protected:
    // What the calls of every point act on, made before any is armed: a data
    // set for AddZone, a list with one item, a set, a dialog for controls.
    void Prepare() {
        VyrStringList_pa Names = VyrUtilStringListFromNLString("V");
        ASSERT_TRUE(VyrUtilDataSetCreate("T", Names, true));
        VyrUtilStringListDealloc(&Names);
        List = VyrUtilStringListFromNLString("item");
        Set = VyrUtilSetAlloc(false);
        Dialog =
            VyrGUIDialogCreateModal(-1, 10, 10, "D", nullptr, nullptr, nullptr, nullptr, nullptr);
        ASSERT_GT(Dialog, 0);
    }

    // Call number Call (from 1) of the operation at Point; true when it
    // succeeded. Whatever it obtained is kept until Reset.
    bool CallOnce(FailPoint Point, int32_t Call) {
        static const VyrFieldType_t Types[] = {VYR_FIELD_TYPE_FLOAT};
        switch (Point) {
        case FailPoint::StringAlloc:
            return VyrUtilStringAlloc(4, "tag") != nullptr;
        case FailPoint::DataSetCreate: {
            VyrStringList_pa Names = VyrUtilStringListFromNLString("V");
            return VyrUtilDataSetCreate("T", Names, true);
        }
        case FailPoint::DataSetAddZone:
            return VyrUtilDataSetAddZone("Z", 1, 1, 1, VYR_ZONE_TYPE_ORDERED, Types);
        case FailPoint::SetAlloc:
            return VyrUtilSetAlloc(false) != nullptr;
        case FailPoint::StateChangeAddCallback:
            return VyrUtilStateChangeAddCallback(IgnoreStateChange);
        case FailPoint::StringListAlloc:
            return VyrUtilStringListAlloc() != nullptr;
        case FailPoint::StringListAppend:
            return VyrUtilStringListAppendString(List, "more");
        case FailPoint::StringListGetString:
            return VyrUtilStringListGetString(List, 1) != nullptr;
        case FailPoint::SetAddMember:
            return VyrUtilSetAddMember(Set, Call, false); // a new member each call
        case FailPoint::DialogCreate:
            return VyrGUIDialogCreateModal(-1, 10, 10, "D", nullptr, nullptr, nullptr, nullptr,
                                           nullptr) > 0;
        case FailPoint::ControlAdd:
            return VyrGUILabelAdd(Dialog, 0, 0, "L") > 0;
        }
        return false;
    }

    VyrStringList_pa List = nullptr;
    VyrSet_pa Set = nullptr;
    int32_t Dialog = -1;
};

} // namespace

TEST_F(HostFailureInjection, EachPointFailsExactlyTheChosenCallOrAllFromIt) {
    for (FailPoint Point :
         {FailPoint::StringAlloc, FailPoint::DataSetCreate, FailPoint::DataSetAddZone,
          FailPoint::SetAlloc, FailPoint::StateChangeAddCallback, FailPoint::StringListAlloc,
          FailPoint::StringListAppend, FailPoint::StringListGetString, FailPoint::SetAddMember,
          FailPoint::DialogCreate, FailPoint::ControlAdd}) {
        for (bool AndLater : {false, true}) {
            VyrHost::Reset();
            Prepare();
            VyrHost::FailNth(Point, 3, "", AndLater);
            std::vector<bool> Results;
            for (int32_t Call = 1; Call <= 5; ++Call)
                Results.push_back(CallOnce(Point, Call));
            const std::vector<bool> Expected =
                AndLater ? std::vector<bool>{true, true, false, false, false}
                         : std::vector<bool>{true, true, false, true, true};
            EXPECT_EQ(Results, Expected) << "point " << int(Point) << " and later " << AndLater;
            EXPECT_TRUE(VyrHost::HostErrors().empty());
            EXPECT_TRUE(VyrHost::ErrorMessages().empty());
        }
    }
}

// A failed call leaves no trace: no list, item, member, dialog or control,
// and the data set as it was.
TEST_F(HostFailureInjection, AFailedCallChangesNothing) {
    Prepare();
    const int32_t Outstanding = VyrHost::OutstandingAllocations();
    VyrHost::FailNth(FailPoint::StringListAlloc, 1, "", true);
    EXPECT_EQ(VyrUtilStringListAlloc(), nullptr);
    EXPECT_EQ(VyrUtilStringListFromNLString("a\nb"), nullptr);
    VyrHost::FailNth(FailPoint::StringListAlloc, 0);
    VyrHost::FailNth(FailPoint::StringListAppend, 1);
    EXPECT_FALSE(VyrUtilStringListAppendString(List, "more"));
    EXPECT_EQ(VyrUtilStringListGetCount(List), 1);
    VyrHost::FailNth(FailPoint::StringListGetString, 1);
    EXPECT_EQ(VyrUtilStringListGetString(List, 1), nullptr);
    EXPECT_EQ(VyrHost::OutstandingAllocations(), Outstanding);

    VyrHost::FailNth(FailPoint::DataSetCreate, 1);
    VyrStringList_pa Names = VyrUtilStringListFromNLString("X\nY");
    EXPECT_FALSE(VyrUtilDataSetCreate("Other", Names, true));
    VyrUtilStringListDealloc(&Names);
    EXPECT_EQ(VyrHost::CurrentDataSet()->Title, "T");

    const size_t Dialogs = VyrHost::Dialogs().size();
    VyrHost::FailNth(FailPoint::DialogCreate, 1);
    EXPECT_EQ(VyrGUIDialogCreateModal(-1, 1, 1, "D", nullptr, nullptr, nullptr, nullptr, nullptr),
              -1);
    EXPECT_EQ(VyrHost::Dialogs().size(), Dialogs);
    // Every kind of control counts under ControlAdd.
    const std::vector<std::function<int32_t()>> Adds = {
        [&] { return VyrGUILabelAdd(Dialog, 0, 0, "L"); },
        [&] { return VyrGUIButtonAdd(Dialog, 0, 0, 1, 1, "B", nullptr); },
        [&] { return VyrGUIListAdd(Dialog, 0, 0, 1, 1, true, nullptr); },
        [&] { return VyrGUITextFieldAdd(Dialog, 0, 0, 1, 1, nullptr); },
        [&] { return VyrGUITextAdd(Dialog, 0, 0, 1, 1, true, nullptr); },
    };
    for (size_t Kind = 0; Kind < Adds.size(); ++Kind) {
        VyrHost::FailNth(FailPoint::ControlAdd, 1);
        EXPECT_EQ(Adds[Kind](), -1) << "control kind " << Kind;
    }
    ASSERT_EQ(VyrHost::Dialogs().back().Id, Dialog);
    EXPECT_TRUE(VyrHost::Dialogs().back().Controls.empty());
    EXPECT_TRUE(VyrHost::HostErrors().empty());
}

TEST_F(HostFailureInjection, StringAllocFilterCountsOnlyItsTag) {
    VyrHost::FailNth(VyrHost::FailPoint::StringAlloc, 2, "HDF Data");
    char* A = VyrUtilStringAlloc(4, "HDF Temp String");
    char* B = VyrUtilStringAlloc(4, "HDF Data");
    char* C = VyrUtilStringAlloc(4, "HDF Temp String");
    char* D = VyrUtilStringAlloc(4, "HDF Data");
    char* E = VyrUtilStringAlloc(4, "HDF Data");
    EXPECT_NE(A, nullptr);
    EXPECT_NE(B, nullptr);
    EXPECT_NE(C, nullptr);
    EXPECT_EQ(D, nullptr);
    EXPECT_NE(E, nullptr);
    EXPECT_EQ(VyrHost::OutstandingAllocations(), 4);
}

TEST_F(HostFailureInjection, ZeroDisarms) {
    VyrHost::FailNth(VyrHost::FailPoint::SetAlloc, 1, "", true);
    VyrHost::FailNth(VyrHost::FailPoint::SetAlloc, 0);
    VyrSet_pa Set = VyrUtilSetAlloc(false);
    EXPECT_NE(Set, nullptr);
    VyrUtilSetDealloc(&Set);
}

// Sets: the host shows its own message only when asked; adding a member
// that is there already needs no memory and neither fails nor counts.
TEST_F(HostFailureInjection, FailedSetCallsShowAMessageOnlyWhenAsked) {
    VyrHost::FailNth(VyrHost::FailPoint::SetAlloc, 1, "", true);
    EXPECT_EQ(VyrUtilSetAlloc(false), nullptr);
    EXPECT_TRUE(VyrHost::ErrorMessages().empty());
    EXPECT_EQ(VyrUtilSetAlloc(true), nullptr);
    EXPECT_EQ(VyrHost::ErrorMessages().size(), 1u);

    VyrHost::FailNth(VyrHost::FailPoint::SetAlloc, 0);
    VyrSet_pa Set = VyrUtilSetAlloc(false);
    ASSERT_TRUE(VyrUtilSetAddMember(Set, 4, false));
    VyrHost::FailNth(VyrHost::FailPoint::SetAddMember, 2);
    EXPECT_TRUE(VyrUtilSetAddMember(Set, 4, false)); // there already: not counted
    EXPECT_TRUE(VyrUtilSetAddMember(Set, 5, false)); // the first counted
    EXPECT_FALSE(VyrUtilSetAddMember(Set, 6, true)); // the second: fails, and says so
    EXPECT_EQ(VyrHost::ErrorMessages().size(), 2u);
    EXPECT_EQ(VyrUtilSetGetMemberCount(Set), 2);
    VyrUtilSetDealloc(&Set);
}
