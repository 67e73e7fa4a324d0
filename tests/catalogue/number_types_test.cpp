// The number-type table: which HDF codes are accepted, into which host field
// data type and element size, and how one element is widened to a double.
#include "catalogue_fixture.h"

#include <cstring>
#include <vector>

namespace {

// A buffer that any read would fault on; volatile, so that the compiler
// cannot see it is null and warn about the reads that never happen.
const void* volatile NoBuffer = nullptr;

using NumberTypeTable = CatalogueTest;

struct Mapping {
    int32_t Code, FieldType, ElemSize;
};

TEST_F(NumberTypeTable, EachAcceptedCodeGivesAHostTypeThatHoldsItsValuesAndItsElementSize) {
    const Mapping Cases[] = {{5, VYR_FIELD_TYPE_FLOAT, 4},  {6, VYR_FIELD_TYPE_DOUBLE, 8},
                             {20, VYR_FIELD_TYPE_INT16, 1}, {21, VYR_FIELD_TYPE_BYTE, 1},
                             {22, VYR_FIELD_TYPE_INT16, 2}, {23, VYR_FIELD_TYPE_INT32, 2},
                             {24, VYR_FIELD_TYPE_INT32, 4}, {25, VYR_FIELD_TYPE_DOUBLE, 4}};
    for (const Mapping& Case : Cases) {
        int32_t FieldType = -7, ElemSize = -7;
        EXPECT_TRUE(MapNumberType(&FieldType, &ElemSize, Case.Code)) << Case.Code;
        EXPECT_EQ(FieldType, Case.FieldType) << Case.Code;
        EXPECT_EQ(ElemSize, Case.ElemSize) << Case.Code;
    }
    EXPECT_TRUE(Messages().empty());
}

// 64-bit codes (26, 27) are refused with a message every time, all others
// silently: 3 and 4 are HDF4's 8-bit character types; 4120 is 24 with a
// modifier bit (4096), which is compared whole and so not in the table.
TEST_F(NumberTypeTable, RefusedCodesLeaveTheOutputsAndOnlySixtyFourBitOnesSayWhy) {
    for (int32_t Code : {26, 7, 3, 27, 4, 0, 4120, 26, 4096 + 5, 28, -1}) {
        int32_t FieldType = -7, ElemSize = -7;
        EXPECT_FALSE(MapNumberType(&FieldType, &ElemSize, Code)) << Code;
        EXPECT_EQ(FieldType, -7) << Code;
        EXPECT_EQ(ElemSize, -7) << Code;
    }
    EXPECT_EQ(Messages(), std::vector<std::string>(3, "64-bit data values are not supported"));
}

struct Widening {
    int32_t Code;
    std::vector<unsigned char> Bytes; // one element, machine order
    double Expected;
};

template <typename T> std::vector<unsigned char> BytesOf(T Value) {
    std::vector<unsigned char> Bytes(sizeof(T));
    std::memcpy(Bytes.data(), &Value, sizeof(T));
    return Bytes;
}

TEST_F(NumberTypeTable, WideningKeepsSignednessAndEveryValueExact) {
    const Widening Cases[] = {
        {20, {0xFF}, -1.0},
        {21, {0xFF}, 255.0},
        {20, {0x80}, -128.0},
        {22, BytesOf<uint16_t>(0x8000), -32768.0},
        {23, BytesOf<uint16_t>(0x8000), 32768.0},
        {24, BytesOf<uint32_t>(0xFFFFFFFFu), -1.0},
        {25, BytesOf<uint32_t>(0xFFFFFFFFu), 4294967295.0},
        {24, BytesOf<int32_t>(-2147483647 - 1), -2147483648.0},
        {5, BytesOf<float>(-1.5f), -1.5},
        {5, BytesOf<float>(16777216.0f), 16777216.0},
        {6, BytesOf<double>(1e300), 1e300},
        {6, BytesOf<double>(-0.1), -0.1},
    };
    for (const Widening& Case : Cases) {
        // One byte in, so that every wider element sits on an odd address.
        std::vector<unsigned char> Buffer(1 + Case.Bytes.size());
        std::memcpy(Buffer.data() + 1, Case.Bytes.data(), Case.Bytes.size());
        EXPECT_EQ(GetValueAsDouble(Buffer.data() + 1, 0, Case.Code), Case.Expected) << Case.Code;
    }
}

TEST_F(NumberTypeTable, PositionCountsElementsOfTheTypesSize) {
    std::vector<unsigned char> Buffer(1 + 5 * 8);
    const double Values[5] = {0.5, 1.5, 2.5, 3.25, 4.5};
    std::memcpy(Buffer.data() + 1, Values, sizeof Values);
    EXPECT_EQ(GetValueAsDouble(Buffer.data() + 1, 3, 6), 3.25); // bytes 24 to 31

    const int16_t Shorts[4] = {10, -20, 30, -40};
    std::memcpy(Buffer.data() + 1, Shorts, sizeof Shorts);
    EXPECT_EQ(GetValueAsDouble(Buffer.data() + 1, 3, 22), -40.0);
    EXPECT_EQ(GetValueAsDouble(Buffer.data() + 1, 1, 23), 65516.0);
}

TEST_F(NumberTypeTable, TheWideningReadsExactlyTheAcceptedCodesWithTheirElementSize) {
    // Element 0 all zero bits, element 1 all one bits: a widening that reads
    // at the element size the table gives finds a nonzero value at 1. A
    // refused code reads nothing and gives 0.
    // Codes with HDF4's modifier bits (4096 and up) are refused whole.
    std::vector<int32_t> Codes = {4096 + 5, 4096 + 24};
    for (int32_t Code = -2; Code < 300; ++Code)
        Codes.push_back(Code);
    std::vector<unsigned char> Buffer(16, 0);
    for (int32_t Code : Codes) {
        int32_t FieldType = 0, ElemSize = 0;
        // 26 and 27 are not asked of the table: their refusal shows a message.
        if (Code == 26 || Code == 27 || !MapNumberType(&FieldType, &ElemSize, Code)) {
            EXPECT_EQ(GetValueAsDouble(NoBuffer, 1, Code), 0.0) << Code;
            continue;
        }
        std::fill(Buffer.begin(), Buffer.end(), 0);
        std::fill(Buffer.begin() + ElemSize, Buffer.begin() + 2 * ElemSize, 0xFF);
        EXPECT_EQ(GetValueAsDouble(Buffer.data(), 0, Code), 0.0) << Code;
        EXPECT_NE(GetValueAsDouble(Buffer.data(), 1, Code), 0.0) << Code;
    }
    EXPECT_TRUE(Messages().empty());
}

} // namespace
