// make_sample_hdf OUT.hdf: writes a small HDF4 file to try the add-on with,
// through HDF4's SD write interface. It holds five scientific data sets of
// ranks 2, 2, 3, 1 and 1, of double, 16-bit, float and byte values (the first
// two share a rank, so that they can be loaded together),
// with labels, units, formats and coordinate systems, and dimension scales of
// several number types (one dimension deliberately without a scale, so that
// the add-on numbers it 1..n).
#include <hdf/mfhdf.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// One dimension: its name and extent, and its scale, if any.
struct Dimension {
    const char* Name;
    int32 Extent;
    int32 ScaleType;           // 0: no scale
    std::vector<double> Scale; // Extent values when ScaleType is set
};

struct SampleDataSet {
    const char* Name;
    int32 NumberType;
    std::vector<Dimension> Dims; // HDF order: first slowest
    const char *Label, *Unit, *Format, *CoordSys;
    double (*Value)(int64_t I, int64_t J, int64_t K); // I fastest
};

template <typename T> void Append(std::vector<unsigned char>* Bytes, double Value) {
    const T Element = static_cast<T>(Value);
    unsigned char Raw[sizeof(T)];
    std::memcpy(Raw, &Element, sizeof(T));
    Bytes->insert(Bytes->end(), Raw, Raw + sizeof(T));
}

// Packs values into the machine representation of an HDF number type.
std::vector<unsigned char> Pack(const std::vector<double>& Values, int32 NumberType) {
    std::vector<unsigned char> Bytes;
    for (double Value : Values) {
        switch (NumberType) {
        case DFNT_FLOAT32:
            Append<float>(&Bytes, Value);
            break;
        case DFNT_FLOAT64:
            Append<double>(&Bytes, Value);
            break;
        case DFNT_INT8:
            Append<int8_t>(&Bytes, Value);
            break;
        case DFNT_UINT8:
            Append<uint8_t>(&Bytes, Value);
            break;
        case DFNT_INT16:
            Append<int16_t>(&Bytes, Value);
            break;
        default:
            Append<int32_t>(&Bytes, Value);
            break;
        }
    }
    return Bytes;
}

std::vector<double> Steps(int32 Count, double First, double Step) {
    std::vector<double> Values;
    for (int32 Index = 0; Index < Count; ++Index) {
        Values.push_back(First + Step * Index);
    }
    return Values;
}

std::vector<SampleDataSet> SampleDataSets() {
    return {
        {"pressure",
         DFNT_FLOAT64,
         {{"lat_p", 6, DFNT_FLOAT64, Steps(6, -2.5, 1.0)},
          {"lon_p", 8, DFNT_INT32, Steps(8, 10, 10)}},
         "Surface pressure",
         "Pa",
         "F9.1",
         "geographic",
         [](int64_t I, int64_t J, int64_t) { return 101325.0 + 12.5 * I - 40.0 * J; }},
        {"elevation",
         DFNT_INT16,
         {{"row", 5, DFNT_INT16, Steps(5, 100, 100)}, {"column", 7, 0, {}}},
         "Terrain elevation",
         "m",
         "I5",
         "",
         [](int64_t I, int64_t J, int64_t) { return static_cast<double>(120 * J + 15 * I - 40); }},
        {"temperature",
         DFNT_FLOAT32,
         {{"height", 3, DFNT_FLOAT32, {0.0, 500.0, 1000.0}},
          {"lat_t", 4, DFNT_FLOAT32, Steps(4, 45.0, 0.5)},
          {"lon_t", 5, DFNT_FLOAT32, Steps(5, 5.0, 0.25)}},
         "Air temperature",
         "K",
         "F7.2",
         "cartesian",
         [](int64_t I, int64_t J, int64_t K) { return 288.15 - 0.0065 * 500.0 * K + 0.5 * I - J; }},
        {"rainfall",
         DFNT_FLOAT32,
         {{"day", 10, DFNT_INT32, Steps(10, 1, 1)}},
         "Daily rainfall",
         "mm",
         "F5.1",
         "",
         [](int64_t I, int64_t, int64_t) { return std::fabs(std::sin(0.7 * I)) * 12.0; }},
        {"station_code",
         DFNT_UINT8,
         {{"station", 6, DFNT_INT8, Steps(6, -3, 1)}},
         "Station code",
         "",
         "",
         "",
         [](int64_t I, int64_t, int64_t) { return static_cast<double>(200 + 9 * I); }},
    };
}

