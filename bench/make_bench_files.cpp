// make_bench_files: writes the benchmark's HDF4 files into one folder with
// HDF4's own SD write interface. The files are what a user compares the
// add-on with pyhdf and a tight loop on: a float32 cube of 256^3 with
// float32 scales, the same cube compressed with deflate, an int16 square of
// 4096^2 without scales, and 2,000 small float32 data sets with labels and
// units sharing two scaled dimensions. With --large also the cubes of the
// memory cases, a sub-sampled load's peak memory: float32 of 100 x 1024 x
// 1024 (400 MiB) contiguous and in chunks of one deflated plane each, and of
// 400 x 1024 x 1024 (1.6 GiB) contiguous, written plane by plane so that the
// writer never holds more than one plane. A file that is already there is
// kept, so that the bench command writes them once per scratch folder.
#include <hdf/mfhdf.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int32 CubeSide = 256;
constexpr int32 SquareSide = 4096;
constexpr int32 SmallSide = 32;
constexpr int32 SmallCount = 2000;
constexpr int32 LargeSide = 1024;

// Values that differ from point to point and print with many digits, so
// that a wrong index shows in the checksums and the JSON case formats real
// numbers; the same function for every file keeps them reproducible.
float32 CubeValue(int64_t Index) {
    return float32((Index * 7919) % 100003) * 0.001f - 40.0f;
}

struct FileWriter {
    int32 Id = FAIL;
    explicit FileWriter(const std::string& Path) : Id(SDstart(Path.c_str(), DFACC_CREATE)) {}
    ~FileWriter() {
        if (Id != FAIL)
            SDend(Id);
    }
};

bool Check(intn Status, const char* What) {
    if (Status == FAIL)
        std::fprintf(stderr, "make_bench_files: %s failed\n", What);
    return Status != FAIL;
}

// A float32 scale of Extent values starting at Origin in steps of Step.
std::vector<float32> LinearScale(int32 Extent, float32 Origin, float32 Step) {
    std::vector<float32> Scale(size_t(Extent), 0.0f);
    for (int32 I = 0; I < Extent; ++I)
        Scale[size_t(I)] = Origin + Step * float32(I);
    return Scale;
}

// One rank-3 float32 cube with a float32 scale on each dimension, plain or
// compressed with deflate at level 6.
bool WriteCube(const std::string& Path, bool Deflate) {
    FileWriter File(Path);
    if (!Check(File.Id == FAIL ? FAIL : SUCCEED, "SDstart"))
        return false;
    int32 Dims[3] = {CubeSide, CubeSide, CubeSide}, Start[3] = {0, 0, 0};
    const int32 Sds = SDcreate(File.Id, "temperature", DFNT_FLOAT32, 3, Dims);
    if (!Check(Sds, "SDcreate"))
        return false;
    if (Deflate) {
        comp_info Info{};
        Info.deflate.level = 6;
        if (!Check(SDsetcompress(Sds, COMP_CODE_DEFLATE, &Info), "SDsetcompress"))
            return false;
    }
    static const char* const DimNames[3] = {"depth", "latitude", "longitude"};
    for (int32 D = 0; D < 3; ++D) {
        const std::vector<float32> Scale = LinearScale(CubeSide, float32(D) * 10.0f, 0.25f);
        const int32 Dim = SDgetdimid(Sds, D);
        if (!Check(SDsetdimname(Dim, DimNames[D]), "SDsetdimname") ||
            !Check(SDsetdimscale(Dim, CubeSide, DFNT_FLOAT32, const_cast<float32*>(Scale.data())),
                   "SDsetdimscale"))
            return false;
    }
    std::vector<float32> Values(size_t(CubeSide) * CubeSide * CubeSide);
    for (size_t I = 0; I < Values.size(); ++I)
        Values[I] = CubeValue(int64_t(I));
    SDsetdatastrs(Sds, "Water temperature", "degC", "F8.3", "cartesian");
    const bool Written =
        Check(SDwritedata(Sds, Start, nullptr, Dims, Values.data()), "SDwritedata");
    SDendaccess(Sds);
    return Written;
}

