// tight_loop: the benchmark's floor. Does the work of a load the way a
// programmer would write it for one file, with nothing around it: every
// data set of the file that the add-on lists (not a coordinate variable,
// rank 1 to 3) is read with one SDreaddata, and per-point coordinate and
// value arrays of the host's field data types are built with the add-on's
// stepping rule (each index steps by the skip and the last one is kept).
// With --read-only it stops after the reads; with --checksums it prints the
// CRC-32 of every array, one line per zone and variable, as vyrhost does.
#include "array_checksum.h"

#include <hdf/mfhdf.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace {

// One variable of one zone: its host field data type and its bytes.
struct Column {
    int32 FieldType = 0; // 1 float, 2 double, 3 int32, 4 int16, 5 byte
    size_t Bytes = 0;
    std::unique_ptr<unsigned char[]> Data;
};
struct ZoneArrays {
    std::vector<Column> Columns; // Dimension 1..Rank, then V
};

// The source indices (0-based) that the stepping rule visits.
std::vector<int32> SteppedIndices(int32 Extent, int32 Skip) {
    std::vector<int32> Indices;
    for (int32 I = 0;; I = I + Skip < Extent - 1 ? I + Skip : Extent - 1) {
        Indices.push_back(I);
        if (I >= Extent - 1)
            break;
    }
    return Indices;
}

// The zone's three directions: source extent and visited indices.
struct Steps {
    int32 Extent[3] = {1, 1, 1}; // I, J, K
    std::vector<int32> Index[3];
    size_t Points() const { return Index[0].size() * Index[1].size() * Index[2].size(); }
};

// Calls Body with a null pointer of the HDF element type and one of the
// host field type that holds it, for each HDF code the add-on accepts.
template <typename Fn> bool WithTypes(int32 NumberType, Fn Body) {
    switch (NumberType) {
    case DFNT_FLOAT32:
        return Body((const float32*)nullptr, (float*)nullptr, 1);
    case DFNT_FLOAT64:
        return Body((const float64*)nullptr, (double*)nullptr, 2);
    case DFNT_INT8:
        return Body((const int8*)nullptr, (int16_t*)nullptr, 4);
    case DFNT_UINT8:
        return Body((const uint8*)nullptr, (uint8_t*)nullptr, 5);
    case DFNT_INT16:
        return Body((const int16*)nullptr, (int16_t*)nullptr, 4);
    case DFNT_UINT16:
        return Body((const uint16*)nullptr, (int32_t*)nullptr, 3);
    case DFNT_INT32:
        return Body((const int32*)nullptr, (int32_t*)nullptr, 3);
    case DFNT_UINT32:
        return Body((const uint32*)nullptr, (double*)nullptr, 2);
    default:
        return false;
    }
}

// A coordinate array: Along (0 I, 1 J, 2 K) picks the direction whose
// index selects the scale element.
bool CoordinateColumn(const void* Scale, int32 ScaleType, const Steps& S, int Along, Column* C) {
    return WithTypes(ScaleType, [&](auto In, auto Out, int32 FieldType) {
        using InT = std::remove_const_t<std::remove_pointer_t<decltype(In)>>;
        using OutT = std::remove_pointer_t<decltype(Out)>;
        const InT* Src = static_cast<const InT*>(Scale);
        C->FieldType = FieldType;
        C->Bytes = S.Points() * sizeof(OutT);
        C->Data.reset(new unsigned char[C->Bytes]);
        OutT* Dst = reinterpret_cast<OutT*>(C->Data.get());
        for (int32 K : S.Index[2])
            for (int32 J : S.Index[1]) {
                if (Along == 0) {
                    for (int32 I : S.Index[0])
                        *Dst++ = OutT(Src[I]);
                } else {
                    const OutT Value = OutT(Src[Along == 1 ? J : K]);
                    for (size_t I = 0; I < S.Index[0].size(); ++I)
                        *Dst++ = Value;
                }
            }
        return true;
    });
}

