// Writes the JSON picture of the stand-in host's state as it is produced,
// through one buffer, so that a data set of a billion bytes of text needs no
// document in memory. The bytes are those that nlohmann::json's dump with an
// indent of 2 gives for the same document (which is how the host wrote it
// before): the same layout, texts escaped by the library itself (bytes
// that are not UTF-8 replaced), and floating-point values formatted by the
// library's own shortest-round-trip routine. std::to_chars was measured
// against it and differs in about 0.4% of values (Grisu2 is not always the
// shortest), so it is not used. Values are written in the variable's own
// field data type: integers as JSON integers, floating point so that it reads
// back to the same double, non-finite values as the strings "nan", "inf" and
// "-inf" (JSON has no literal for them).
#include "host_state_json.h"

#include "vyr_host_control.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace VyrHostProgram {
namespace {

// Buffered output to a FILE: what goes in comes out in order, and a failed
// write is remembered.
class JsonOutput {
  public:
    explicit JsonOutput(FILE* File) : File(File), Buffer(new char[BufferSize]) {}
    ~JsonOutput() { Flush(); }
    JsonOutput(const JsonOutput&) = delete;
    JsonOutput& operator=(const JsonOutput&) = delete;

    // Where the next Bytes characters (at most a few hundred) go; Advance
    // then says how many were written there.
    char* Room(size_t Bytes) {
        if (BufferSize - Used < Bytes)
            Flush();
        return Buffer.get() + Used;
    }
    void Advance(size_t Bytes) { Used += Bytes; }
    void Put(const char* Text, size_t Bytes) {
        if (Bytes > BufferSize - Used)
            Flush();
        if (Bytes > BufferSize) {
            Good = Good && std::fwrite(Text, 1, Bytes, File) == Bytes;
            return;
        }
        std::memcpy(Buffer.get() + Used, Text, Bytes);
        Used += Bytes;
    }
    void Put(const std::string& Text) { Put(Text.data(), Text.size()); }
    void Put(const char* Text) { Put(Text, std::strlen(Text)); }
    void Flush() {
        if (Used > 0)
            Good = Good && std::fwrite(Buffer.get(), 1, Used, File) == Used;
        Used = 0;
    }
    bool IsGood() const { return Good; }

  private:
    static constexpr size_t BufferSize = size_t(1) << 20;
    FILE* File;
    std::unique_ptr<char[]> Buffer;
    size_t Used = 0;
    bool Good = true;
};

// The layout of nlohmann::json's dump(2): an object or array that is not
// empty opens with its bracket and a line break, each member or element
// stands on its own line indented two more than its container, separated
// by ",\n", and the closing bracket stands on its own line at the
// container's indent. Empty ones are "{}" and "[]".
class PrettyWriter {
  public:
    explicit PrettyWriter(JsonOutput& Out) : Out(Out) {}

    void OpenObject() { Open('{'); }
    void CloseObject() { Close('}'); }
    void OpenArray() { Open('['); }
    void CloseArray() { Close(']'); }
    void EmptyArray() {
        Element();
        Out.Put("[]", 2);
    }
    // The next member's key: the value written next is that member's.
    void Key(const char* Name) {
        Element();
        Out.Put("\"", 1);
        Out.Put(Name);
        Out.Put("\": ", 3);
        KeyWritten = true;
    }

