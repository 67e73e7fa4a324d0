// Zones as a completed load leaves them: which source points the skips keep,
// where each lands in the zone, the reversed order of the dimension scales,
// the field data types, the progress checks, and one zone per selected data
// set in catalogue order.
#include "failable_calls.h"
#include "interface/addon_state.h"
#include "loader/skip_steps.h"
#include "loader/slab_reader.h"
#include "loader/zone_fill.h"
#include "loader_fixture.h"
#include "support/hdf_writer.h"

#include <hdf/mfhdf.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace {

// Scale value of HDF dimension D at 0-based element E in the files below:
// distinct per dimension, so a scale read for the wrong dimension shows.
double ScaleValue(size_t D, int32_t E) {
    return 1000.0 * double(D + 1) + E;
}

TestHdf::DataSet WithScales(TestHdf::DataSet Set) {
    for (size_t D = 0; D < Set.Dims.size(); ++D) {
        TestHdf::Scale S{DFNT_FLOAT64, {}};
        for (int32_t E = 0; E < Set.Dims[D]; ++E)
            S.Values.push_back(ScaleValue(D, E));
        Set.Scales.push_back(S);
    }
    return Set;
}

// Reads one whole data set of the file with HDF4 itself, as T elements.
template <typename T> std::vector<double> ReadWithHdf(const std::string& Path, int32_t Index) {
    std::vector<double> Values;
    const int32 File = SDstart(Path.c_str(), DFACC_READ);
    const int32 Sds = SDselect(File, Index);
    char Name[H4_MAX_NC_NAME];
    int32 Rank = 0, Dims[H4_MAX_VAR_DIMS], Type = 0, Attrs = 0;
    if (SDgetinfo(Sds, Name, &Rank, Dims, &Type, &Attrs) == SUCCEED) {
        int32 Count = 1;
        for (int32 D = 0; D < Rank; ++D)
            Count *= Dims[D];
        std::vector<T> Buffer(static_cast<size_t>(Count));
        int32 Start[H4_MAX_VAR_DIMS] = {};
        if (SDreaddata(Sds, Start, nullptr, Dims, Buffer.data()) == SUCCEED)
            Values.assign(Buffer.begin(), Buffer.end());
    }
    SDendaccess(Sds);
    SDend(File);
    return Values;
}

// ---- The worked examples: kept indices and where the points land ---------

struct SkipCase {
    const char* Name;
    std::vector<int32_t> Dims; // HDF order
    int32_t ISkip, JSkip, KSkip;
    std::vector<int32_t> IKept, JKept, KKept; // 1-based source indices, in order
    int32_t Checks;                           // progress checks
    int32_t PointsDone;                       // after the load
    int32_t PlotType;
    std::vector<int32_t> Percents;  // empty: not checked
    int32_t SpotPoint, SpotElement; // a point index and the data element it holds
    int32_t SlabBytes = 0;          // 0: the add-on's own bound
    TestHdf::Storage Store = TestHdf::Storage::Plain;
};

bool Contains(const std::vector<int32_t>& Kept, int32_t Index) {
    return std::find(Kept.begin(), Kept.end(), Index) != Kept.end();
}