bool ValueColumn(const void* Data, int32 DataType, const Steps& S, Column* C) {
    return WithTypes(DataType, [&](auto In, auto Out, int32 FieldType) {
        using InT = std::remove_const_t<std::remove_pointer_t<decltype(In)>>;
        using OutT = std::remove_pointer_t<decltype(Out)>;
        const InT* Src = static_cast<const InT*>(Data);
        C->FieldType = FieldType;
        C->Bytes = S.Points() * sizeof(OutT);
        C->Data.reset(new unsigned char[C->Bytes]);
        OutT* Dst = reinterpret_cast<OutT*>(C->Data.get());
        const size_t Row = size_t(S.Extent[0]), Plane = Row * size_t(S.Extent[1]);
        for (int32 K : S.Index[2])
            for (int32 J : S.Index[1]) {
                const InT* RowStart = Src + size_t(K) * Plane + size_t(J) * Row;
                for (int32 I : S.Index[0])
                    *Dst++ = OutT(RowStart[I]);
            }
        return true;
    });
}

// The scale of dimension D as the add-on's catalogue takes it: the file's
// own when its extent is the data set's and its type is one the add-on
// accepts, else the index scale 1..n as int32.
std::vector<unsigned char> ReadScale(int32 Sds, int32 D, int32 Extent, int32* Type) {
    const int32 Dim = SDgetdimid(Sds, D);
    char Name[H4_MAX_NC_NAME];
    int32 DimExtent = 0, ScaleType = 0, Attrs = 0;
    int32 ElemSize = 0;
    if (Dim != FAIL && SDdiminfo(Dim, Name, &DimExtent, &ScaleType, &Attrs) == SUCCEED &&
        DimExtent == Extent && Extent > 0 && WithTypes(ScaleType, [&](auto In, auto, int32) {
            ElemSize = int32(sizeof(*In));
            return true;
        })) {
        std::vector<unsigned char> Scale(size_t(Extent) * size_t(ElemSize));
        if (SDgetdimscale(Dim, Scale.data()) == SUCCEED) {
            *Type = ScaleType;
            return Scale;
        }
    }
    std::vector<unsigned char> Scale(size_t(Extent) * 4);
    for (int32 I = 0; I < Extent; ++I) {
        const int32 Value = I + 1;
        std::memcpy(&Scale[size_t(I) * 4], &Value, 4);
    }
    *Type = DFNT_INT32;
    return Scale;
}

const char* FieldTypeName(int32 Type) {
    static const char* const Names[] = {"?", "float", "double", "int32", "int16", "byte"};
    return Type >= 1 && Type <= 5 ? Names[Type] : "?";
}

int Usage() {
    std::fprintf(stderr, "usage: tight_loop FILE [--skip N] [--read-only] [--checksums]\n");
    return 2;
}

} // namespace

