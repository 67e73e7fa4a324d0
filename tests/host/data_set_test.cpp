// The host's data set: zones checked on creation, storage sized with
// checked arithmetic, one typed array per variable holding each value as
// its field data type would, and field-value references checked per call.
#include "host_test.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

class HostDataSet : public HostTest {
  protected:
    // A data set whose variables are named V1..Vn.
    static void CreateDataSet(int32_t Variables) {
        VyrStringList_pa Names = VyrUtilStringListAlloc();
        for (int32_t Var = 1; Var <= Variables; ++Var)
            VyrUtilStringListAppendString(Names, ("V" + std::to_string(Var)).c_str());
        ASSERT_TRUE(VyrUtilDataSetCreate("Title", Names, true));
        VyrUtilStringListDealloc(&Names);
    }
};

constexpr double Inf = std::numeric_limits<double>::infinity();

} // namespace

TEST_F(HostDataSet, EachFieldTypeStoresTheValueAsItsTypeWould) {
    struct Case {
        VyrFieldType_t Type;
        double Given, Stored;
    };
    const Case Cases[] = {
        {1, 0.1, double(0.1f)},
        {1, -2.5, -2.5},
        {1, 1e300, Inf},
        {1, -1e300, -Inf},
        {2, 0.1, 0.1},
        {2, 1e300, 1e300},
        {2, -4.0e-310, -4.0e-310},
        {3, 3.7, 3},
        {3, -3.7, -3},
        {3, 1e12, 2147483647},
        {3, -1e12, -2147483648.0},
        {3, std::nan(""), 0},
        {4, 12.9, 12},
        {4, 40000, 32767},
        {4, -40000, -32768},
        {5, -1, 0},
        {5, 200.6, 200},
        {5, 300, 255},
        {5, 255, 255},
        // Either side of each type's bounds.
        {1, double(FLT_MAX), double(FLT_MAX)},
        {1, 3.4028235e38, double(FLT_MAX)}, // above FLT_MAX, rounds down to it
        {1, -3.4028235e38, -double(FLT_MAX)},
        {1, 3.4028235677973366e38, Inf}, // FLT_MAX and half an ulp: to even, beyond
        {3, 2147483647.9, 2147483647},
        {3, -2147483648.9, -2147483648.0},
        {3, -2147483649.0, -2147483648.0},
        {3, 2147483648.0, 2147483647},
        {4, 32767.9, 32767},
        {4, -32768.9, -32768},
        {4, 32768, 32767},
        {5, -0.9, 0},
        {5, -0.0, 0},
        {5, 255.9, 255},
        {5, 256, 255},
        // The least values themselves, and what lies beyond every bound.
        {3, -2147483648.0, -2147483648.0},
        {4, -32768, -32768},
        {4, std::nan(""), 0},
        {5, std::nan(""), 0},
        {4, -Inf, -32768},
        {5, Inf, 255},
    };
    const size_t ElementBytes[] = {0, 4, 8, 4, 2, 1}; // by field data type
    for (const Case& C : Cases) {
        CreateDataSet(1);
        ASSERT_TRUE(VyrUtilDataSetAddZone("Z", 2, 1, 1, VYR_ZONE_TYPE_ORDERED, &C.Type));
        VyrFieldData_pa Ref = VyrUtilDataValueGetRef(1, 1);
        ASSERT_NE(Ref, nullptr);
        VyrUtilDataValueSetByRef(Ref, 2, C.Given);
        const VyrHost::Zone& Z = VyrHost::CurrentDataSet()->Zones.at(0);
        EXPECT_EQ(Z.Value(1, 2), C.Stored) << "type " << C.Type << " given " << C.Given;
        EXPECT_EQ(Z.Value(1, 1), 0.0) << "a point never set holds 0";
        EXPECT_EQ(Z.Storage.at(0).size(), 2 * ElementBytes[C.Type]) << "type " << C.Type;
    }
    EXPECT_TRUE(VyrHost::HostErrors().empty());
}