// What the load asked of SDreaddata: no more bytes at a time than the slab
// bound (or one value); no plane or row without a kept point read, and no
// read starting or ending on a value that is not kept; every value read at
// most once, in the file's order, so that a compressed element is decoded
// front to back once.
void ExpectReadsOfKeptPlanesAndRowsInFileOrder(const SkipCase& C, int32_t SlabBytes) {
    const size_t Rank = C.Dims.size();
    const std::vector<int32_t>* Kept[3] = {&C.IKept, &C.JKept, &C.KKept};
    int64_t NextFree = 0; // the first value in file order not yet read
    for (const FailableCalls::ReadBox& Box : FailableCalls::Get().ReadBoxes) {
        int64_t Values = 1, First = 0, Last = 0;
        for (size_t Dim = 0; Dim < Rank; ++Dim) {
            const size_t Dir = Rank - 1 - Dim; // I is the last HDF dimension
            const int32_t From = Box.Start[Dim] + 1, To = Box.Start[Dim] + Box.Edge[Dim];
            Values *= Box.Edge[Dim];
            First = First * C.Dims[Dim] + (From - 1);
            Last = Last * C.Dims[Dim] + (To - 1);
            EXPECT_TRUE(Contains(*Kept[Dir], From) && Contains(*Kept[Dir], To))
                << "a read from " << From << " to " << To << " along direction " << Dir;
            for (int32_t Index = From; Dir > 0 && Index <= To; ++Index)
                EXPECT_TRUE(Contains(*Kept[Dir], Index))
                    << "plane or row " << Index << " read along direction " << Dir;
        }
        EXPECT_LE(Values * 8, std::max(SlabBytes, 8)) << "a read of " << Values << " values";
        EXPECT_GE(First, NextFree) << "a read out of order or read twice";
        NextFree = Last + 1;
    }
}

