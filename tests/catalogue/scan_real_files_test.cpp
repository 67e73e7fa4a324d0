// Scans of real HDF4 files written by other HDF4 writers over the years
// (shared/data/hdf4-real, or LOADHDF_REAL_FILES): what each yields, and the
// scales found in them. Skipped when the folder is absent.
#include "catalogue_fixture.h"

#include <string>
#include <vector>

namespace {

class ScanRealFiles : public CatalogueTest {
  protected:
    void SetUp() override {
        CatalogueTest::SetUp();
        if (!TestHdf::RealFile("")) // the folder itself
            GTEST_SKIP() << TestHdf::RealFilesMissing();
    }
    // A real file's path; SetUp has skipped the test when there is none.
    static std::string Real(const std::string& FileName) {
        return TestHdf::RealFile(FileName).value();
    }
};

struct RealFileCase {
    const char* File;
    int32_t Records;                 // 0: the scan fails
    std::vector<int32_t> HdfIndexes; // of the records
    std::vector<int32_t> Types;      // DataNumberType of the records
};

TEST_F(ScanRealFiles, EachFileYieldsItsConvertibleDataSetsInFileOrder) {
    const std::vector<int32_t> Forty(40, 22);
    std::vector<int32_t> FortyIndexes;
    for (int32_t I = 0; I < 40; ++I)
        FortyIndexes.push_back(I);
    const RealFileCase Cases[] = {
        // szip data cannot be decoded here, but its description can be read
        {"compressed-gzip-skiphuff-szip.hdf", 3, {0, 1, 2}, {24, 24, 24}},
        // 21 data sets: each data set follows its two coordinate variables
        {"coordvars-many-types.hdf", 7, {2, 5, 8, 11, 14, 17, 20}, {5, 20, 21, 22, 23, 24, 25}},
        {"empty-unlimited-40.hdf", 40, FortyIndexes, Forty},
        {"int32-ranks-1-2-3.hdf", 3, {0, 1, 2}, {24, 24, 24}},
        {"int8-rank3-with-scales.hdf", 1, {3}, {20}},
        {"mixed-types-old-writer.hdf", 5, {0, 1, 2, 3, 4}, {20, 22, 24, 5, 6}},
        // the coordinate variable shares the data set's name but is not stored
        {"sds-and-coordvar-same-name.hdf", 1, {0}, {5}},
    };
    for (const RealFileCase& Case : Cases) {
        SCOPED_TRACE(Case.File);
        ASSERT_TRUE(Scan(Real(Case.File)));
        EXPECT_TRUE(Messages().empty());
        ASSERT_EQ(SdsCount, Case.Records);
        std::vector<int32_t> Indexes, Types;
        for (int32_t I = 0; I < SdsCount; ++I) {
            Indexes.push_back(SdsEntries[I].HdfIndex);
            Types.push_back(SdsEntries[I].DataNumberType);
            for (int32_t D = 0; D < SdsEntries[I].Rank; ++D)
                EXPECT_NE(SdsEntries[I].ScaleBuffer[D], nullptr);
        }
        EXPECT_EQ(Indexes, Case.HdfIndexes);
        EXPECT_EQ(Types, Case.Types);
    }
}

TEST_F(ScanRealFiles, StoredCoordinateVariablesBecomeTheScalesOfTheirDimensions) {
    ASSERT_TRUE(Scan(Real("int8-rank3-with-scales.hdf")));
    ASSERT_EQ(SdsCount, 1);
    const SdsEntry& E = SdsEntries[0];
    EXPECT_EQ(std::vector<int32_t>(E.DimSizes, E.DimSizes + 3), (std::vector<int32_t>{2, 3, 4}));
    for (int32_t D = 0; D < 3; ++D) {
        EXPECT_EQ(E.ScaleNumberType[D], 20);
        EXPECT_EQ(E.ScaleFieldType[D], 4);
        EXPECT_EQ(E.ScaleElemSize[D], 1);
    }
    EXPECT_EQ(ScaleValues(E, 0), (std::vector<double>{0, 100}));
    EXPECT_EQ(ScaleValues(E, 1), (std::vector<double>{0, 10, 20}));
    EXPECT_EQ(ScaleValues(E, 2), (std::vector<double>{0, 1, 2, 3}));

    ASSERT_TRUE(Scan(Real("coordvars-many-types.hdf")));
    ASSERT_EQ(SdsCount, 7);
    EXPECT_EQ(ScaleValues(SdsEntries[0], 0),
              (std::vector<double>{10, 50, 90, 130, 170, 210, 250, 290, 330, 370}));
    EXPECT_EQ(SdsEntries[0].ScaleNumberType[0], 5);
    ExpectIndexScale(SdsEntries[0], 1); // its scale's number type is not set
    EXPECT_EQ(ScaleValues(SdsEntries[1], 0).front(), -90.0);
    EXPECT_EQ(SdsEntries[1].ScaleNumberType[0], 20);
}

TEST_F(ScanRealFiles, UnlimitedDimensionsOfAnOldWriterGetTheIndexScale) {
    ASSERT_TRUE(Scan(Real("mixed-types-old-writer.hdf")));
    ASSERT_EQ(SdsCount, 5);
    EXPECT_EQ(SdsEntries[0].DimSizes[0], 9); // records of the unlimited dimension
    EXPECT_EQ(SdsEntries[3].Rank, 3);
    EXPECT_EQ(std::vector<int32_t>(SdsEntries[3].DimSizes, SdsEntries[3].DimSizes + 3),
              (std::vector<int32_t>{8, 7, 8}));
    for (int32_t I = 0; I < SdsCount; ++I)
        for (int32_t D = 0; D < SdsEntries[I].Rank; ++D)
            ExpectIndexScale(SdsEntries[I], D);

    ASSERT_TRUE(Scan(Real("empty-unlimited-40.hdf")));
    ASSERT_EQ(SdsCount, 40);
    EXPECT_EQ(SdsEntries[39].DimSizes[0], 0);
    EXPECT_EQ(SdsEntries[39].DimSizes[1], 10);
    ExpectIndexScale(SdsEntries[39], 0);
    ExpectIndexScale(SdsEntries[39], 1);
    EXPECT_EQ(ScaleBuffersOutstanding(), 80);
}

} // namespace