int main(int Argc, char** Argv) {
    const char* Path = nullptr;
    int32 Skip = 1;
    bool ReadOnly = false, Checksums = false;
    for (int Arg = 1; Arg < Argc; ++Arg) {
        const std::string A = Argv[Arg];
        if (A == "--skip" && Arg + 1 < Argc)
            Skip = std::atoi(Argv[++Arg]);
        else if (A == "--read-only")
            ReadOnly = true;
        else if (A == "--checksums")
            Checksums = true;
        else if (Path == nullptr && A[0] != '-')
            Path = Argv[Arg];
        else
            return Usage();
    }
    if (Path == nullptr || Skip < 1)
        return Usage();

    const int32 File = SDstart(Path, DFACC_READ);
    int32 Count = 0, GlobalAttrs = 0;
    if (File == FAIL || SDfileinfo(File, &Count, &GlobalAttrs) == FAIL) {
        std::fprintf(stderr, "tight_loop: cannot open %s\n", Path);
        return 1;
    }
    // The host keeps every zone: so does the loop, until it has finished.
    std::vector<ZoneArrays> Zones;
    size_t PointsStored = 0, BytesRead = 0;
    for (int32 Index = 0; Index < Count; ++Index) {
        const int32 Sds = SDselect(File, Index);
        char Name[H4_MAX_NC_NAME];
        int32 Rank = 0, Dims[H4_MAX_VAR_DIMS] = {}, Type = 0, Attrs = 0;
        if (Sds == FAIL || SDgetinfo(Sds, Name, &Rank, Dims, &Type, &Attrs) == FAIL) {
            std::fprintf(stderr, "tight_loop: data set %d unreadable\n", int(Index));
            return 1;
        }
        if (Rank < 1 || Rank > 3 || SDiscoordvar(Sds) > 0) {
            SDendaccess(Sds);
            continue;
        }
        int32 ElemSize = 0;
        WithTypes(Type, [&](auto In, auto, int32) {
            ElemSize = int32(sizeof(*In));
            return true;
        });
        size_t Values = 1;
        for (int32 D = 0; D < Rank; ++D)
            Values *= size_t(Dims[D]);
        if (ElemSize == 0) {
            std::fprintf(stderr, "tight_loop: data set %d has a type the add-on refuses\n",
                         int(Index));
            return 1;
        }
        std::unique_ptr<unsigned char[]> Buffer(new unsigned char[Values * size_t(ElemSize)]);
        int32 Start[3] = {0, 0, 0};
        if (SDreaddata(Sds, Start, nullptr, Dims, Buffer.get()) == FAIL) {
            std::fprintf(stderr, "tight_loop: cannot read data set %d\n", int(Index));
            return 1;
        }
        BytesRead += Values * size_t(ElemSize);
        if (ReadOnly) {
            SDendaccess(Sds);
            continue;
        }
        // I follows the last HDF dimension, J the one before, K the first.
        Steps S;
        std::vector<unsigned char> Scales[3];
        int32 ScaleTypes[3] = {0, 0, 0};
        for (int32 Dir = 0; Dir < Rank; ++Dir) {
            const int32 D = Rank - 1 - Dir;
            S.Extent[Dir] = Dims[D];
            Scales[Dir] = ReadScale(Sds, D, Dims[D], &ScaleTypes[Dir]);
        }
        SDendaccess(Sds);
        for (int32 Dir = 0; Dir < 3; ++Dir)
            S.Index[Dir] = SteppedIndices(S.Extent[Dir], Skip);
        ZoneArrays Zone;
        Zone.Columns.resize(size_t(Rank) + 1);
        for (int32 Dir = 0; Dir < Rank; ++Dir)
            CoordinateColumn(Scales[Dir].data(), ScaleTypes[Dir], S, Dir, &Zone.Columns[Dir]);
        ValueColumn(Buffer.get(), Type, S, &Zone.Columns[size_t(Rank)]);
        PointsStored += S.Points();
        Zones.push_back(std::move(Zone));
    }
    SDend(File);

    if (Checksums) {
        for (size_t Z = 0; Z < Zones.size(); ++Z)
            for (size_t V = 0; V < Zones[Z].Columns.size(); ++V) {
                const Column& C = Zones[Z].Columns[V];
                const size_t Size = C.FieldType == 2   ? 8
                                    : C.FieldType == 4 ? 2
                                    : C.FieldType == 5 ? 1
                                                       : 4;
                std::printf("zone %zu var %zu %s %zu %08x\n", Z + 1, V + 1,
                            FieldTypeName(C.FieldType), C.Bytes / Size,
                            unsigned(VyrHostProgram::Crc32(C.Data.get(), C.Bytes)));
            }
        return 0;
    }
    std::printf("zones %zu points %zu bytes read %zu\n", Zones.size(), PointsStored, BytesRead);
    return 0;
}