    void Null() { Scalar("null"); }
    void Bool(bool Value) { Scalar(Value ? "true" : "false"); }
    void Integer(int64_t Value) {
        Element();
        char* At = Out.Room(24);
        Out.Advance(size_t(std::to_chars(At, At + 24, Value).ptr - At));
    }
    // A finite double, as the library's serializer writes it.
    void Double(double Value) {
        Element();
        char* At = Out.Room(64);
        Out.Advance(size_t(nlohmann::detail::to_chars(At, At + 64, Value) - At));
    }
    // A text, escaped by the library (invalid UTF-8 replaced, non-ASCII kept).
    void String(const std::string& Text) {
        Element();
        Out.Put(
            nlohmann::json(Text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
    }
    void StringArray(const std::vector<std::string>& Texts) {
        if (Texts.empty()) {
            EmptyArray();
            return;
        }
        OpenArray();
        for (const std::string& Text : Texts)
            String(Text);
        CloseArray();
    }
    void OptionalInteger(const std::optional<int32_t>& Value) {
        if (Value)
            Integer(*Value);
        else
            Null();
    }

  private:
    // Starts a value: after a key it follows on the key's line; otherwise it
    // is an array element or member on a line of its own, after a comma when
    // it is not its container's first.
    void Element() {
        if (KeyWritten) {
            KeyWritten = false;
            return;
        }
        if (Depth == 0)
            return;
        if (!First)
            Out.Put(",\n", 2);
        First = false;
        Indent(Depth * 2);
    }
    void Open(char Bracket) {
        Element();
        Out.Put(&Bracket, 1);
        Out.Put("\n", 1);
        ++Depth;
        First = true;
    }
    void Close(char Bracket) {
        --Depth;
        Out.Put("\n", 1);
        Indent(Depth * 2);
        Out.Put(&Bracket, 1);
        First = false;
    }
    void Scalar(const char* Text) {
        Element();
        Out.Put(Text);
    }
    void Indent(int32_t Spaces) {
        static const char Blanks[] = "                                                  ";
        while (Spaces > 0) {
            const int32_t Now = Spaces < 50 ? Spaces : 50;
            Out.Put(Blanks, size_t(Now));
            Spaces -= Now;
        }
    }

    JsonOutput& Out;
    int32_t Depth = 0;
    bool First = true;
    bool KeyWritten = false;
};

// The host's field data types that hold integers: 32-bit, 16-bit, byte.
bool IsIntegerFieldType(VyrFieldType_t Type) {
    return Type == VYR_FIELD_TYPE_INT32 || Type == VYR_FIELD_TYPE_INT16 ||
           Type == VYR_FIELD_TYPE_BYTE;
}

// One value as the schema wants it; Value is exact for the field type.
void WriteValue(PrettyWriter& Json, double Value, VyrFieldType_t Type) {
    if (std::isnan(Value))
        Json.String("nan");
    else if (std::isinf(Value))
        Json.String(Value > 0 ? "inf" : "-inf");
    else if (IsIntegerFieldType(Type))
        Json.Integer(static_cast<int64_t>(Value));
    else
        Json.Double(Value);
}

// One variable's values, read from the zone's array in its own type.
template <typename T>
void WriteColumnAs(PrettyWriter& Json, const VyrHost::ZoneArray& Array, int64_t Points,
                   VyrFieldType_t Type) {
    Json.OpenArray();
    for (int64_t Point = 0; Point < Points; ++Point) {
        T Element;
        std::memcpy(&Element, Array.data() + Point * int64_t(sizeof(T)), sizeof(T));
        WriteValue(Json, static_cast<double>(Element), Type);
    }
    Json.CloseArray();
}

void WriteColumn(PrettyWriter& Json, const VyrHost::Zone& Zone, size_t Var) {
    const int64_t Points = Zone.PointCount();
    const VyrFieldType_t Type = Zone.FieldTypes[Var];
    const VyrHost::ZoneArray& Array = Zone.Storage.at(Var);
    if (Points == 0) {
        Json.EmptyArray();
        return;
    }
    switch (Type) {
    case 1:
        WriteColumnAs<float>(Json, Array, Points, Type);
        return;
    case 2:
        WriteColumnAs<double>(Json, Array, Points, Type);
        return;
    case 3:
        WriteColumnAs<int32_t>(Json, Array, Points, Type);
        return;
    case 4:
        WriteColumnAs<int16_t>(Json, Array, Points, Type);
        return;
    case 5:
        WriteColumnAs<uint8_t>(Json, Array, Points, Type);
        return;
    default:
        // The host accepts no other type; Zone::Value reads such a value as 0.
        Json.OpenArray();
        for (int64_t Point = 0; Point < Points; ++Point)
            Json.Double(0.0);
        Json.CloseArray();
    }
}

void WriteZone(PrettyWriter& Json, const VyrHost::Zone& Zone) {
    Json.OpenObject();
    Json.Key("name");
    Json.String(Zone.Name);
    Json.Key("zone_type");
    Json.Integer(Zone.ZoneType);
    Json.Key("imax");
    Json.Integer(Zone.IMax);
    Json.Key("jmax");
    Json.Integer(Zone.JMax);
    Json.Key("kmax");
    Json.Integer(Zone.KMax);
    Json.Key("field_types");
    if (Zone.FieldTypes.empty()) {
        Json.EmptyArray();
    } else {
        Json.OpenArray();
        for (VyrFieldType_t Type : Zone.FieldTypes)
            Json.Integer(Type);
        Json.CloseArray();
    }
    Json.Key("values");
    if (Zone.FieldTypes.empty()) {
        Json.EmptyArray();
    } else {
        Json.OpenArray();
        for (size_t Var = 0; Var < Zone.FieldTypes.size(); ++Var)
            WriteColumn(Json, Zone, Var);
        Json.CloseArray();
    }
    Json.CloseObject();
}

void WriteDataSet(PrettyWriter& Json) {
    const VyrHost::DataSet* Data = VyrHost::CurrentDataSet();
    if (Data == nullptr) {
        Json.Null();
        return;
    }
    Json.OpenObject();
    Json.Key("title");
    Json.String(Data->Title);
    Json.Key("variables");
    Json.StringArray(Data->VarNames);
    Json.Key("zones");
    if (Data->Zones.empty()) {
        Json.EmptyArray();
    } else {
        Json.OpenArray();
        for (const VyrHost::Zone& Zone : Data->Zones)
            WriteZone(Json, Zone);
        Json.CloseArray();
    }
    Json.CloseObject();
}

void WriteHostState(JsonOutput& Out, std::optional<bool> LoadResult) {
    PrettyWriter Json(Out);
    Json.OpenObject();
    Json.Key("result");
    if (LoadResult)
        Json.Bool(*LoadResult);
    else
        Json.Null();
    Json.Key("messages");
    Json.StringArray(VyrHost::ErrorMessages());
    Json.Key("questions");
    Json.StringArray(VyrHost::Questions());
    Json.Key("data_set");
    WriteDataSet(Json);

    const VyrHost::FrameState& Frame = VyrHost::Frame();
    Json.Key("frame");
    Json.OpenObject();
    Json.Key("plot_type");
    Json.OptionalInteger(Frame.PlotType);
    Json.Key("new_frames");
    Json.Integer(Frame.NewFrames);
    Json.Key("mouse_mode");
    Json.OptionalInteger(Frame.MouseMode);
    Json.Key("redraws");
    Json.Integer(Frame.Redraws);
    Json.CloseObject();

    Json.Key("loader_instructions");
    const std::optional<std::vector<std::string>> Recorded =
        VyrHost::RecordedInstructions("HDF Loader");
    if (Recorded)
        Json.StringArray(*Recorded);
    else
        Json.Null();
    Json.Key("lock_depth");
    Json.Integer(VyrHost::LockDepth());
    Json.Key("host_allocations_outstanding");
    Json.Integer(VyrHost::OutstandingAllocations());
    Json.CloseObject();
    Out.Put("\n", 1);
}

} // namespace

bool WriteHostStateJson(const std::string& Path, std::optional<bool> LoadResult, std::string* Why) {
    const bool ToStandardOutput = Path == "-";
    std::fflush(stdout); // what the session printed comes first
    FILE* File = ToStandardOutput ? stdout : std::fopen(Path.c_str(), "wb");
    if (File == nullptr) {
        *Why = "cannot write " + Path;
        return false;
    }
    bool Good = false;
    {
        JsonOutput Out(File);
        WriteHostState(Out, LoadResult);
        Out.Flush();
        Good = Out.IsGood();
    }
    Good = (ToStandardOutput ? std::fflush(File) : std::fclose(File)) == 0 && Good;
    if (!Good && !ToStandardOutput)
        *Why = "cannot write " + Path;
    return Good;
}

} // namespace VyrHostProgram
