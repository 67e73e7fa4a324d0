// What a successful scan stores: one packed record per convertible data set,
// with its place in the file, extents, texts and number types.
#include "catalogue_fixture.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

using ScanRecords = CatalogueTest;
using TestHdf::DataSet;

TEST_F(ScanRecords, PassedOverDataSetsLeaveNoGapAndRecordsKeepTheirFileIndex) {
    // File order: a coordinate variable (index 0), then ranks 2, 4 and 3.
    const std::string Path = TestHdf::TempPath("packing.hdf");
    TestHdf::WriteCoordinateVariableFirst(Path, {{3, 4}, {2, 2, 2, 2}, {2, 3, 4}});
    ASSERT_TRUE(Scan(Path));
    EXPECT_TRUE(Messages().empty());
    ASSERT_EQ(SdsCount, 2);
    EXPECT_EQ(SdsEntries[0].HdfIndex, 1);
    EXPECT_EQ(SdsEntries[0].Rank, 2);
    EXPECT_EQ(SdsEntries[1].HdfIndex, 3);
    EXPECT_EQ(SdsEntries[1].Rank, 3);
    EXPECT_EQ(std::vector<int32_t>(SdsEntries[1].DimSizes, SdsEntries[1].DimSizes + 3),
              (std::vector<int32_t>{2, 3, 4}));
}

TEST_F(ScanRecords, ADataSetsOwnScaleVariableIsPassedOverAfterIt) {
    // File order: rank 2 (index 0), its dimension's coordinate variable
    // (index 1), rank 4 (index 2), rank 3 (index 3).
    DataSet Rank2 = Set({3, 4});
    Rank2.Scales = {{6, {10, 20, 30}}};
    ASSERT_TRUE(
        Scan(TestHdf::WriteTemp("packing.hdf", {Rank2, Set({2, 2, 2, 2}), Set({2, 3, 4}, 22)})));
    EXPECT_TRUE(Messages().empty());
    ASSERT_EQ(SdsCount, 2);
    EXPECT_EQ(SdsEntries[0].HdfIndex, 0);
    EXPECT_EQ(SdsEntries[1].HdfIndex, 3);
}

TEST_F(ScanRecords, LowerRanksFillTheUnusedExtentsWithOneAndHaveNoScaleBuffersThere) {
    DataSet Rank1 = Set({10});
    Rank1.Scales = {{6, {0.5, 1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5, 5}}};
    DataSet Scalar = Set({});
    Scalar.Label = "a scalar";
    ASSERT_TRUE(
        Scan(TestHdf::WriteTemp("ranks.hdf", {Rank1, Set({10}), Set({7, 5}), Scalar, Set({})})));
    EXPECT_TRUE(Messages().empty());
    ASSERT_EQ(SdsCount, 5);
    for (int32_t R = 0; R < SdsCount; ++R) {
        const SdsEntry& E = SdsEntries[R];
        SCOPED_TRACE(R);
        EXPECT_EQ(E.DimSizes[2], 1);
        EXPECT_EQ(E.ScaleBuffer[2], nullptr);
        if (E.Rank <= 1) {
            EXPECT_EQ(E.DimSizes[0], E.Rank == 1 ? 10 : 1);
            EXPECT_EQ(E.DimSizes[1], 1);
            EXPECT_EQ(E.ScaleBuffer[1], nullptr);
        }
        if (E.Rank == 0) {
            EXPECT_EQ(E.ScaleBuffer[0], nullptr);
        }
    }
    EXPECT_EQ(SdsEntries[0].Rank, 1);
    EXPECT_EQ(ScaleValues(SdsEntries[0], 0), Rank1.Scales[0].Values);
    EXPECT_EQ(SdsEntries[1].HdfIndex, 2); // after the first one's coordinate variable
    ExpectIndexScale(SdsEntries[1], 0);
    EXPECT_EQ(SdsEntries[2].Rank, 2);
    EXPECT_EQ(SdsEntries[2].DimSizes[0], 7);
    EXPECT_EQ(SdsEntries[2].DimSizes[1], 5);
    // Scalars keep their place in the file and their texts, like any record.
    EXPECT_EQ(SdsEntries[3].Rank, 0);
    EXPECT_EQ(SdsEntries[3].HdfIndex, 4);
    EXPECT_STREQ(SdsEntries[3].Label, "a scalar");
    EXPECT_EQ(SdsEntries[3].DataNumberType, 5);
    EXPECT_EQ(SdsEntries[4].Rank, 0);
    EXPECT_EQ(SdsEntries[4].HdfIndex, 5);
    EXPECT_EQ(ScaleBuffersOutstanding(), 1 + 1 + 2);

    // A file of one scalar alone has one record.
    ASSERT_TRUE(Scan(TestHdf::WriteTemp("scalar.hdf", {Set({}, 24)})));
    ASSERT_EQ(SdsCount, 1);
    EXPECT_EQ(SdsEntries[0].Rank, 0);
    EXPECT_EQ(SdsEntries[0].DataNumberType, 24);
    EXPECT_EQ(ScaleBuffersOutstanding(), 0);
}

