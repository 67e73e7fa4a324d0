// The host's handle rules: counting from 1, deallocators that null the
// handle, sets in ascending order refusing members below 1, string lists,
// and unknown or freed handles recorded as host errors instead of crashing.
#include "host_test.h"

#include <vector>

using HostHandles = HostTest;

// What tests/host/host_api_from_c.c, a C99 unit, exports.
extern "C" {
extern const size_t HostApiSizesInC[];
extern const size_t HostApiSizesInCCount;
bool HostApiSetHoldsFromC(VyrSetIndex_t Member, VyrSetIndex_t Probe);
bool HostApiListenFromC(void);
int32_t HostApiStateChangeHeardInC(void);
bool HostApiStoreFromC(VyrFieldType_t FieldType, VyrLgIndex_t I, double Value);
}

TEST_F(HostHandles, SetKeepsMembersAscendingWithoutDuplicates) {
    VyrSet_pa Set = VyrUtilSetAlloc(false);
    ASSERT_NE(Set, nullptr);
    for (VyrSetIndex_t Member : {7, 2, 9, 2, 4})
        EXPECT_TRUE(VyrUtilSetAddMember(Set, Member, false));
    ASSERT_EQ(VyrUtilSetGetMemberCount(Set), 4);
    const VyrSetIndex_t Expected[] = {2, 4, 7, 9};
    for (VyrSetIndex_t Position = 1; Position <= 4; ++Position)
        EXPECT_EQ(VyrUtilSetGetMember(Set, Position), Expected[Position - 1]);
    EXPECT_TRUE(VyrUtilSetIsMember(Set, 7));
    EXPECT_FALSE(VyrUtilSetIsMember(Set, 3));
    VyrUtilSetDealloc(&Set);
    EXPECT_TRUE(VyrHost::HostErrors().empty());
}

// Members below 1 are refused, changing nothing; a position outside the
// count gives "not a member" and a host error.
TEST_F(HostHandles, SetRefusesMembersBelowOneAndPositionsOutsideItsCount) {
    VyrSet_pa Set = VyrUtilSetAlloc(false);
    ASSERT_TRUE(VyrUtilSetAddMember(Set, 3, false));
    for (VyrSetIndex_t Bad : {0, -1, -100}) {
        EXPECT_FALSE(VyrUtilSetAddMember(Set, Bad, false)) << Bad;
        EXPECT_EQ(VyrUtilSetGetMemberCount(Set), 1);
        EXPECT_EQ(VyrUtilSetGetMember(Set, 1), 3);
    }
    for (VyrSetIndex_t Position : {0, 2, -1}) {
        const size_t Before = HostErrorCount();
        EXPECT_EQ(VyrUtilSetGetMember(Set, Position), VYR_SET_NOT_MEMBER);
        EXPECT_EQ(HostErrorCount(), Before + 1) << Position;
    }
    VyrUtilSetClear(Set);
    EXPECT_TRUE(VyrUtilSetIsEmpty(Set));
    VyrUtilSetDealloc(&Set);
}

TEST_F(HostHandles, DeallocatorsNullTheHandleAndIgnoreNull) {
    VyrSet_pa Set = VyrUtilSetAlloc(false);
    VyrStringList_pa List = VyrUtilStringListAlloc();
    char* Buffer = VyrUtilStringAlloc(8, "test");
    ASSERT_EQ(VyrHost::OutstandingAllocations(), 3);

    VyrUtilSetDealloc(&Set);
    VyrUtilStringListDealloc(&List);
    VyrUtilStringDealloc(&Buffer);
    EXPECT_EQ(Set, nullptr);
    EXPECT_EQ(List, nullptr);
    EXPECT_EQ(Buffer, nullptr);
    EXPECT_EQ(VyrHost::OutstandingAllocations(), 0);

    // A second call sees a null handle: nothing to do, nothing wrong.
    VyrUtilSetDealloc(&Set);
    VyrUtilStringListDealloc(&List);
    VyrUtilStringDealloc(&Buffer);
    EXPECT_TRUE(VyrHost::HostErrors().empty());
}