TEST_F(HostDataSet, ZonesAreNumberedFromOneInTheOrderAdded) {
    CreateDataSet(2);
    const VyrFieldType_t Types[] = {VYR_FIELD_TYPE_DOUBLE, VYR_FIELD_TYPE_INT32};
    ASSERT_TRUE(VyrUtilDataSetAddZone("First", 3, 2, 1, VYR_ZONE_TYPE_ORDERED, Types));
    ASSERT_TRUE(VyrUtilDataSetAddZone("Second", 1, 1, 4, VYR_ZONE_TYPE_ORDERED, Types));
    VyrUtilDataValueSetByRef(VyrUtilDataValueGetRef(2, 2), 4, 17);
    VyrUtilDataValueSetByRef(VyrUtilDataValueGetRef(1, 1), 6, 0.5);
    const VyrHost::DataSet* Data = VyrHost::CurrentDataSet();
    ASSERT_EQ(Data->Zones.size(), 2u);
    EXPECT_EQ(Data->Zones[0].Name, "First");
    EXPECT_EQ(Data->Zones[0].PointCount(), 6);
    EXPECT_EQ(Data->Zones[0].Value(1, 6), 0.5);
    EXPECT_EQ(Data->Zones[1].Value(2, 4), 17);
    EXPECT_EQ(Data->VarNames, (std::vector<std::string>{"V1", "V2"}));
    EXPECT_TRUE(VyrHost::HostErrors().empty());
}

// A variable of 4 MiB comes from the system rather than the heap: it must
// read as zero all the same, and a copy of the data set must own its bytes.
TEST_F(HostDataSet, LargeZonesStartAtZeroAndCopiesOwnTheirValues) {
    CreateDataSet(2);
    const VyrFieldType_t Types[] = {VYR_FIELD_TYPE_FLOAT, VYR_FIELD_TYPE_BYTE};
    ASSERT_TRUE(VyrUtilDataSetAddZone("Big", 1024, 1024, 1, VYR_ZONE_TYPE_ORDERED, Types));
    VyrUtilDataValueSetByRef(VyrUtilDataValueGetRef(1, 1), 1048576, 2.5);
    const VyrHost::DataSet Copy = *VyrHost::CurrentDataSet();
    const VyrHost::Zone& Z = VyrHost::CurrentDataSet()->Zones.at(0);
    ASSERT_EQ(Z.Storage.at(0).size(), 4u << 20);
    size_t NonZero = 0;
    for (const VyrHost::ZoneArray& Array : Z.Storage)
        for (size_t Byte = 0; Byte < Array.size(); ++Byte)
            NonZero += Array.data()[Byte] != 0;
    EXPECT_EQ(NonZero, 2u) << "only the upper bytes of 2.5f";
    EXPECT_EQ(Copy.Zones.at(0).Storage, Z.Storage);
    EXPECT_NE(Copy.Zones.at(0).Storage.at(0).data(), Z.Storage.at(0).data());
    VyrUtilDataValueSetByRef(VyrUtilDataValueGetRef(1, 2), 1, 7);
    EXPECT_NE(Copy.Zones.at(0).Storage, Z.Storage);
    EXPECT_EQ(Copy.Zones.at(0).Value(2, 1), 0);
    EXPECT_TRUE(VyrHost::HostErrors().empty());
}

TEST_F(HostDataSet, AddZoneRefusesBadRequestsAsHostErrors) {
    const VyrFieldType_t Good[] = {VYR_FIELD_TYPE_FLOAT};
    EXPECT_FALSE(VyrUtilDataSetAddZone("Z", 1, 1, 1, VYR_ZONE_TYPE_ORDERED, Good))
        << "no data set yet";
    CreateDataSet(1);
    const VyrFieldType_t TooHigh[] = {6}, Zero[] = {0};
    struct Case {
        const char* Why;
        const char* Name;
        VyrLgIndex_t I, J, K;
        int32_t ZoneType;
        const VyrFieldType_t* Types;
    };
    const Case Cases[] = {
        {"I below 1", "Z", 0, 1, 1, 0, Good},     {"J below 1", "Z", 1, -5, 1, 0, Good},
        {"K below 1", "Z", 1, 1, 0, 0, Good},     {"zone type 1", "Z", 1, 1, 1, 1, Good},
        {"null types", "Z", 1, 1, 1, 0, nullptr}, {"type 6", "Z", 1, 1, 1, 0, TooHigh},
        {"type 0", "Z", 1, 1, 1, 0, Zero},        {"null name", nullptr, 1, 1, 1, 0, Good},
    };
    for (const Case& C : Cases) {
        const size_t Before = HostErrorCount();
        EXPECT_FALSE(VyrUtilDataSetAddZone(C.Name, C.I, C.J, C.K, C.ZoneType, C.Types)) << C.Why;
        EXPECT_EQ(HostErrorCount(), Before + 1) << C.Why;
    }
    EXPECT_TRUE(VyrHost::CurrentDataSet()->Zones.empty());
}