TEST_F(ScanRecords, TextsAreCutTo256CharactersAndAbsentOnesAreEmpty) {
    DataSet Long = Set({2});
    Long.Label = std::string(250, 'a') + std::string(50, 'b'); // 300 characters
    Long.Format = "F8.3";
    DataSet Exact = Set({2});
    Exact.Label = std::string(256, 'c');
    Exact.Unit = std::string(255, 'u');
    Exact.CoordSys = "cartesian";
    ASSERT_TRUE(Scan(TestHdf::WriteTemp("texts.hdf", {Long, Exact, Set({2})})));
    ASSERT_EQ(SdsCount, 3);
    EXPECT_EQ(std::string(SdsEntries[0].Label), Long.Label.substr(0, 256));
    EXPECT_STREQ(SdsEntries[0].Unit, "");
    EXPECT_STREQ(SdsEntries[0].Format, "F8.3");
    EXPECT_STREQ(SdsEntries[0].CoordSys, "");
    EXPECT_EQ(std::string(SdsEntries[1].Label), Exact.Label);
    EXPECT_EQ(std::string(SdsEntries[1].Unit), Exact.Unit);
    EXPECT_STREQ(SdsEntries[1].Format, "");
    EXPECT_STREQ(SdsEntries[1].CoordSys, "cartesian");
    for (const char* Text :
         {SdsEntries[2].Label, SdsEntries[2].Unit, SdsEntries[2].Format, SdsEntries[2].CoordSys})
        EXPECT_STREQ(Text, "");
}

TEST_F(ScanRecords, CompressedAndChunkedDataSetsAreCatalogued) {
    DataSet Deflated = Set({6, 5}, 24);
    Deflated.Store = TestHdf::Storage::Deflate;
    Deflated.Scales = {{22, {-3, -2, -1, 0, 1, 2}}};
    DataSet Chunked = Set({4, 6, 3}, 6);
    Chunked.Store = TestHdf::Storage::Chunked;
    Chunked.Scales = {{}, {5, {0, 0.25, 0.5, 0.75, 1, 1.25}}};
    ASSERT_TRUE(Scan(TestHdf::WriteTemp("stored.hdf", {Deflated, Chunked})));
    ASSERT_EQ(SdsCount, 2);
    EXPECT_EQ(SdsEntries[0].DataNumberType, 24);
    EXPECT_EQ(ScaleValues(SdsEntries[0], 0), Deflated.Scales[0].Values);
    ExpectIndexScale(SdsEntries[0], 1);
    EXPECT_EQ(SdsEntries[1].Rank, 3);
    ExpectIndexScale(SdsEntries[1], 0);
    EXPECT_EQ(ScaleValues(SdsEntries[1], 1), Chunked.Scales[1].Values);
    ExpectIndexScale(SdsEntries[1], 2);
}

TEST_F(ScanRecords, AnUnlimitedDimensionHasItsNumberOfRecordsAsExtent) {
    DataSet Growing = Set({5, 2}, 24);
    Growing.UnlimitedFirst = true;
    DataSet Empty = Set({0, 3}, 22);
    Empty.UnlimitedFirst = true;
    ASSERT_TRUE(Scan(TestHdf::WriteTemp("unlimited.hdf", {Growing, Empty})));
    ASSERT_EQ(SdsCount, 2);
    EXPECT_EQ(SdsEntries[0].DimSizes[0], 5);
    ExpectIndexScale(SdsEntries[0], 0);
    EXPECT_EQ(SdsEntries[1].DimSizes[0], 0);
    EXPECT_EQ(SdsEntries[1].DimSizes[1], 3);
    ExpectIndexScale(SdsEntries[1], 0);
}

TEST_F(ScanRecords, ASecondScanOfASmallerFileGivesBackTheFirstScansBuffers) {
    std::vector<DataSet> Five;
    for (int32_t I = 0; I < 5; ++I) {
        DataSet S = Set({3, 4});
        S.Scales = {{21, {1, 2, 3}}, {23, {4, 5, 6, 7}}};
        Five.push_back(S);
    }
    const int32_t Baseline = VyrHost::OutstandingAllocations(); // the add-on's own set
    ASSERT_TRUE(Scan(TestHdf::WriteTemp("five.hdf", Five)));
    EXPECT_EQ(SdsCount, 5);
    EXPECT_EQ(ScaleBuffersOutstanding(), 10);
    ASSERT_TRUE(Scan(TestHdf::WriteTemp("two.hdf", {Set({3}), Set({2, 2, 2})})));
    EXPECT_EQ(SdsCount, 2);
    EXPECT_EQ(ScaleBuffersOutstanding(), 1 + 3);
    EXPECT_EQ(VyrHost::OutstandingAllocations(), Baseline + 4);
    FreeSdsEntries();
    EXPECT_EQ(SdsCount, 0);
    EXPECT_EQ(VyrHost::OutstandingAllocations(), Baseline);
    EXPECT_EQ(VyrHost::LockDepth(), 0);
}

} // namespace
