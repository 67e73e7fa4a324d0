// How a load ends when something goes wrong or the user stops it, and the
// selections that are refused before the host's data set is replaced: each
// ending shows its one message, keeps the zones already made, and leaves no
// buffer, HDF file, lock or catalogue record behind.
#include "addon/addon_state.h"
#include "hdf_call_counts.h"
#include "loader_fixture.h"
#include "support/hdf_writer.h"

#include <hdf/mfhdf.h>

#include <functional>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Three rank-2 data sets of 4x5 values; set N holds 100*N, 100*N+1, ...
std::string ThreeDataSetFile() {
    const std::string Path = TestHdf::TempPath("three.hdf");
    std::vector<TestHdf::DataSet> Sets;
    for (int32_t N = 1; N <= 3; ++N) {
        std::vector<double> Values;
        for (int32_t E = 0; E < 20; ++E)
            Values.push_back(100.0 * N + E);
        Sets.push_back(MakeSet("set" + std::to_string(N), DFNT_INT32, {4, 5}, Values));
    }
    TestHdf::Write(Path, Sets);
    return Path;
}

std::vector<double> DataOf(int32_t N, int32_t Stored) {
    std::vector<double> Values(20, 0.0);
    for (int32_t E = 0; E < Stored; ++E)
        Values[size_t(E)] = 100.0 * N + E;
    return Values;
}

// ---- Endings of a load of three data sets ----------------------------------------

struct EndingCase {
    const char* Name;
    std::function<void()> Arm;
    std::vector<std::string> Messages;
    bool Result;
    bool Interrupted;
    int32_t NewFrames; // the error and interrupted endings make one
    int32_t Reads;     // SDreaddata calls: later data sets are not touched
    std::vector<std::vector<double>> ZoneValues; // "V" of each zone the host holds
};