// Freed handles, and pointers the host never handed out, are host errors.
TEST_F(HostHandles, FreedOrForeignHandlesAreHostErrorsNotCrashes) {
    VyrSet_pa Set = VyrUtilSetAlloc(false);
    VyrSet_pa Stale = Set;
    VyrUtilSetDealloc(&Set);
    VyrStringList_pa List = VyrUtilStringListAlloc();
    VyrStringList_pa StaleList = List;
    VyrUtilStringListDealloc(&List);

    EXPECT_FALSE(VyrUtilSetAddMember(Stale, 1, false));
    EXPECT_EQ(VyrUtilSetGetMemberCount(Stale), 0);
    VyrUtilSetDealloc(&Stale);
    EXPECT_NE(Stale, nullptr) << "an unknown handle is left as it was";
    EXPECT_FALSE(VyrUtilStringListAppendString(StaleList, "x"));
    EXPECT_EQ(VyrUtilStringListGetString(StaleList, 1), nullptr);
    EXPECT_EQ(HostErrorCount(), 5u);
    char Local[4] = "abc";
    char* NotOurs = Local;
    VyrUtilStringDealloc(&NotOurs);
    EXPECT_EQ(NotOurs, Local);
    VyrUtilStringDealloc(nullptr);
    EXPECT_EQ(HostErrorCount(), 7u);
}

TEST_F(HostHandles, StringListFromNewlineTextMakesOneItemPerLine) {
    struct Case {
        const char* Text;
        std::vector<std::string> Items;
    };
    const Case Cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\nb", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"\n", {""}},
        {"a\n\nb", {"a", "", "b"}},
        {"Mx\nI1\n", {"Mx", "I1"}},
    };
    for (const Case& C : Cases) {
        VyrStringList_pa List = VyrUtilStringListFromNLString(C.Text);
        ASSERT_NE(List, nullptr);
        ASSERT_EQ(VyrUtilStringListGetCount(List), int32_t(C.Items.size())) << '"' << C.Text << '"';
        for (int32_t Index = 1; Index <= VyrUtilStringListGetCount(List); ++Index) {
            char* Item = VyrUtilStringListGetString(List, Index);
            ASSERT_NE(Item, nullptr);
            EXPECT_EQ(Item, C.Items[size_t(Index) - 1]);
            VyrUtilStringDealloc(&Item);
        }
        VyrUtilStringListDealloc(&List);
    }
    EXPECT_EQ(VyrHost::OutstandingAllocations(), 0);
    EXPECT_TRUE(VyrHost::HostErrors().empty());
}

TEST_F(HostHandles, StringListItemsCountFromOneAndCopiesAreTracked) {
    VyrStringList_pa List = VyrUtilStringListAlloc();
    VyrUtilStringListAppendString(List, "first");
    VyrUtilStringListAppendString(List, "second");
    char* First = VyrUtilStringListGetString(List, 1);
    ASSERT_NE(First, nullptr);
    EXPECT_STREQ(First, "first");
    // The copy is the caller's: changing it leaves the list alone.
    First[0] = 'F';
    char* Again = VyrUtilStringListGetString(List, 1);
    EXPECT_STREQ(Again, "first");
    EXPECT_EQ(VyrHost::OutstandingTags(),
              (std::vector<std::string>{"string list", "host string", "host string"}));

    EXPECT_EQ(VyrUtilStringListGetString(List, 0), nullptr);
    EXPECT_EQ(VyrUtilStringListGetString(List, 3), nullptr);
    EXPECT_EQ(HostErrorCount(), 2u);
    VyrUtilStringDealloc(&First);
    VyrUtilStringDealloc(&Again);
    VyrUtilStringListDealloc(&List);
}

