// An independent model of the conversion, for the host program's tests:
// which indices the skips keep, where coordinates and values come from, and
// in which field data type each variable ends up.
#include "expected_data_set.h"

#include "interface/vyr_host_api.h"

#include <gtest/gtest.h>

#include <cmath>

namespace VyrhostTest {
namespace {

// The value an HDF number type stores for a double the writer was given.
double Stored(double Value, int32_t NumberType) {
    switch (NumberType) {
    case 5:
        return static_cast<float>(Value);
    case 20:
        return static_cast<int8_t>(Value);
    case 21:
        return static_cast<uint8_t>(Value);
    case 22:
        return static_cast<int16_t>(Value);
    case 23:
        return static_cast<uint16_t>(Value);
    case 24:
        return static_cast<int32_t>(Value);
    case 25:
        return static_cast<uint32_t>(Value);
    default:
        return Value;
    }
}

// Source indices (from 0) that a skip keeps along an extent: 0, s, 2s, ...
// while below the last, then the last itself.
std::vector<int32_t> KeptIndices(int32_t Extent, int32_t Skip) {
    std::vector<int32_t> Kept;
    for (int32_t Index = 0;; Index = std::min(Index + Skip, Extent - 1)) {
        Kept.push_back(Index);
        if (Index == Extent - 1) {
            return Kept;
        }
    }
}

struct Axis {
    int32_t Extent = 1;
    std::vector<double> Coordinates; // one per source index
    int32_t FieldType = VYR_FIELD_TYPE_INT32;
};

// The coordinates along HDF dimension Dim: its scale when it has one of the
// full extent, otherwise 1..n as 32-bit integers.
Axis MakeAxis(const TestHdf::DataSet& Set, size_t Dim) {
    Axis Made;
    Made.Extent = Set.Dims[Dim];
    const bool HasScale = Dim < Set.Scales.size() && Set.Scales[Dim].NumberType != 0 &&
                          Set.Scales[Dim].Values.size() == static_cast<size_t>(Made.Extent);
    for (int32_t Index = 0; Index < Made.Extent; ++Index) {
        Made.Coordinates.push_back(
            HasScale ? Stored(Set.Scales[Dim].Values[Index], Set.Scales[Dim].NumberType)
                     : Index + 1.0);
    }
    if (HasScale) {
        Made.FieldType = FieldTypeOf(Set.Scales[Dim].NumberType);
    }
    return Made;
}

bool IsIntegerFieldType(int32_t Type) {
    return Type == 3 || Type == 4 || Type == 5;
}

} // namespace

int32_t FieldTypeOf(int32_t NumberType) {
    switch (NumberType) {
    case 5:
        return 1;
    case 6:
    case 25:
        return 2;
    case 20:
    case 22:
        return 4;
    case 21:
        return 5;
    default:
        return 3;
    }
}

std::vector<std::string> ExpectedVariables(int32_t Rank) {
    std::vector<std::string> Names;
    for (int32_t Dim = 1; Dim <= Rank; ++Dim) {
        Names.push_back("Dimension " + std::to_string(Dim));
    }
    Names.push_back("V");
    return Names;
}

ExpectedZone ExpectZone(const TestHdf::DataSet& Set, std::array<int32_t, 3> Skips) {
    const size_t Rank = Set.Dims.size();
    // Zone directions I, J, K are HDF dimensions Rank-1, Rank-2, Rank-3.
    std::vector<Axis> Axes;
    for (size_t Direction = 0; Direction < Rank; ++Direction) {
        Axes.push_back(MakeAxis(Set, Rank - 1 - Direction));
    }
    std::vector<std::vector<int32_t>> Kept(3, std::vector<int32_t>{0});
    for (size_t Direction = 0; Direction < Rank; ++Direction) {
        Kept[Direction] = KeptIndices(Axes[Direction].Extent, Skips[Direction]);
    }
    ExpectedZone Zone;
    Zone.IMax = static_cast<int32_t>(Kept[0].size());
    Zone.JMax = static_cast<int32_t>(Kept[1].size());
    Zone.KMax = static_cast<int32_t>(Kept[2].size());
    for (const Axis& Along : Axes) {
        Zone.FieldTypes.push_back(Along.FieldType);
    }
    Zone.FieldTypes.push_back(FieldTypeOf(Set.NumberType));
    Zone.Values.assign(Rank + 1, {});
    const int64_t IExtent = Axes[0].Extent, JExtent = Rank > 1 ? Axes[1].Extent : 1;
    for (int32_t K : Kept[2]) {
        for (int32_t J : Kept[1]) {
            for (int32_t I : Kept[0]) {
                const int32_t Source[3] = {I, J, K};
                for (size_t Direction = 0; Direction < Rank; ++Direction) {
                    Zone.Values[Direction].push_back(
                        Axes[Direction].Coordinates[Source[Direction]]);
                }
                const int64_t Element = (K * JExtent + J) * IExtent + I;
                const double Value = Set.Values.empty() ? static_cast<double>(Element)
                                                        : Set.Values[static_cast<size_t>(Element)];
                Zone.Values[Rank].push_back(Stored(Value, Set.NumberType));
            }
        }
    }
    return Zone;
}

void ExpectZoneJson(const nlohmann::json& Zone, const ExpectedZone& Expected,
                    const std::string& Name) {
    SCOPED_TRACE("zone " + Name);
    EXPECT_EQ(Zone.at("name"), Name);
    EXPECT_EQ(Zone.at("zone_type"), 0);
    EXPECT_EQ(Zone.at("imax"), Expected.IMax);
    EXPECT_EQ(Zone.at("jmax"), Expected.JMax);
    EXPECT_EQ(Zone.at("kmax"), Expected.KMax);
    EXPECT_EQ(Zone.at("field_types").get<std::vector<int32_t>>(), Expected.FieldTypes);
    const nlohmann::json& Values = Zone.at("values");
    ASSERT_EQ(Values.size(), Expected.Values.size());
    for (size_t Var = 0; Var < Values.size(); ++Var) {
        ASSERT_EQ(Values[Var].size(), Expected.Values[Var].size()) << "variable " << Var + 1;
        for (size_t Point = 0; Point < Values[Var].size(); ++Point) {
            const nlohmann::json& Value = Values[Var][Point];
            const double Want = Expected.Values[Var][Point];
            if (IsIntegerFieldType(Expected.FieldTypes[Var])) {
                ASSERT_TRUE(Value.is_number_integer())
                    << "variable " << Var + 1 << " point " << Point + 1 << ": " << Value;
            } else {
                ASSERT_TRUE(Value.is_number()) << Value;
            }
            ASSERT_EQ(Value.get<double>(), Want)
                << "variable " << Var + 1 << " point " << Point + 1;
        }
    }
}

} // namespace VyrhostTest
