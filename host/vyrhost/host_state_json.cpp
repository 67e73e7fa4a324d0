// Builds the JSON picture of the stand-in host's state. Values are written
// in the variable's own field data type: integers as JSON integers, floating
// point so that it reads back to the same double, non-finite values as the
// strings "nan", "inf" and "-inf" (JSON has no literal for them).
#include "host_state_json.h"

#include "vyr_host_control.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>

namespace VyrHostProgram {
namespace {

using json = nlohmann::ordered_json;

// The host's field data types that hold integers: 32-bit, 16-bit, byte.
bool IsIntegerFieldType(VyrFieldType_t Type) {
    return Type == 3 || Type == 4 || Type == 5;
}

json ValueJson(double Value, VyrFieldType_t Type) {
    if (std::isnan(Value)) {
        return "nan";
    }
    if (std::isinf(Value)) {
        return Value > 0 ? "inf" : "-inf";
    }
    if (IsIntegerFieldType(Type)) {
        return static_cast<int64_t>(Value);
    }
    return Value;
}

json ZoneJson(const VyrHost::Zone& Zone) {
    json Values = json::array();
    const int64_t Points = Zone.PointCount();
    for (size_t Var = 0; Var < Zone.FieldTypes.size(); ++Var) {
        json Column = json::array();
        for (int64_t Point = 1; Point <= Points; ++Point) {
            Column.push_back(
                ValueJson(Zone.Value(static_cast<int32_t>(Var + 1), Point), Zone.FieldTypes[Var]));
        }
        Values.push_back(std::move(Column));
    }
    return json{{"name", Zone.Name},          {"zone_type", Zone.ZoneType},
                {"imax", Zone.IMax},          {"jmax", Zone.JMax},
                {"kmax", Zone.KMax},          {"field_types", Zone.FieldTypes},
                {"values", std::move(Values)}};
}

json DataSetJson() {
    const VyrHost::DataSet* Data = VyrHost::CurrentDataSet();
    if (Data == nullptr) {
        return nullptr;
    }
    json Zones = json::array();
    for (const VyrHost::Zone& Zone : Data->Zones) {
        Zones.push_back(ZoneJson(Zone));
    }
    return json{{"title", Data->Title}, {"variables", Data->VarNames}, {"zones", std::move(Zones)}};
}

template <typename T> json OptionalJson(const std::optional<T>& Value) {
    return Value ? json(*Value) : json(nullptr);
}

} // namespace

json HostStateJson(std::optional<bool> LoadResult) {
    const VyrHost::FrameState& Frame = VyrHost::Frame();
    json Frames{{"plot_type", OptionalJson(Frame.PlotType)},
                {"new_frames", Frame.NewFrames},
                {"mouse_mode", OptionalJson(Frame.MouseMode)},
                {"redraws", Frame.Redraws}};
    return json{{"result", OptionalJson(LoadResult)},
                {"messages", VyrHost::ErrorMessages()},
                {"questions", VyrHost::Questions()},
                {"data_set", DataSetJson()},
                {"frame", std::move(Frames)},
                {"loader_instructions", OptionalJson(VyrHost::RecordedInstructions("HDF Loader"))},
                {"lock_depth", VyrHost::LockDepth()},
                {"host_allocations_outstanding", VyrHost::OutstandingAllocations()}};
}

bool WriteJsonFile(const std::string& Path, const json& Json, std::string* Why) {
    // Texts from the file (labels, paths) need not be UTF-8: such bytes are
    // replaced rather than failing the whole write.
    const std::string Text = Json.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
    if (Path == "-") {
        std::cout << Text << std::flush;
        return static_cast<bool>(std::cout);
    }
    std::ofstream File(Path, std::ios::binary | std::ios::trunc);
    File << Text;
    File.close();
    if (!File) {
        *Why = "cannot write " + Path;
        return false;
    }
    return true;
}

} // namespace VyrHostProgram
