// LoaderTest helpers: replaying a list through the host and checking what a
// load left behind.
#include "loader_fixture.h"

#include "failable_calls.h"
#include "interface/addon_state.h"
#include "loader/slab_reader.h"

void LoaderTest::SetUp() {
    AddOnTest::SetUp();
    FailableCalls::ResetCounts();
    SlabByteLimit = DefaultSlabByteLimit;
}

TestHdf::DataSet MakeSet(const std::string& Name, int32_t NumberType,
                         const std::vector<int32_t>& Dims, const std::vector<double>& Values) {
    TestHdf::DataSet Set;
    Set.Name = Name;
    Set.NumberType = NumberType;
    Set.Dims = Dims;
    Set.Values = Values;
    return Set;
}

bool LoaderTest::Replay(const std::vector<std::string>& Items) {
    FailableCalls::ResetCounts();
    bool Result = false;
    EXPECT_TRUE(VyrHost::CallLoader("HDF Loader", Items, &Result)) << "no loader registered";
    return Result;
}

std::vector<std::string> Items(const std::string& Path, int32_t I, int32_t J, int32_t K,
                               const std::vector<int32_t>& Sds) {
    std::vector<std::string> List = {"M" + Path, "I" + std::to_string(I), "J" + std::to_string(J),
                                     "K" + std::to_string(K)};
    for (int32_t Number : Sds)
        List.push_back("S" + std::to_string(Number));
    return List;
}

void LoaderTest::ExpectLoadLeftNothingHeld() {
    EXPECT_EQ(VyrHost::LockDepth(), 0);
    EXPECT_EQ(VyrHost::OutstandingTags(), std::vector<std::string>{"set"});
    const FailableCalls::Counts& Calls = FailableCalls::Get();
    EXPECT_EQ(Calls.FilesOpened, Calls.FilesClosed);
    EXPECT_EQ(Calls.Selected, Calls.AccessEnded);
    EXPECT_EQ(SdsCount, 0);
    EXPECT_FALSE(VyrHost::PercentDone().Up);
}

const VyrHost::Zone& LoaderTest::ZoneAt(int32_t Zone) {
    static const VyrHost::Zone None;
    const VyrHost::DataSet* Set = VyrHost::CurrentDataSet();
    EXPECT_NE(Set, nullptr);
    if (Set == nullptr || Zone < 1 || size_t(Zone) > Set->Zones.size()) {
        ADD_FAILURE() << "no zone " << Zone;
        return None;
    }
    return Set->Zones[size_t(Zone) - 1];
}

std::vector<double> LoaderTest::VarValues(const VyrHost::Zone& Zone, int32_t Var) {
    std::vector<double> Values;
    for (int64_t Point = 1; Point <= Zone.PointCount(); ++Point)
        Values.push_back(Zone.Value(Var, Point));
    return Values;
}