void PrintTo(const SkipCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class WorkedExampleTest : public LoaderTest, public ::testing::WithParamInterface<SkipCase> {};

TEST_P(WorkedExampleTest, KeepsTheSteppedIndicesWithReversedScalesAndOneCheckPerRow) {
    const SkipCase& C = GetParam();
    const size_t Rank = C.Dims.size();
    const std::string Path = TestHdf::TempPath(std::string(C.Name) + ".hdf");
    // Values 0, 1, 2, ...: each point's value is its HDF element number.
    TestHdf::DataSet Source = WithScales(MakeSet("data", DFNT_FLOAT64, C.Dims));
    Source.Store = C.Store;
    TestHdf::Write(Path, {Source});
    if (C.SlabBytes != 0)
        SlabByteLimit = C.SlabBytes;

    ASSERT_TRUE(Replay(Items(Path, C.ISkip, C.JSkip, C.KSkip, {1}))) << Joined(Messages());
    EXPECT_TRUE(Messages().empty()) << Joined(Messages());

    const VyrHost::DataSet* Set = VyrHost::CurrentDataSet();
    ASSERT_NE(Set, nullptr);
    EXPECT_EQ(Set->Title, "Converted HDF data set");
    std::vector<std::string> Names = {"Dimension 1", "Dimension 2", "Dimension 3"};
    Names.resize(Rank);
    Names.push_back("V");
    EXPECT_EQ(Set->VarNames, Names);
    ASSERT_EQ(Set->Zones.size(), 1u);
    const VyrHost::Zone& Z = ZoneAt(1);
    EXPECT_EQ(Z.Name, "Zone 1");
    EXPECT_EQ(Z.ZoneType, 0);
    EXPECT_EQ(Z.IMax, int32_t(C.IKept.size()));
    EXPECT_EQ(Z.JMax, int32_t(C.JKept.size()));
    EXPECT_EQ(Z.KMax, int32_t(C.KKept.size()));

    // Source extents along I, J, K: the HDF dimensions from the last.
    const int32_t SrcI = C.Dims[Rank - 1];
    const int32_t SrcJ = Rank >= 2 ? C.Dims[Rank - 2] : 1;
    const int32_t SrcK = Rank == 3 ? C.Dims[0] : 1;
    EXPECT_EQ(SrcIMax, SrcI);
    EXPECT_EQ(SrcJMax, SrcJ);
    EXPECT_EQ(SrcKMax, SrcK);

    int32_t Point = 1;
    for (int32_t K : C.KKept)
        for (int32_t J : C.JKept)
            for (int32_t I : C.IKept) {
                const int32_t Along[3] = {I, J, K};
                for (size_t Var = 1; Var <= Rank; ++Var)
                    EXPECT_EQ(Z.Value(int32_t(Var), Point),
                              ScaleValue(Rank - Var, Along[Var - 1] - 1))
                        << "variable " << Var << " at point " << Point;
                const int32_t Element = (K - 1) * SrcI * SrcJ + (J - 1) * SrcI + (I - 1);
                EXPECT_EQ(Z.Value(int32_t(Rank + 1), Point), Element) << "point " << Point;
                ++Point;
            }
    EXPECT_EQ(Z.Value(int32_t(Rank + 1), C.SpotPoint), C.SpotElement);

    EXPECT_EQ(VyrHost::PercentDone().Checks, C.Checks);
    EXPECT_EQ(PointsDone, C.PointsDone);
    if (!C.Percents.empty()) {
        EXPECT_EQ(VyrHost::PercentDone().Percents, C.Percents);
    }
    EXPECT_EQ(VyrHost::Frame().PlotType, C.PlotType);
    EXPECT_EQ(VyrHost::Frame().Redraws, 1);
    EXPECT_EQ(VyrHost::Frame().NewFrames, 0);
    ExpectReadsOfKeptPlanesAndRowsInFileOrder(C, SlabByteLimit);
    ExpectLoadLeftNothingHeld();
}

// Each case: name; dims; skips I, J, K; kept along I, J, K; checks;
// points done; plot type; percents (of 5x7: rows end at 0, 300 and 600 of 35
// values; of 2x3x4: rows of 3 more points each, of 24); a point and the
// element it holds; the slab bound in bytes (8 a value) and the storage.
// Bounds below a plane read rows, below a row parts of a row; the chunked
// data sets have chunks of about half each extent, which straddle slabs.
// clang-format off
const std::vector<SkipCase> SkipCases = {
    {"Rank1TenBySkip3", {10}, 3, 1, 1, {1, 4, 7, 10}, {1}, {1}, 1, 3, VYR_PLOT_TYPE_1D, {0}, 3, 6},
    {"Rank2FiveBySevenSkips2And3", {5, 7}, 2, 3, 1, {1, 3, 5, 7}, {1, 4, 5}, {1},
        3, 9, VYR_PLOT_TYPE_2D, {0, 8, 17}, 7, 25},
    {"Rank3FourBySixByElevenSkips3And2And2", {4, 6, 11}, 3, 2, 2, {1, 4, 7, 10, 11},
        {1, 3, 5, 6}, {1, 3, 4}, 12, 48, VYR_PLOT_TYPE_3D, {}, 1, 0},
    {"Rank3TwoByThreeByFourAllSkips1", {2, 3, 4}, 1, 1, 1, {1, 2, 3, 4}, {1, 2, 3}, {1, 2},
        6, 18, VYR_PLOT_TYPE_3D, {0, 12, 25, 37, 50, 62}, 22, 21},
    {"SkipsAtLeastTheExtentKeepFirstAndLast", {2, 1, 9}, 2147483647, 5, 9, {1, 9}, {1}, {1, 2},
        2, 2, VYR_PLOT_TYPE_3D, {}, 4, 17},
    {"SlabsOfOneValueReadOnlyKeptValues", {4, 6, 11}, 3, 2, 2, {1, 4, 7, 10, 11},
        {1, 3, 5, 6}, {1, 3, 4}, 12, 48, VYR_PLOT_TYPE_3D, {}, 28, 2 * 66 + 2 * 11 + 6, 8},
    {"SlabsOfPartsOfARow", {4, 6, 11}, 3, 2, 2, {1, 4, 7, 10, 11},
        {1, 3, 5, 6}, {1, 3, 4}, 12, 48, VYR_PLOT_TYPE_3D, {}, 28, 2 * 66 + 2 * 11 + 6, 8 * 5},
    {"SlabsOfRunsOfRows", {4, 6, 11}, 1, 1, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
        {1, 2, 3, 4, 5, 6}, {1, 4}, 12, 120, VYR_PLOT_TYPE_3D, {}, 67, 3 * 66, 8 * 11 * 4},
    {"SlabsOfRunsOfPlanesSkippingI", {5, 3, 4}, 2, 1, 1, {1, 3, 4}, {1, 2, 3},
        {1, 2, 3, 4, 5}, 15, 30, VYR_PLOT_TYPE_3D, {}, 13, 12 + 4, 8 * 12 * 2},
    {"SlabsOfSingleValuesWhereSkipsExceedExtents", {2, 1, 9}, 2147483647, 5, 9, {1, 9}, {1},
        {1, 2}, 2, 2, VYR_PLOT_TYPE_3D, {}, 4, 17, 8 * 4},
    {"SlabsOfARank1RunBetweenKeptValues", {10}, 3, 1, 1, {1, 4, 7, 10}, {1}, {1}, 1, 3, VYR_PLOT_TYPE_1D,
        {0}, 3, 6, 8 * 4},
    {"ChunkedRowsStraddlingSlabs", {5, 7, 9}, 2, 3, 2, {1, 3, 5, 7, 9}, {1, 4, 7}, {1, 3, 5},
        9, 36, VYR_PLOT_TYPE_3D, {}, 16, 63 * 2, 8 * 9 * 2, TestHdf::Storage::Chunked},
    {"ChunkedPlanesStraddlingSlabs", {5, 7, 9}, 1, 1, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9},
        {1, 2, 3, 4, 5, 6, 7}, {1, 2, 3, 4, 5}, 35, 280, VYR_PLOT_TYPE_3D, {}, 64, 63, 8 * 63 * 2,
        TestHdf::Storage::Chunked},
    {"ChunkedPartsOfRowsInRank2", {7, 9}, 2, 2, 1, {1, 3, 5, 7, 9}, {1, 3, 5, 7}, {1},
        4, 16, VYR_PLOT_TYPE_2D, {}, 7, 18 + 2, 8 * 4, TestHdf::Storage::Chunked},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Examples, WorkedExampleTest, ::testing::ValuesIn(SkipCases),
                         [](const ::testing::TestParamInfo<SkipCase>& Info) {
                             return std::string(Info.param.Name);
                         });