// A zone over the host's limit is the host's own refusal, said in a message
// that names the zone, the bytes its arrays need and the limit; the add-on
// broke no rule, so it is no host error.
TEST_F(HostDataSet, ZoneTooLargeForMemoryFailsWithTheHostsMessageAndNoHostError) {
    CreateDataSet(2);
    const VyrFieldType_t Types[] = {VYR_FIELD_TYPE_DOUBLE, VYR_FIELD_TYPE_DOUBLE};
    const VyrLgIndex_t Max = std::numeric_limits<VyrLgIndex_t>::max();
    EXPECT_FALSE(VyrUtilDataSetAddZone("Huge", Max, Max, Max, VYR_ZONE_TYPE_ORDERED, Types));
    VyrHost::SetZoneStorageLimit(1000);
    EXPECT_TRUE(VyrUtilDataSetAddZone("Fits", 62, 1, 1, VYR_ZONE_TYPE_ORDERED, Types)); // 992 bytes
    EXPECT_FALSE(
        VyrUtilDataSetAddZone("Over", 63, 1, 1, VYR_ZONE_TYPE_ORDERED, Types)); // 1008 bytes
    EXPECT_EQ(VyrHost::CurrentDataSet()->Zones.size(), 1u);
    EXPECT_TRUE(VyrHost::HostErrors().empty());
    const std::string Extent = std::to_string(Max);
    EXPECT_EQ(VyrHost::ErrorMessages(),
              (std::vector<std::string>{
                  "The host cannot hold zone \"Huge\" (" + Extent + "x" + Extent + "x" + Extent +
                      "): its arrays need more bytes than 64 bits count, more than the "
                      "1073741824 bytes (1 GiB) that the host grants one zone",
                  "The host cannot hold zone \"Over\" (63x1x1): its arrays need 1008 bytes, more "
                  "than the 1000 bytes that the host grants one zone"}));
}

TEST_F(HostDataSet, ZoneCountStopsAtTheLargestZoneNumber) {
    CreateDataSet(0);
    const int32_t Most = std::numeric_limits<VyrEntIndex_t>::max();
    for (int32_t Zone = 1; Zone <= Most; ++Zone)
        ASSERT_TRUE(VyrUtilDataSetAddZone("Z", 1, 1, 1, VYR_ZONE_TYPE_ORDERED, nullptr)) << Zone;
    EXPECT_FALSE(VyrUtilDataSetAddZone("One too many", 1, 1, 1, VYR_ZONE_TYPE_ORDERED, nullptr));
    EXPECT_EQ(HostErrorCount(), 1u);
}

