// Failure injection: each failure point makes exactly the chosen call fail
// (or that call and every later one), and the tag filter of StringAlloc
// counts only the calls with that tag.
#include "host_test.h"

namespace {

void IgnoreStateChange(int32_t, intptr_t) {}

class HostFailureInjection : public HostTest {
  protected:
    // One call of the operation at Point; true when it succeeded. Whatever
    // it obtained is kept until Reset.
    static bool CallOnce(VyrHost::FailPoint Point) {
        static const VyrFieldType_t Types[] = {1};
        switch (Point) {
        case VyrHost::FailPoint::StringAlloc:
            return VyrUtilStringAlloc(4, "tag") != nullptr;
        case VyrHost::FailPoint::DataSetCreate: {
            VyrStringList_pa Names = VyrUtilStringListFromNLString("V");
            return VyrUtilDataSetCreate("T", Names, true);
        }
        case VyrHost::FailPoint::DataSetAddZone:
            return VyrUtilDataSetAddZone("Z", 1, 1, 1, 0, Types);
        case VyrHost::FailPoint::SetAlloc:
            return VyrUtilSetAlloc(false) != nullptr;
        case VyrHost::FailPoint::StateChangeAddCallback:
            return VyrUtilStateChangeAddCallback(IgnoreStateChange);
        }
        return false;
    }
};

} // namespace

TEST_F(HostFailureInjection, EachPointFailsExactlyTheChosenCallOrAllFromIt) {
    using VyrHost::FailPoint;
    for (FailPoint Point :
         {FailPoint::StringAlloc, FailPoint::DataSetCreate, FailPoint::DataSetAddZone,
          FailPoint::SetAlloc, FailPoint::StateChangeAddCallback}) {
        for (bool AndLater : {false, true}) {
            VyrHost::Reset();
            VyrStringList_pa Names = VyrUtilStringListFromNLString("V");
            ASSERT_TRUE(VyrUtilDataSetCreate("T", Names, true)); // for AddZone
            VyrHost::FailNth(Point, 3, "", AndLater);
            std::vector<bool> Results;
            for (int Call = 1; Call <= 5; ++Call)
                Results.push_back(CallOnce(Point));
            const std::vector<bool> Expected =
                AndLater ? std::vector<bool>{true, true, false, false, false}
                         : std::vector<bool>{true, true, false, true, true};
            EXPECT_EQ(Results, Expected) << "point " << int(Point) << " and later " << AndLater;
            EXPECT_TRUE(VyrHost::HostErrors().empty());
        }
    }
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

TEST_F(HostFailureInjection, FailedSetAllocShowsAMessageOnlyWhenAsked) {
    VyrHost::FailNth(VyrHost::FailPoint::SetAlloc, 1, "", true);
    EXPECT_EQ(VyrUtilSetAlloc(false), nullptr);
    EXPECT_TRUE(VyrHost::ErrorMessages().empty());
    EXPECT_EQ(VyrUtilSetAlloc(true), nullptr);
    EXPECT_EQ(VyrHost::ErrorMessages().size(), 1u);
}