// ---- Skipped extents ----------------------------------------------------------

TEST(SkippedExtentTest, CountsTheIndicesTheSteppingRuleVisits) {
    struct Case {
        int32_t Extent, Skip, Expected;
    };
    const Case Cases[] = {{10, 1, 10},
                          {1, 5, 1},
                          {2, 7, 2},
                          {10, 3, 4},
                          {7, 2, 4},
                          {5, 3, 3},
                          {11, 3, 5},
                          {3, 3, 2},
                          {9, 100, 2},
                          {4, 2, 3},
                          {2147483647, 2147483647, 2},
                          {2147483647, 2, 1073741824}};
    for (const Case& C : Cases) {
        EXPECT_EQ(SkippedExtent(C.Extent, C.Skip), C.Expected) << C.Extent << " by " << C.Skip;
        if (C.Expected > 100)
            continue; // walking a billion indices proves nothing more
        int32_t Visited = 1;
        for (int32_t Index = 1; Index != C.Extent && Visited <= C.Expected; ++Visited)
            Index = NextSourceIndex(Index, C.Skip, C.Extent);
        EXPECT_EQ(Visited, C.Expected) << C.Extent << " by " << C.Skip;
    }
}

TEST(SkippedExtentTest, NextIndexNeverPassesTheExtentForTheLargestSkip) {
    EXPECT_EQ(NextSourceIndex(1, 2147483647, 10), 10);
    EXPECT_EQ(NextSourceIndex(2147483646, 2147483647, 2147483647), 2147483647);
    EXPECT_EQ(NextSourceIndex(5, 3, 2147483647), 8);
}

// ---- Number types: values and scales arrive exactly -----------------------------