// A rank-3 float32 cube of Planes x LargeSide x LargeSide with a float32
// scale on each dimension, written one plane per SDwritedata: contiguous
// uncompressed, or (Chunked) in chunks of one plane, each deflated at level
// 6, the layout in which a strided read can leave whole chunks unread. The
// values are CubeValue of the point's index in the whole cube, as in the
// small cubes. No fill: every value is written.
bool WriteLargeCube(const std::string& Path, int32 Planes, bool Chunked) {
    FileWriter File(Path);
    if (!Check(File.Id == FAIL ? FAIL : SUCCEED, "SDstart") ||
        !Check(SDsetfillmode(File.Id, SD_NOFILL), "SDsetfillmode"))
        return false;
    int32 Dims[3] = {Planes, LargeSide, LargeSide};
    const int32 Sds = SDcreate(File.Id, "temperature", DFNT_FLOAT32, 3, Dims);
    if (!Check(Sds, "SDcreate"))
        return false;
    if (Chunked) {
        HDF_CHUNK_DEF Chunk{};
        Chunk.comp.chunk_lengths[0] = 1;
        Chunk.comp.chunk_lengths[1] = LargeSide;
        Chunk.comp.chunk_lengths[2] = LargeSide;
        Chunk.comp.comp_type = COMP_CODE_DEFLATE;
        Chunk.comp.cinfo.deflate.level = 6;
        if (!Check(SDsetchunk(Sds, Chunk, HDF_CHUNK | HDF_COMP), "SDsetchunk"))
            return false;
    }
    static const char* const DimNames[3] = {"depth", "latitude", "longitude"};
    for (int32 D = 0; D < 3; ++D) {
        const std::vector<float32> Scale = LinearScale(Dims[D], float32(D) * 10.0f, 0.25f);
        const int32 Dim = SDgetdimid(Sds, D);
        if (!Check(SDsetdimname(Dim, DimNames[D]), "SDsetdimname") ||
            !Check(SDsetdimscale(Dim, Dims[D], DFNT_FLOAT32, const_cast<float32*>(Scale.data())),
                   "SDsetdimscale"))
            return false;
    }
    SDsetdatastrs(Sds, "Water temperature", "degC", "F8.3", "cartesian");
    const size_t PlaneValues = size_t(LargeSide) * LargeSide;
    std::vector<float32> Plane(PlaneValues);
    bool Written = true;
    for (int32 K = 0; K < Planes && Written; ++K) {
        for (size_t I = 0; I < PlaneValues; ++I)
            Plane[I] = CubeValue(int64_t(K) * int64_t(PlaneValues) + int64_t(I));
        int32 Start[3] = {K, 0, 0}, Edge[3] = {1, LargeSide, LargeSide};
        Written = Check(SDwritedata(Sds, Start, nullptr, Edge, Plane.data()), "SDwritedata");
    }
    SDendaccess(Sds);
    return Written;
}

// One rank-2 int16 square whose dimensions carry no scales.
bool WriteSquare(const std::string& Path) {
    FileWriter File(Path);
    if (!Check(File.Id == FAIL ? FAIL : SUCCEED, "SDstart"))
        return false;
    int32 Dims[2] = {SquareSide, SquareSide}, Start[2] = {0, 0};
    const int32 Sds = SDcreate(File.Id, "elevation", DFNT_INT16, 2, Dims);
    if (!Check(Sds, "SDcreate"))
        return false;
    std::vector<int16> Values(size_t(SquareSide) * SquareSide);
    for (size_t I = 0; I < Values.size(); ++I)
        Values[I] = int16(int32((uint32_t(I * 2654435761u) >> 7) % 65536) - 32768);
    SDsetdatastrs(Sds, "Terrain elevation", "m", "", "");
    const bool Written =
        Check(SDwritedata(Sds, Start, nullptr, Dims, Values.data()), "SDwritedata");
    SDendaccess(Sds);
    return Written;
}