TEST_F(HostHandles, StringAllocGivesExactlyTheSizeAndRefusesSizesBelowOne) {
    char* Buffer = VyrUtilStringAlloc(1, "one byte");
    ASSERT_NE(Buffer, nullptr);
    Buffer[0] = '\0'; // the only byte it may write
    EXPECT_EQ(VyrHost::OutstandingTags(), std::vector<std::string>{"one byte"});
    VyrUtilStringDealloc(&Buffer);

    for (int32_t Size : {0, -1}) {
        EXPECT_EQ(VyrUtilStringAlloc(Size, "bad"), nullptr);
    }
    EXPECT_EQ(VyrUtilStringAlloc(4, nullptr), nullptr);
    EXPECT_EQ(HostErrorCount(), 3u);
    EXPECT_EQ(VyrHost::OutstandingAllocations(), 0);
}

TEST_F(HostHandles, ResetGivesBackEverythingOutstanding) {
    VyrUtilSetAlloc(false);
    VyrUtilStringListAlloc();
    VyrUtilStringAlloc(100, "kept");
    ASSERT_EQ(VyrHost::OutstandingAllocations(), 3);
    VyrHost::Reset();
    EXPECT_EQ(VyrHost::OutstandingAllocations(), 0);
}

// ---- The interface seen from C ----------------------------------------------

// C and C++ read the header alike: the same size for each of its types, in
// the order the C unit lists them.
TEST_F(HostHandles, CAndCppGiveTheInterfaceTypesTheSameSizes) {
    const std::vector<size_t> InCpp = {sizeof(VyrBoolean_t),    sizeof(VyrSetIndex_t),
                                       sizeof(VyrEntIndex_t),   sizeof(VyrLgIndex_t),
                                       sizeof(VyrFieldType_t),  sizeof(VyrAddOn_pa),
                                       sizeof(VyrSet_pa),       sizeof(VyrStringList_pa),
                                       sizeof(VyrFieldData_pa), sizeof(VyrStateChangeCallback_pf),
                                       sizeof(VyrDataLoader_pf)};
    EXPECT_EQ(std::vector<size_t>(HostApiSizesInC, HostApiSizesInC + HostApiSizesInCCount), InCpp);
}

// Calls made from C reach the host as from the add-on: booleans both ways,
// a listener written in C, and a double stored through 16-bit zone and
// variable numbers.
TEST_F(HostHandles, CallsFromCMeetTheHostAsTheAddOnsDo) {
    EXPECT_TRUE(HostApiSetHoldsFromC(5, 5));
    EXPECT_FALSE(HostApiSetHoldsFromC(5, 6));

    ASSERT_TRUE(HostApiListenFromC());
    EXPECT_EQ(HostApiStateChangeHeardInC(), -1);
    VyrHost::SendStateChange(VYR_STATE_CHANGE_SHUTDOWN);
    EXPECT_EQ(HostApiStateChangeHeardInC(), VYR_STATE_CHANGE_SHUTDOWN);

    ASSERT_TRUE(HostApiStoreFromC(VYR_FIELD_TYPE_DOUBLE, 3, -2.5));
    const VyrHost::DataSet* Data = VyrHost::CurrentDataSet();
    ASSERT_NE(Data, nullptr);
    ASSERT_EQ(Data->Zones.size(), 1u);
    EXPECT_EQ(Data->Zones[0].FieldTypes, std::vector<VyrFieldType_t>{VYR_FIELD_TYPE_DOUBLE});
    EXPECT_EQ(Data->Zones[0].Value(1, 3), -2.5);
    EXPECT_EQ(Data->Zones[0].Value(1, 2), 0.0);

    EXPECT_EQ(VyrHost::OutstandingAllocations(), 0);
    EXPECT_TRUE(VyrHost::HostErrors().empty()) << VyrHost::HostErrors().front();
}
