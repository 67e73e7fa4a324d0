// Dimension scales read during the scan: the file's own scale where it is
// usable, in its own number type, otherwise the index scale 1..n.
#include "catalogue_fixture.h"

#include <string>
#include <vector>

namespace {

using ScanScales = CatalogueTest;
using TestHdf::DataSet;

TEST_F(ScanScales, FileScalesOfEveryTypeAreReadInTheirOwnType) {
    struct Case {
        int32_t Type, FieldType, ElemSize;
        std::vector<double> Values;
    };
    const Case Cases[] = {
        {5, VYR_FIELD_TYPE_FLOAT, 4, {-1.5, 0, 2.25}},
        {6, VYR_FIELD_TYPE_DOUBLE, 8, {1e-300, -7.125, 1e300}},
        {20, VYR_FIELD_TYPE_INT16, 1, {-128, 0, 127}},
        {21, VYR_FIELD_TYPE_BYTE, 1, {0, 128, 255}},
        {22, VYR_FIELD_TYPE_INT16, 2, {-32768, 1, 32767}},
        {23, VYR_FIELD_TYPE_INT32, 2, {0, 40000, 65535}},
        {24, VYR_FIELD_TYPE_INT32, 4, {-2147483648.0, 5, 2147483647}},
        {25, VYR_FIELD_TYPE_DOUBLE, 4, {0, 3000000000.0, 4294967295.0}},
    };
    std::vector<DataSet> Sets;
    for (const Case& C : Cases) {
        DataSet S = Set({3, 2}, 6); // the data's type differs from most scales'
        S.Scales = {{C.Type, C.Values}};
        Sets.push_back(S);
    }
    ASSERT_TRUE(Scan(TestHdf::WriteTemp("scale-types.hdf", Sets)));
    EXPECT_TRUE(Messages().empty());
    ASSERT_EQ(SdsCount, 8);
    for (int32_t I = 0; I < 8; ++I) {
        SCOPED_TRACE(Cases[I].Type);
        const SdsEntry& E = SdsEntries[I];
        EXPECT_EQ(E.ScaleNumberType[0], Cases[I].Type);
        EXPECT_EQ(E.ScaleFieldType[0], Cases[I].FieldType);
        EXPECT_EQ(E.ScaleElemSize[0], Cases[I].ElemSize);
        EXPECT_EQ(ScaleValues(E, 0), Cases[I].Values);
        ExpectIndexScale(E, 1);
    }
}

TEST_F(ScanScales, AScaleOfAnotherExtentThanTheDataSetsGivesTheIndexScale) {
    // SDdiminfo reports an unlimited dimension's extent as 0, whatever the
    // records of the data set or of its scale.
    DataSet Longer = Set({3, 2});
    Longer.UnlimitedFirst = true;
    Longer.Scales = {{6, {1, 2, 3, 4, 5, 6, 7, 8}}, {24, {7, 9}}};
    DataSet Same = Set({4});
    Same.UnlimitedFirst = true;
    Same.Scales = {{5, {1, 2, 3, 4}}};
    ASSERT_TRUE(Scan(TestHdf::WriteTemp("unlimited-scales.hdf", {Longer, Same})));
    EXPECT_TRUE(Messages().empty());
    ASSERT_EQ(SdsCount, 2);
    ExpectIndexScale(SdsEntries[0], 0);
    EXPECT_EQ(ScaleValues(SdsEntries[0], 1), (std::vector<double>{7, 9}));
    ExpectIndexScale(SdsEntries[1], 0);
}

TEST_F(ScanScales, AnEmptyUnlimitedDimensionWithAScaleGetsAnEmptyIndexScale) {
    // Extent 0 in both SDgetinfo and SDdiminfo, yet SDgetdimscale would
    // write the scale's 6 records: no buffer is sized from that 0.
    DataSet Empty = Set({0, 2});
    Empty.UnlimitedFirst = true;
    Empty.Scales = {{6, {1, 2, 3, 4, 5, 6}}};
    ASSERT_TRUE(Scan(TestHdf::WriteTemp("empty-unlimited-scale.hdf", {Empty})));
    ASSERT_EQ(SdsCount, 1);
    EXPECT_EQ(SdsEntries[0].DimSizes[0], 0);
    ExpectIndexScale(SdsEntries[0], 0);
    ExpectIndexScale(SdsEntries[0], 1);
}

struct SixtyFourBitCase {
    const char* What;
    int32_t ExtentShift; // added to the extent SDdiminfo reports
    std::vector<std::string> Messages;
};

TEST_F(ScanScales, ASixtyFourBitScaleGivesTheIndexScaleAndTheScanGoesOn) {
    // HDF4's SD writer refuses 64-bit scales: HDF4 reports dimension 0's
    // float64 scale as a 64-bit integer one, as it would for such a file.
    const SixtyFourBitCase Cases[] = {
        {"matching extent", 0, {"64-bit data values are not supported"}},
        {"other extent", 1, {}},
    };
    for (const SixtyFourBitCase& Case : Cases) {
        SCOPED_TRACE(Case.What);
        DataSet S = Set({3, 2});
        S.Scales = {{6, {1, 2, 3}}, {6, {4, 5}}};
        const std::string Path = TestHdf::WriteTemp(std::string(Case.What) + ".hdf", {S});
        HdfFault::OnDimInfo([&](char* Name, int32_t* Extent, int32_t* Type) {
            if (std::string(Name) == "fakeDim0") {
                *Type = 26;
                *Extent += Case.ExtentShift;
            }
        });
        const size_t Before = Messages().size();
        ASSERT_TRUE(Scan(Path));
        EXPECT_EQ(std::vector<std::string>(Messages().begin() + Before, Messages().end()),
                  Case.Messages);
        ASSERT_EQ(SdsCount, 1);
        ExpectIndexScale(SdsEntries[0], 0);
        EXPECT_EQ(ScaleValues(SdsEntries[0], 1), (std::vector<double>{4, 5}));
    }
}

TEST_F(ScanScales, AScaleOfATypeOutsideTheTableGivesTheIndexScaleSilently) {
    // A character scale's coordinate variable would fail the whole scan
    // (its own type is outside the table), so HDF4 reports dimension 0's
    // float32 scale as one of 8-bit unsigned characters instead.
    DataSet S = Set({3});
    S.Scales = {{5, {65, 66, 67}}};
    const std::string Path = TestHdf::WriteTemp("char-scale.hdf", {S});
    HdfFault::OnDimInfo([](char*, int32_t*, int32_t* Type) { *Type = 3; });
    ASSERT_TRUE(Scan(Path));
    EXPECT_TRUE(Messages().empty());
    ASSERT_EQ(SdsCount, 1);
    ExpectIndexScale(SdsEntries[0], 0);
}

} // namespace