// Writes one data set with its texts and scales. False after printing why.
bool WriteDataSet(int32 File, const SampleDataSet& Set) {
    const int32 Rank = static_cast<int32>(Set.Dims.size());
    int32 Extents[3] = {1, 1, 1};
    for (int32 Dim = 0; Dim < Rank; ++Dim) {
        Extents[Dim] = Set.Dims[Dim].Extent;
    }
    // Values in HDF order: the last dimension (I) varies fastest.
    const int64_t IMax = Extents[Rank - 1];
    const int64_t JMax = Rank > 1 ? Extents[Rank - 2] : 1;
    const int64_t KMax = Rank > 2 ? Extents[0] : 1;
    std::vector<double> Values;
    for (int64_t K = 0; K < KMax; ++K) {
        for (int64_t J = 0; J < JMax; ++J) {
            for (int64_t I = 0; I < IMax; ++I) {
                Values.push_back(Set.Value(I, J, K));
            }
        }
    }
    const int32 Data = SDcreate(File, Set.Name, Set.NumberType, Rank, Extents);
    if (Data == FAIL) {
        std::fprintf(stderr, "make_sample_hdf: cannot create data set %s\n", Set.Name);
        return false;
    }
    bool Written = true;
    int32 Start[3] = {0, 0, 0};
    std::vector<unsigned char> Bytes = Pack(Values, Set.NumberType);
    Written = SDwritedata(Data, Start, nullptr, Extents, Bytes.data()) != FAIL &&
              SDsetdatastrs(Data, Set.Label, Set.Unit, Set.Format, Set.CoordSys) != FAIL;
    for (int32 Dim = 0; Written && Dim < Rank; ++Dim) {
        const Dimension& D = Set.Dims[Dim];
        const int32 DimId = SDgetdimid(Data, Dim);
        Written = DimId != FAIL && SDsetdimname(DimId, D.Name) != FAIL;
        if (Written && D.ScaleType != 0) {
            std::vector<unsigned char> Scale = Pack(D.Scale, D.ScaleType);
            Written = SDsetdimscale(DimId, D.Extent, D.ScaleType, Scale.data()) != FAIL;
        }
    }
    if (!Written) {
        std::fprintf(stderr, "make_sample_hdf: cannot write data set %s\n", Set.Name);
    }
    SDendaccess(Data);
    return Written;
}

} // namespace

int main(int Argc, char** Argv) {
    if (Argc != 2 || std::strcmp(Argv[1], "--help") == 0 || std::strcmp(Argv[1], "-h") == 0) {
        std::fprintf(Argc == 2 ? stdout : stderr,
                     "usage: make_sample_hdf OUT.hdf\n"
                     "Writes a sample HDF4 file with five scientific data sets of ranks 2, 2, 3, "
                     "1 and 1,\nwith labels, units, formats and dimension scales.\n"
                     "Example:\n  make_sample_hdf build/sample.hdf && "
                     "vyrhost load build/sample.hdf --sds 1,2\n");
        return Argc == 2 ? 0 : 2;
    }
    const int32 File = SDstart(Argv[1], DFACC_CREATE);
    if (File == FAIL) {
        std::fprintf(stderr, "make_sample_hdf: cannot create %s\n", Argv[1]);
        return 1;
    }
    bool Written = true;
    for (const SampleDataSet& Set : SampleDataSets()) {
        Written = Written && WriteDataSet(File, Set);
    }
    if (SDend(File) == FAIL) {
        std::fprintf(stderr, "make_sample_hdf: cannot finish %s\n", Argv[1]);
        Written = false;
    }
    return Written ? 0 : 1;
}