void PrintTo(const EndingCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class LoadEndingTest : public LoaderTest, public ::testing::WithParamInterface<EndingCase> {};

TEST_P(LoadEndingTest, EndsWithItsMessageKeepsEarlierZonesAndReleasesEverything) {
    const EndingCase& C = GetParam();
    const std::string Path = ThreeDataSetFile();
    C.Arm();

    EXPECT_EQ(Replay(Items(Path, 1, 1, 1, {1, 2, 3})), C.Result);
    EXPECT_EQ(Messages(), C.Messages);
    EXPECT_EQ(LoadInterrupted, C.Interrupted);
    EXPECT_EQ(VyrHost::Frame().NewFrames, C.NewFrames);
    if (C.NewFrames > 0) {
        EXPECT_EQ(VyrHost::Frame().MouseMode, 1);
    }
    EXPECT_EQ(HdfCalls::Get().Reads, C.Reads);
    // The percent-done dialog came and went once, whatever the ending.
    EXPECT_EQ(VyrHost::PercentDone().Launches, 1);
    EXPECT_EQ(VyrHost::PercentDone().Drops, 1);
    // Only a load that ran to its end is recorded for replay.
    EXPECT_EQ(VyrHost::RecordedInstructions("HDF Loader"),
              std::optional<std::vector<std::string>>());

    ExpectLoadLeftNothingHeld();
    // Zones made before the ending stay; a data set that could not be made
    // holds none.
    const VyrHost::DataSet* Set = VyrHost::CurrentDataSet();
    ASSERT_EQ(Set != nullptr ? Set->Zones.size() : 0u, C.ZoneValues.size());
    for (size_t Z = 0; Z < C.ZoneValues.size(); ++Z)
        EXPECT_EQ(VarValues(Set->Zones[Z], 3), C.ZoneValues[Z]) << "zone " << Z + 1;
}

void NoDataBuffer(int32_t N) {
    VyrHost::FailNth(VyrHost::FailPoint::StringAlloc, N, "HDF Data");
}

// Each case: name; what fails or stops; messages; result; interrupted; new
// frames; reads; the "V" values of each zone kept. Four rows of five per
// zone: check 6 is the second row of zone 2. A zone the host refuses ends
// the load quietly with the normal ending.
// clang-format off
const std::vector<EndingCase> EndingCases = {
    {"DataSetCannotBeCreated", [] { VyrHost::FailNth(VyrHost::FailPoint::DataSetCreate, 1); },
        {"Could not create data set"}, false, false, 1, 0, {}},
    {"NoBufferForTheFirstDataSet", [] { NoDataBuffer(1); }, {"Out of memory"},
        false, false, 1, 0, {}},
    {"NoBufferForTheSecondDataSet", [] { NoDataBuffer(2); }, {"Out of memory"}, false, false, 1, 1,
        {DataOf(1, 20)}},
    {"SecondOfThreeReadsFails", [] { HdfCalls::FailRead(2); }, {"Error reading HDF Dataset"},
        false, false, 1, 2, {DataOf(1, 20)}},
    {"StopAtTheFirstCheck", [] { VyrHost::StopAtCheck(1); }, {}, true, true, 1, 1, {DataOf(1, 0)}},
    {"StopInTheMiddleOfTheSecondZone", [] { VyrHost::StopAtCheck(6); }, {}, true, true, 1, 2,
        {DataOf(1, 20), DataOf(2, 5)}},
    {"HostRefusesTheSecondZone", [] { VyrHost::FailNth(VyrHost::FailPoint::DataSetAddZone, 2); },
        {}, false, false, 0, 2, {DataOf(1, 20)}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Endings, LoadEndingTest, ::testing::ValuesIn(EndingCases),
                         [](const ::testing::TestParamInfo<EndingCase>& Info) {
                             return std::string(Info.param.Name);
                         });

TEST_F(LoaderTest, StoppedLoadMakesNoFurtherCheckAfterTheStop) {
    const std::string Path = ThreeDataSetFile();
    VyrHost::StopAtCheck(6);
    ASSERT_TRUE(Replay(Items(Path, 1, 1, 1, {1, 2, 3})));
    EXPECT_EQ(VyrHost::PercentDone().Checks, 6);
}

TEST_F(LoaderTest, FailedReadOnARealSzipDataSetEndsWithTheReadMessage) {
    // This HDF4 build cannot decode szip: the third data set's read fails.
    const std::optional<std::string> Real = TestHdf::RealFile("compressed-gzip-skiphuff-szip.hdf");
    if (!Real)
        GTEST_SKIP() << TestHdf::RealFilesMissing();
    const std::string& Path = *Real;
    EXPECT_FALSE(Replay(Items(Path, 1, 1, 1, {1, 3})));
    EXPECT_EQ(Messages(), std::vector<std::string>{"Error reading HDF Dataset"});
    EXPECT_EQ(VyrHost::CurrentDataSet()->Zones.size(), 1u);
    ExpectLoadLeftNothingHeld();
}

// ---- Selections refused before the host's data set is replaced ---------------------

// Creates data sets with these extents without writing any values: HDF4
// keeps the extents but stores nothing, so the file stays small.
using Extents = std::vector<std::pair<int32_t, std::vector<int32_t>>>;

std::string EmptyDataSetFile(const std::string& Name, const Extents& Sets) {
    const std::string Path = TestHdf::TempPath(Name);
    const int32 File = SDstart(Path.c_str(), DFACC_CREATE);
    if (File == FAIL)
        throw std::runtime_error("SDstart failed for " + Path);
    for (size_t N = 0; N < Sets.size(); ++N) {
        std::vector<int32> Dims(Sets[N].second.begin(), Sets[N].second.end());
        const std::string SdsName = "big" + std::to_string(N);
        const int32 Sds =
            SDcreate(File, SdsName.c_str(), Sets[N].first, int32(Dims.size()), Dims.data());
        if (Sds == FAIL)
            throw std::runtime_error("SDcreate failed for " + SdsName);
        SDendaccess(Sds);
    }
    SDend(File);
    return Path;
}

std::string LongPath(size_t Length) {
    return "/" + std::string(Length - 1, 'p');
}

struct RefusalCase {
    const char* Name;
    // The list to replay; none: it names a real file, and the folder is absent.
    std::function<std::optional<std::vector<std::string>>()> List;
    std::string Message;
};

void PrintTo(const RefusalCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class RefusedSelectionTest : public LoaderTest,
                             public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusedSelectionTest, ShowsOneMessageAndLeavesTheHostDataSetAsItWas) {
    const RefusalCase& C = GetParam();
    const std::optional<std::vector<std::string>> List = C.List();
    if (!List)
        GTEST_SKIP() << TestHdf::RealFilesMissing();
    // The host already holds the data set of an earlier load.
    const std::string Earlier = TestHdf::TempPath("earlier.hdf");
    TestHdf::Write(Earlier, {MakeSet("earlier", DFNT_INT16, {6})});
    ASSERT_TRUE(Replay(Items(Earlier, 1, 1, 1, {1})));
    const std::vector<double> EarlierValues = VarValues(ZoneAt(1), 2);

    EXPECT_FALSE(Replay(*List));
    EXPECT_EQ(Messages(), std::vector<std::string>{C.Message});
    const VyrHost::DataSet* Set = VyrHost::CurrentDataSet();
    ASSERT_NE(Set, nullptr);
    ASSERT_EQ(Set->Zones.size(), 1u);
    EXPECT_EQ(VarValues(Set->Zones[0], 2), EarlierValues);
    EXPECT_EQ(HdfCalls::Get().Reads, 0);
    EXPECT_EQ(VyrHost::PercentDone().Launches, 1); // the earlier load's only
    EXPECT_EQ(VyrHost::RecordedInstructions("HDF Loader"),
              std::optional<std::vector<std::string>>(Items(Earlier, 1, 1, 1, {1})));
    ExpectLoadLeftNothingHeld();
}

// The list for loading these data sets of a real file, when the folder is there.
std::optional<std::vector<std::string>> RealFileWith(const std::string& FileName,
                                                     const std::vector<int32_t>& Sds) {
    const std::optional<std::string> Path = TestHdf::RealFile(FileName);
    if (!Path)
        return std::nullopt;
    return Items(*Path, 1, 1, 1, Sds);
}

std::vector<std::string> ThreeSetsWith(const std::vector<int32_t>& Sds) {
    return Items(ThreeDataSetFile(), 1, 1, 1, Sds);
}

std::vector<std::string>
EmptySetsWith(const char* Name, const std::vector<std::pair<int32_t, std::vector<int32_t>>>& Sets,
              const std::vector<int32_t>& Sds) {
    return Items(EmptyDataSetFile(Name, Sets), 1, 1, 1, Sds);
}

// A rank-1 data set between two scalars (data sets without dimensions).
std::vector<std::string> ScalarsWith(const std::vector<int32_t>& Sds) {
    const std::string Path = TestHdf::TempPath("scalars.hdf");
    TestHdf::Write(Path, {MakeSet("s1", DFNT_INT32, {}), MakeSet("v", DFNT_INT32, {4}),
                          MakeSet("s2", DFNT_FLOAT64, {})});
    return Items(Path, 1, 1, 1, Sds);
}

const char* const NotInFile = "Selected data set is not in this HDF file";
const char* const TooLarge = "HDF Dataset is too large to load";
const char* const NoDimensions = "Selected data set has no dimensions to load";

// clang-format off
const std::vector<RefusalCase> RefusalCases = {
    {"NumberZero", [] { return ThreeSetsWith({2, 0}); }, NotInFile},
    {"NegativeNumber", [] { return ThreeSetsWith({-1}); }, NotInFile},
    {"NumberAboveTheCatalogue", [] { return ThreeSetsWith({1, 4}); }, NotInFile},
    {"NumberBeyond32Bits",
        [] { return std::vector<std::string>{"M" + ThreeDataSetFile(), "S99999999999"}; },
        NotInFile},
    {"RanksDiffer",
        [] { return RealFileWith("int32-ranks-1-2-3.hdf", {2, 3}); },
        "Selected data sets do not have the same rank"},
    {"UnlimitedDimensionWithoutRecords",
        [] { return RealFileWith("empty-unlimited-40.hdf", {7}); },
        "HDF Dataset has an empty dimension"},
    {"ByteSizeBeyond32Bits",
        [] { return EmptySetsWith("bytes.hdf", {{DFNT_FLOAT32, {32768, 32768}}}, {1}); }, TooLarge},
    {"ValueCountBeyond32Bits",
        [] { return EmptySetsWith("values.hdf", {{DFNT_UINT8, {65536, 32768}}}, {1}); }, TooLarge},
    {"TotalOfSeveralBeyond32Bits", [] { return EmptySetsWith("total.hdf",
            {{DFNT_UINT8, {32768, 32768}}, {DFNT_UINT8, {32768, 32768}}}, {1, 2}); },
        "Selected data sets are too large to load"},
    {"DataSetWithoutDimensions", [] { return ScalarsWith({1}); }, NoDimensions},
    {"DataSetWithoutDimensionsAfterOneWithThem", [] { return ScalarsWith({2, 3}); },
        NoDimensions},
    {"NoDataSetNamed", [] { return ThreeSetsWith({}); }, "No Scientific Data Sets to load"},
    {"NoFileNamed", [] { return std::vector<std::string>{"I2", "S1"}; }, "File does not exist"},
    {"PathLongerThanFileNameHolds", [] { return Items(LongPath(10000), 1, 1, 1, {1}); },
        "File path is too long"},
    {"PathAfterFLongerThanFileNameHolds",
        [] { return std::vector<std::string>{"F", LongPath(12000), "S1"}; },
        "File path is too long"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Refusals, RefusedSelectionTest, ::testing::ValuesIn(RefusalCases),
                         [](const ::testing::TestParamInfo<RefusalCase>& Info) {
                             return std::string(Info.param.Name);
                         });

} // namespace