TEST_F(HostDataSet, BadReferencesAndPointsAreHostErrors) {
    // The checks come before the store, whatever the variable's type.
    for (const VyrFieldType_t Type : {VYR_FIELD_TYPE_FLOAT, VYR_FIELD_TYPE_INT32}) {
        VyrHost::Reset();
        CreateDataSet(1);
        ASSERT_TRUE(VyrUtilDataSetAddZone("Z", 2, 2, 1, VYR_ZONE_TYPE_ORDERED, &Type));
        EXPECT_EQ(VyrUtilDataValueGetRef(0, 1), nullptr);
        EXPECT_EQ(VyrUtilDataValueGetRef(2, 1), nullptr);
        EXPECT_EQ(VyrUtilDataValueGetRef(1, 2), nullptr);
        VyrFieldData_pa Ref = VyrUtilDataValueGetRef(1, 1);
        VyrUtilDataValueSetByRef(Ref, 0, 1);
        VyrUtilDataValueSetByRef(Ref, 5, 1);
        VyrUtilDataValueSetByRef(nullptr, 1, 1);
        ASSERT_EQ(HostErrorCount(), 6u) << "type " << Type;
        EXPECT_EQ(VyrHost::HostErrors()[3],
                  "VyrUtilDataValueSetByRef: point 0 outside 1..4 of zone 1");
        EXPECT_EQ(VyrHost::HostErrors()[4],
                  "VyrUtilDataValueSetByRef: point 5 outside 1..4 of zone 1");
        EXPECT_EQ(VyrHost::HostErrors()[5], "VyrUtilDataValueSetByRef: null field-value reference");
        // Addresses the host never handed out: memory of the add-on's own,
        // and addresses inside a real reference.
        alignas(64) unsigned char Lookalike[256] = {};
        const VyrFieldData_pa Foreign[] = {
            reinterpret_cast<VyrFieldData_pa>(Lookalike),
            reinterpret_cast<VyrFieldData_pa>(reinterpret_cast<char*>(Ref) + 1),
            reinterpret_cast<VyrFieldData_pa>(reinterpret_cast<char*>(Ref) + 8),
        };
        for (VyrFieldData_pa Bad : Foreign)
            VyrUtilDataValueSetByRef(Bad, 1, 1);
        ASSERT_EQ(HostErrorCount(), 9u);
        EXPECT_EQ(VyrHost::HostErrors()[8],
                  "VyrUtilDataValueSetByRef: unknown field-value reference");
        VyrUtilDataValueSetByRef(Ref, INT32_MIN, 1);
        ASSERT_EQ(HostErrorCount(), 10u);
        EXPECT_EQ(VyrHost::HostErrors()[9],
                  "VyrUtilDataValueSetByRef: point -2147483648 outside 1..4 of zone 1");
        for (int64_t Point = 1; Point <= 4; ++Point)
            EXPECT_EQ(VyrHost::CurrentDataSet()->Zones[0].Value(1, Point), 0);
        VyrUtilDataValueSetByRef(Ref, 4, 2.5);
        EXPECT_EQ(VyrHost::CurrentDataSet()->Zones[0].Value(1, 4), Type == 1 ? 2.5 : 2);
        EXPECT_EQ(VyrUtilDataValueGetRef(1, 1), Ref) << "one reference per zone and variable";
    }
}

TEST_F(HostDataSet, NewDataSetReplacesTheOldAndItsReferences) {
    CreateDataSet(1);
    const VyrFieldType_t Types[] = {VYR_FIELD_TYPE_DOUBLE};
    ASSERT_TRUE(VyrUtilDataSetAddZone("Z", 1, 1, 1, VYR_ZONE_TYPE_ORDERED, Types));
    VyrFieldData_pa Old = VyrUtilDataValueGetRef(1, 1);
    CreateDataSet(1);
    EXPECT_TRUE(VyrHost::CurrentDataSet()->Zones.empty());
    VyrUtilDataValueSetByRef(Old, 1, 5);
    EXPECT_EQ(HostErrorCount(), 1u);
    // The same zone and variable again: a new reference, and the old one
    // still refused, also once the host has reset.
    ASSERT_TRUE(VyrUtilDataSetAddZone("Z", 1, 1, 1, VYR_ZONE_TYPE_ORDERED, Types));
    VyrFieldData_pa New = VyrUtilDataValueGetRef(1, 1);
    EXPECT_NE(New, Old);
    VyrUtilDataValueSetByRef(Old, 1, 5);
    VyrUtilDataValueSetByRef(New, 1, 6);
    EXPECT_EQ(HostErrorCount(), 2u);
    EXPECT_EQ(VyrHost::CurrentDataSet()->Zones[0].Value(1, 1), 6);
    VyrHost::Reset();
    CreateDataSet(1);
    ASSERT_TRUE(VyrUtilDataSetAddZone("Z", 1, 1, 1, VYR_ZONE_TYPE_ORDERED, Types));
    VyrUtilDataValueSetByRef(New, 1, 7);
    EXPECT_EQ(HostErrorCount(), 1u);
    EXPECT_EQ(VyrHost::CurrentDataSet()->Zones[0].Value(1, 1), 0);
}