struct TypeCase {
    const char* Name;
    int32_t NumberType;
    int32_t FieldType;
    std::vector<double> Values;
};

void PrintTo(const TypeCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class NumberTypeTest : public LoaderTest, public ::testing::WithParamInterface<TypeCase> {};

TEST_P(NumberTypeTest, ValuesAndScaleArriveExactlyInTheHostFieldType) {
    const TypeCase& C = GetParam();
    const std::string Path = TestHdf::TempPath(std::string(C.Name) + ".hdf");
    const std::vector<double> ScaleValues(C.Values.rbegin(), C.Values.rend());
    TestHdf::DataSet Set = MakeSet("values", C.NumberType, {int32_t(C.Values.size())}, C.Values);
    Set.Scales = {{C.NumberType, ScaleValues}};
    TestHdf::Write(Path, {Set});

    ASSERT_TRUE(Replay(Items(Path, 1, 1, 1, {1}))) << Joined(Messages());
    const VyrHost::Zone& Z = ZoneAt(1);
    EXPECT_EQ(Z.FieldTypes, (std::vector<VyrFieldType_t>{C.FieldType, C.FieldType}));
    EXPECT_EQ(VarValues(Z, 1), ScaleValues);
    EXPECT_EQ(VarValues(Z, 2), C.Values);
    ExpectLoadLeftNothingHeld();
}

INSTANTIATE_TEST_SUITE_P(
    EveryAcceptedType, NumberTypeTest,
    ::testing::Values(
        TypeCase{
            "Float32", DFNT_FLOAT32, VYR_FIELD_TYPE_FLOAT, {-1.5, 0.25, 3.4028234663852886e38}},
        TypeCase{
            "Float64", DFNT_FLOAT64, VYR_FIELD_TYPE_DOUBLE, {-1e300, 0.1, 4.9406564584124654e-324}},
        TypeCase{"Int8", DFNT_INT8, VYR_FIELD_TYPE_INT16, {-128, 0, 127}},
        TypeCase{"UInt8", DFNT_UINT8, VYR_FIELD_TYPE_BYTE, {0, 128, 255}},
        TypeCase{"Int16", DFNT_INT16, VYR_FIELD_TYPE_INT16, {-32768, 1, 32767}},
        TypeCase{"UInt16", DFNT_UINT16, VYR_FIELD_TYPE_INT32, {0, 32768, 65535}},
        TypeCase{"Int32", DFNT_INT32, VYR_FIELD_TYPE_INT32, {-2147483648.0, 0, 2147483647}},
        TypeCase{"UInt32", DFNT_UINT32, VYR_FIELD_TYPE_DOUBLE, {0, 2147483648.0, 4294967295.0}}),
    [](const ::testing::TestParamInfo<TypeCase>& Info) { return std::string(Info.param.Name); });

TEST_F(LoaderTest, EachCoordinateVariableTakesTheFieldTypeOfItsOwnScale) {
    const std::string Path = TestHdf::TempPath("mixed-scales.hdf");
    TestHdf::DataSet Set = MakeSet("mixed", DFNT_INT16, {2, 3});
    Set.Scales = {{DFNT_FLOAT32, {0.5, 1.5}}}; // HDF dimension 1 keeps no scale: 1..3
    TestHdf::Write(Path, {Set});

    ASSERT_TRUE(Replay(Items(Path, 1, 1, 1, {1}))) << Joined(Messages());
    const VyrHost::Zone& Z = ZoneAt(1);
    EXPECT_EQ(Z.FieldTypes, (std::vector<VyrFieldType_t>{VYR_FIELD_TYPE_INT32, VYR_FIELD_TYPE_FLOAT,
                                                         VYR_FIELD_TYPE_INT16}));
    EXPECT_EQ(VarValues(Z, 1), (std::vector<double>{1, 2, 3, 1, 2, 3}));
    EXPECT_EQ(VarValues(Z, 2), (std::vector<double>{0.5, 0.5, 0.5, 1.5, 1.5, 1.5}));
    EXPECT_EQ(VarValues(Z, 3), (std::vector<double>{0, 1, 2, 3, 4, 5}));
}

// ---- Inputs FillZone refuses rather than write outside the zone -----------------

TEST_F(LoaderTest, FillZoneAddsNoZoneForInputsThatDisagree) {
    int32_t Scale[4] = {1, 2, 3, 4};
    float Data[4] = {0.5f, 1.5f, 2.5f, 3.5f};
    SdsEntry Good = {};
    Good.Rank = 1;
    Good.DimSizes[0] = 4;
    Good.ScaleFieldType[0] = VYR_FIELD_TYPE_INT32;
    Good.ScaleNumberType[0] = DFNT_INT32;
    Good.ScaleBuffer[0] = reinterpret_cast<char*>(Scale);
    Good.DataFieldType = VYR_FIELD_TYPE_FLOAT;
    Good.DataNumberType = DFNT_FLOAT32;
    Good.DataBuffer = reinterpret_cast<char*>(Data);
    SdsEntry NoData = Good;
    NoData.DataBuffer = nullptr;
    SdsEntry NoRank = Good;
    NoRank.Rank = 0;

    VyrStringList_pa Names = VyrUtilStringListAlloc();
    VyrUtilStringListAppendString(Names, "Dimension 1");
    VyrUtilStringListAppendString(Names, "V");
    ASSERT_TRUE(VyrUtilDataSetCreate("Converted HDF data set", Names, true));
    VyrUtilStringListDealloc(&Names);
    SrcIMax = 4;
    SrcJMax = SrcKMax = ISkip = JSkip = KSkip = 1;
    PointsTotal = 4;
    VyrUtilDialogLaunchPercentDone("Reading HDF Information...", true);

    EXPECT_FALSE(FillZone(Good, 1, 5, 1, 1)); // one point more than the source has
    EXPECT_FALSE(FillZone(NoData, 1, 4, 1, 1));
    EXPECT_FALSE(FillZone(NoRank, 1, 4, 1, 1));
    EXPECT_TRUE(VyrHost::CurrentDataSet()->Zones.empty());
    EXPECT_TRUE(FillZone(Good, 1, 4, 1, 1));
    EXPECT_EQ(VarValues(ZoneAt(1), 2), (std::vector<double>{0.5, 1.5, 2.5, 3.5}));
    VyrUtilDialogDropPercentDone();
}

// ---- Several data sets --------------------------------------------------------------

TEST_F(LoaderTest, SelectedDataSetsBecomeZonesOneTwoInCatalogueOrder) {
    const std::string Path = TestHdf::TempPath("five.hdf");
    std::vector<TestHdf::DataSet> Sets;
    for (int32_t N = 1; N <= 5; ++N) {
        std::vector<double> Values;
        for (int32_t E = 0; E < N + 2; ++E)
            Values.push_back(100.0 * N + E);
        Sets.push_back(MakeSet("set" + std::to_string(N), DFNT_INT32, {N + 2}, Values));
    }
    TestHdf::Write(Path, Sets);

    // The list names them out of order; the zones follow the catalogue.
    ASSERT_TRUE(Replay({"M" + Path, "S5", "S2"})) << Joined(Messages());
    const VyrHost::DataSet* Set = VyrHost::CurrentDataSet();
    ASSERT_NE(Set, nullptr);
    ASSERT_EQ(Set->Zones.size(), 2u);
    EXPECT_EQ(ZoneAt(1).Name, "Zone 1");
    EXPECT_EQ(VarValues(ZoneAt(1), 2), (std::vector<double>{200, 201, 202, 203}));
    EXPECT_EQ(ZoneAt(2).Name, "Zone 2");
    EXPECT_EQ(VarValues(ZoneAt(2), 2), (std::vector<double>{500, 501, 502, 503, 504, 505, 506}));
    EXPECT_EQ(VarValues(ZoneAt(2), 1), (std::vector<double>{1, 2, 3, 4, 5, 6, 7}));
    // Progress runs on across zones: 4 + 7 source values in all.
    EXPECT_EQ(PointsTotal, 11);
    EXPECT_EQ(PointsDone, 3 + 6);
    ExpectLoadLeftNothingHeld();
}

TEST_F(LoaderTest, PointsTotalCountsSourceValuesOfAllSelectedSetsWhateverTheSkips) {
    const std::string Path = TestHdf::TempPath("two-rank3.hdf");
    TestHdf::Write(
        Path, {MakeSet("small", DFNT_INT8, {2, 3, 4}), MakeSet("large", DFNT_UINT8, {5, 6, 7})});

    ASSERT_TRUE(Replay(Items(Path, 2, 3, 2, {1, 2}))) << Joined(Messages());
    EXPECT_EQ(PointsTotal, 234);
    EXPECT_EQ(VyrHost::CurrentDataSet()->Zones.size(), 2u);
}

// ---- Real files ------------------------------------------------------------------------

TEST_F(LoaderTest, RealInt8RankThreeFileLoadsItsValuesAndItsStoredScales) {
    const std::optional<std::string> Real = TestHdf::RealFile("int8-rank3-with-scales.hdf");
    if (!Real)
        GTEST_SKIP() << TestHdf::RealFilesMissing();
    const std::string& Path = *Real;
    // Data set 3 of the file, 2x3x4; data sets 0 to 2 are its scales.
    const std::vector<double> Data = ReadWithHdf<int8_t>(Path, 3);
    const std::vector<double> ScaleK = ReadWithHdf<int8_t>(Path, 0);
    const std::vector<double> ScaleI = ReadWithHdf<int8_t>(Path, 2);
    ASSERT_EQ(Data.size(), 24u);

    ASSERT_TRUE(Replay(Items(Path, 1, 1, 1, {1}))) << Joined(Messages());
    const VyrHost::Zone& Z = ZoneAt(1);
    EXPECT_EQ(Z.IMax, 4);
    EXPECT_EQ(Z.JMax, 3);
    EXPECT_EQ(Z.KMax, 2);
    EXPECT_EQ(Z.FieldTypes,
              (std::vector<VyrFieldType_t>{VYR_FIELD_TYPE_INT16, VYR_FIELD_TYPE_INT16,
                                           VYR_FIELD_TYPE_INT16, VYR_FIELD_TYPE_INT16}));
    EXPECT_EQ(VarValues(Z, 4), Data);
    EXPECT_EQ(Z.Value(1, 4), ScaleI[3]);  // I is the last HDF dimension
    EXPECT_EQ(Z.Value(3, 13), ScaleK[1]); // first point of the second K plane
    ExpectLoadLeftNothingHeld();
}

TEST_F(LoaderTest, RealCompressedDataSetsReadLikeTheLibraryReadsThem) {
    const std::optional<std::string> Real = TestHdf::RealFile("compressed-gzip-skiphuff-szip.hdf");
    if (!Real)
        GTEST_SKIP() << TestHdf::RealFilesMissing();
    const std::string& Path = *Real;
    const std::vector<double> Deflated = ReadWithHdf<int32_t>(Path, 0);
    const std::vector<double> SkipHuffman = ReadWithHdf<int32_t>(Path, 1);
    ASSERT_EQ(Deflated.size(), 80u);

    ASSERT_TRUE(Replay(Items(Path, 1, 1, 1, {1, 2}))) << Joined(Messages());
    EXPECT_EQ(VarValues(ZoneAt(1), 3), Deflated);
    EXPECT_EQ(VarValues(ZoneAt(2), 3), SkipHuffman);
    ExpectLoadLeftNothingHeld();
}

} // namespace