// SmallCount float32 data sets of SmallSide^2, each with its own label and a
// unit, all on the dimensions "y" and "x" whose float32 scales the first one
// writes: HDF4 keeps one coordinate variable per shared dimension.
bool WriteManySmall(const std::string& Path) {
    FileWriter File(Path);
    if (!Check(File.Id == FAIL ? FAIL : SUCCEED, "SDstart"))
        return false;
    int32 Dims[2] = {SmallSide, SmallSide}, Start[2] = {0, 0};
    std::vector<float32> Values(size_t(SmallSide) * SmallSide);
    const std::vector<float32> YScale = LinearScale(SmallSide, -5.0f, 0.5f);
    const std::vector<float32> XScale = LinearScale(SmallSide, 100.0f, 0.125f);
    for (int32 Set = 0; Set < SmallCount; ++Set) {
        char Name[32], Label[32];
        std::snprintf(Name, sizeof Name, "field%d", int(Set));
        std::snprintf(Label, sizeof Label, "Field %d", int(Set));
        const int32 Sds = SDcreate(File.Id, Name, DFNT_FLOAT32, 2, Dims);
        if (!Check(Sds, "SDcreate"))
            return false;
        for (int32 D = 0; D < 2; ++D) {
            const int32 Dim = SDgetdimid(Sds, D);
            if (!Check(SDsetdimname(Dim, D == 0 ? "y" : "x"), "SDsetdimname"))
                return false;
            const std::vector<float32>& Scale = D == 0 ? YScale : XScale;
            if (Set == 0 && !Check(SDsetdimscale(Dim, SmallSide, DFNT_FLOAT32,
                                                 const_cast<float32*>(Scale.data())),
                                   "SDsetdimscale"))
                return false;
        }
        for (size_t I = 0; I < Values.size(); ++I)
            Values[I] = CubeValue(int64_t(Set) * 1024 + int64_t(I));
        SDsetdatastrs(Sds, Label, "K", "", "");
        const bool Written =
            Check(SDwritedata(Sds, Start, nullptr, Dims, Values.data()), "SDwritedata");
        SDendaccess(Sds);
        if (!Written)
            return false;
    }
    return true;
}

} // namespace

int main(int Argc, char** Argv) {
    const bool Large = Argc == 3 && std::string(Argv[2]) == "--large";
    if (Argc != 2 && !Large) {
        std::fprintf(stderr, "usage: make_bench_files FOLDER [--large]\n");
        return 2;
    }
    const std::filesystem::path Folder = Argv[1];
    std::filesystem::create_directories(Folder);
    struct Target {
        const char* Name;
        bool (*Write)(const std::string&);
        bool IsLarge;
    };
    const Target Targets[] = {
        {"f32_cube.hdf", [](const std::string& P) { return WriteCube(P, false); }, false},
        {"f32_cube_deflate.hdf", [](const std::string& P) { return WriteCube(P, true); }, false},
        {"i16_square.hdf", WriteSquare, false},
        {"f32_many_small.hdf", WriteManySmall, false},
        {"f32_100x1024x1024.hdf",
         [](const std::string& P) { return WriteLargeCube(P, 100, false); }, true},
        {"f32_100x1024x1024_chunked_deflate.hdf",
         [](const std::string& P) { return WriteLargeCube(P, 100, true); }, true},
        {"f32_400x1024x1024.hdf",
         [](const std::string& P) { return WriteLargeCube(P, 400, false); }, true},
    };
    for (const Target& T : Targets) {
        if (T.IsLarge && !Large)
            continue;
        const std::filesystem::path Path = Folder / T.Name;
        if (std::filesystem::exists(Path))
            continue;
        // Written under a temporary name first, so that an interrupted run
        // leaves no half file that a later run would keep.
        const std::string Partial = Path.string() + ".part";
        if (!T.Write(Partial)) {
            std::filesystem::remove(Partial);
            return 1;
        }
        std::filesystem::rename(Partial, Path);
        std::printf("wrote %s\n", Path.c_str());
    }
    return 0;
}
