// Summarises the host's data set for a person: enough to see that the load
// picked the right data sets, orientation and skips, without the values.
#include "data_set_summary.h"

#include "array_checksum.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace VyrHostProgram {
namespace {

// Minimum and maximum of one variable of one zone; NaN values are left out
// and counted, so that a few missing values do not hide the range.
struct Range {
    double Min = 0, Max = 0;
    int64_t Numbers = 0, NotANumber = 0;
};

template <typename T> T ElementAt(const unsigned char* Bytes, int64_t Point) {
    T Element;
    std::memcpy(&Element, Bytes + Point * int64_t(sizeof(T)), sizeof(T));
    return Element;
}

// Reads the array in its own type (every value of it is exact as a double).
// NaN is counted and never becomes an extreme; of two equal extremes (0 and
// -0) the first is kept.
template <typename T> Range RangeOf(const unsigned char* Bytes, int64_t Points) {
    Range Found;
    for (int64_t Point = 0; Point < Points; ++Point) {
        const double Value = double(ElementAt<T>(Bytes, Point));
        if (std::isnan(Value)) {
            ++Found.NotANumber;
            continue;
        }
        if (Found.Numbers == 0 || Value < Found.Min) {
            Found.Min = Value;
        }
        if (Found.Numbers == 0 || Value > Found.Max) {
            Found.Max = Value;
        }
        ++Found.Numbers;
    }
    return Found;
}

Range VariableRange(const VyrHost::Zone& Zone, size_t Var) {
    const auto& Bytes = Zone.Storage.at(Var);
    const int64_t Points = Zone.PointCount();
    switch (Zone.FieldTypes.at(Var)) {
    case VYR_FIELD_TYPE_FLOAT:
        return RangeOf<float>(Bytes.data(), Points);
    case VYR_FIELD_TYPE_DOUBLE:
        return RangeOf<double>(Bytes.data(), Points);
    case VYR_FIELD_TYPE_INT32:
        return RangeOf<int32_t>(Bytes.data(), Points);
    case VYR_FIELD_TYPE_INT16:
        return RangeOf<int16_t>(Bytes.data(), Points);
    case VYR_FIELD_TYPE_BYTE:
        return RangeOf<uint8_t>(Bytes.data(), Points);
    default:
        return Range{};
    }
}

std::string FormatValue(double Value) {
    char Text[64];
    std::snprintf(Text, sizeof Text, "%.9g", Value);
    return Text;
}

std::string ZoneTypeName(int32_t Type) {
    return Type == VYR_ZONE_TYPE_ORDERED ? "ordered" : std::to_string(Type);
}

} // namespace

std::string FieldTypeName(VyrFieldType_t Type) {
    switch (Type) {
    case VYR_FIELD_TYPE_FLOAT:
        return "float";
    case VYR_FIELD_TYPE_DOUBLE:
        return "double";
    case VYR_FIELD_TYPE_INT32:
        return "int32";
    case VYR_FIELD_TYPE_INT16:
        return "int16";
    case VYR_FIELD_TYPE_BYTE:
        return "byte";
    default:
        return "type " + std::to_string(Type);
    }
}

std::string DescribeDataSet(const VyrHost::DataSet& Data) {
    std::string Out = "data set \"" + Data.Title + "\"\n  variables:";
    for (size_t Var = 0; Var < Data.VarNames.size(); ++Var) {
        Out += (Var == 0 ? " " : ", ") + Data.VarNames[Var];
    }
    Out += "\n";
    char Line[256];
    for (const VyrHost::Zone& Zone : Data.Zones) {
        std::snprintf(Line, sizeof Line, "  zone \"%s\": %d x %d x %d, %s\n", Zone.Name.c_str(),
                      static_cast<int>(Zone.IMax), static_cast<int>(Zone.JMax),
                      static_cast<int>(Zone.KMax), ZoneTypeName(Zone.ZoneType).c_str());
        Out += Line;
        for (size_t Var = 0; Var < Zone.FieldTypes.size(); ++Var) {
            const std::string Name = Var < Data.VarNames.size() ? Data.VarNames[Var] : "?";
            const Range Found = VariableRange(Zone, Var);
            std::string Values = "no values";
            if (Found.Numbers > 0) {
                Values = "min " + FormatValue(Found.Min) + "  max " + FormatValue(Found.Max);
            }
            if (Found.NotANumber > 0) {
                Values += "  (" + std::to_string(Found.NotANumber) + " nan)";
            }
            std::snprintf(Line, sizeof Line, "    %-12s %-7s ", Name.c_str(),
                          FieldTypeName(Zone.FieldTypes[Var]).c_str());
            Out += Line + Values + "\n";
        }
    }
    if (Data.Zones.empty()) {
        Out += "  no zones\n";
    }
    return Out;
}

std::string DataSetChecksums(const VyrHost::DataSet& Data) {
    std::string Out;
    char Line[128];
    for (size_t Zone = 0; Zone < Data.Zones.size(); ++Zone) {
        const VyrHost::Zone& Z = Data.Zones[Zone];
        for (size_t Var = 0; Var < Z.FieldTypes.size() && Var < Z.Storage.size(); ++Var) {
            const auto& Bytes = Z.Storage[Var];
            std::snprintf(Line, sizeof Line, "zone %zu var %zu %s %lld %08x\n", Zone + 1, Var + 1,
                          FieldTypeName(Z.FieldTypes[Var]).c_str(),
                          static_cast<long long>(Z.PointCount()),
                          static_cast<unsigned>(Crc32(Bytes.data(), Bytes.size())));
            Out += Line;
        }
    }
    return Out;
}

} // namespace VyrHostProgram
